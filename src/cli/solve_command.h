#pragma once
// zynta-cli solve: one problem on a fresh calculator, printed as the clipboard report or JSON.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/headless_calculator.h"

namespace zynta::cli {

extern const char* const SolveHelp;

// Exit status: 0 solved, 1 not solved (the status on err), 2 a usage error.
int SolveCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The solve arguments (no --json, no --help) on a fresh calculator, entered and solved as
// `solve` does it. -1 when the calculator ran its Solve (solved or not: see OutcomeOf);
// otherwise the exit status, its message on err under "zynta-cli COMMAND": 2 a usage error,
// 1 a calculator that could not start or a value that is no number.
int EnterAndSolve(const std::vector<std::string>& args, const std::string& command,
                  std::optional<HeadlessCalculator>& calc, std::ostream& err);

// What the window says after a solve: the status bar, or the message box an error raised.
struct SolveOutcome {
  bool solved = false;
  std::string status;
  bool warned = false;  // solved, and the status is a warning about the result
};
SolveOutcome OutcomeOf(const HeadlessCalculator& calc);

}  // namespace zynta::cli
