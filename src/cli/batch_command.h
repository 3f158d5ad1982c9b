#pragma once
// zynta-cli batch: every row of a CSV file solved on one calculator, written back with its
// results and its status.

#include <iosfwd>
#include <string>
#include <vector>

namespace zynta::cli {

extern const char* const BatchHelp;

// Exit status: 0 every row solved, 1 some row not, 2 a usage error (the arguments, the file,
// the header row).
int BatchCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace zynta::cli
