// zynta-cli: the calculator without a screen.
//   zynta-cli script [--program-dir DIR] [--dump] FILE...
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/script_runner.h"

namespace {

namespace fs = std::filesystem;

int Usage() {
  std::cerr << "usage: zynta-cli script [--program-dir DIR] [--dump] FILE...\n";
  return 2;
}

// The shipped program folder is the one this tool lies in: the data files travel beside it.
fs::path OwnFolder(const char* argv0) {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) return self.parent_path();
  return fs::absolute(argv0).parent_path();
}

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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "script") return Script(args, argv[0]);
  return Usage();
}
