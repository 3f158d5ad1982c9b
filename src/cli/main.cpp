// zynta-cli: the calculator without a screen.
//   zynta-cli script [--program-dir DIR] [--dump] FILE...
//   zynta-cli solve|plot|batch|units|pipes|fluids ... (each with --help)
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/batch_command.h"
#include "cli/headless_calculator.h"
#include "cli/list_commands.h"
#include "cli/plot_command.h"
#include "cli/safe_text.h"
#include "cli/script_runner.h"
#include "cli/solve_command.h"
#include "cli/system_command.h"
#include "startup/program_folder.h"

namespace {

namespace fs = std::filesystem;

int Usage() {
  std::cerr << "usage: zynta-cli script [--program-dir DIR] [--dump] FILE...\n";
  return 2;
}

// The shipped program folder: beside this tool in a build, <prefix>/share/zynta when installed.
fs::path OwnFolder(const char* argv0) { return zynta::startup::RunningProgramFolder(fs::absolute(argv0)); }

int Script(const std::vector<std::string>& args, const char* argv0) {
  zynta::cli::ScriptOptions options;
  options.programDir = OwnFolder(argv0);
  std::vector<fs::path> files;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--program-dir" && i + 1 < args.size()) {
      options.programDir = args[++i];
    } else if (args[i] == "--dump") {
      options.dump = true;
    } else if (!args[i].empty() && args[i][0] == '-') {
      return Usage();
    } else {
      files.emplace_back(args[i]);
    }
  }
  if (files.empty()) return Usage();
  if (!fs::is_directory(options.programDir)) {
    std::cerr << "zynta-cli: no program folder at " << options.programDir.string() << "\n";
    return 2;
  }
  zynta::cli::ScriptTotals totals;
  for (const fs::path& file : files) zynta::cli::RunScriptFile(file, options, totals, std::cout, std::cerr);
  std::cout << totals.passed << " passed, " << totals.failed << " failed\n";
  return totals.failed == 0 ? 0 : 1;
}

// Whatever reaches a terminal is shown, never obeyed: the control characters of cells,
// arguments and files come out escaped. Output to files and pipes stays byte for byte.
class TerminalGuard {
 public:
  TerminalGuard() {
    Guard(std::cout, STDOUT_FILENO, out_);
    Guard(std::cerr, STDERR_FILENO, err_);
  }
  ~TerminalGuard() {
    Restore(std::cout, out_);
    Restore(std::cerr, err_);
  }
  TerminalGuard(const TerminalGuard&) = delete;
  TerminalGuard& operator=(const TerminalGuard&) = delete;

 private:
  struct Saved {
    std::unique_ptr<zynta::cli::EscapingStreamBuf> buf;
    std::streambuf* original = nullptr;
  };
  static void Guard(std::ostream& stream, int fd, Saved& saved) {
    if (::isatty(fd) != 1) return;
    saved.original = stream.rdbuf();
    saved.buf = std::make_unique<zynta::cli::EscapingStreamBuf>(saved.original);
    stream.rdbuf(saved.buf.get());
  }
  static void Restore(std::ostream& stream, Saved& saved) {
    if (!saved.buf) return;
    stream.flush();
    stream.rdbuf(saved.original);
    saved.buf.reset();
  }
  Saved out_;
  Saved err_;
};

int Run(const std::string& command, const std::vector<std::string>& args, const char* argv0) {
  if (command == "script") return Script(args, argv0);
  if (command == "solve") return zynta::cli::SolveCommand(args, std::cout, std::cerr);
  if (command == "plot") return zynta::cli::PlotCommand(args, std::cout, std::cerr);
  if (command == "system") return zynta::cli::SystemCommand(args, std::cout, std::cerr);
  if (command == "batch") return zynta::cli::BatchCommand(args, std::cin, std::cout, std::cerr);
  if (command == "units") return zynta::cli::UnitsCommand(args, std::cout, std::cerr);
  if (command == "pipes") return zynta::cli::PipesCommand(args, std::cout, std::cerr);
  if (command == "fluids") return zynta::cli::FluidsCommand(args, std::cout, std::cerr);
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << zynta::cli::ProgramHelp;
    return 0;
  }
  std::cerr << "zynta-cli: unknown command " << zynta::cli::InQuotes(command) << "\n" << zynta::cli::ProgramHelp;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << zynta::cli::ProgramHelp;
    return 2;
  }
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  // Before any output, and before the guard takes the streams' buffers.
  if (command == "batch") std::ios::sync_with_stdio(false);
  const TerminalGuard guard;
  return Run(command, args, argv[0]);
}
