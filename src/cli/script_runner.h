#pragma once
// Runs scenario scripts: a person's actions on the calculator, and expectations about what
// it shows, on the recording platform.

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

namespace zynta::cli {

class ScriptDriver;

struct ScriptTotals {
  int passed = 0;
  int failed = 0;
};

struct ScriptOptions {
  std::filesystem::path programDir;  // the shipped program folder, copied for each script
  bool dump = false;                 // print the state after each script
  // The platform the scripts run on; none: the recording platform (script_driver.h).
  std::function<std::unique_ptr<ScriptDriver>()> makeDriver;
};

// Runs one script file on a fresh copy of the program; adds its counts to totals. Failures
// and errors are written to err, dumps to out.
void RunScriptFile(const std::filesystem::path& file, const ScriptOptions& options, ScriptTotals& totals,
                   std::ostream& out, std::ostream& err);

}  // namespace zynta::cli
