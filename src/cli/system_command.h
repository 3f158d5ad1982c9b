#pragma once
// zynta-cli system: the solved pipe as a pump's system (static head, fittings) and the
// operating point of up to three pump curves on it.

#include <iosfwd>
#include <string>
#include <vector>

namespace zynta::cli {

extern const char* const SystemHelp;

// Exit status: 0 every pump has an operating point, 1 one has none (its failure on err) or the
// problem is not solved, 2 a usage error (a pump's points that make no curve included).
int SystemCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zynta::cli
