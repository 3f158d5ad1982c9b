#pragma once
// zynta-cli units, pipes and fluids: the unit catalogs, the pipe specifications with their
// sizes, and the fluid list, as the calculator loads them from the shipped data.

#include <iosfwd>
#include <string>
#include <vector>

namespace zynta::cli {

extern const char* const UnitsHelp;
extern const char* const PipesHelp;
extern const char* const FluidsHelp;
// zynta-cli --help: every command.
extern const char* const ProgramHelp;

// Exit status: 0 listed, 1 the data could not be read, 2 a usage error.
int UnitsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int PipesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int FluidsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zynta::cli
