#include "cli/script_runner.h"

#include <fstream>
#include <ostream>
#include <sstream>

#include "cli/script_session.h"

namespace zynta::cli {

void RunScriptFile(const std::filesystem::path& file, const ScriptOptions& options, ScriptTotals& totals,
                   std::ostream& out, std::ostream& err) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    err << file.string() << ":0: error: cannot read the script\n";
    ++totals.failed;
    return;
  }
  std::ostringstream content;
  content << in.rdbuf();
  Session session(file, options, out, err);
  session.Run(content.str());
  if (options.dump) session.Dump(out);
  totals.passed += session.Totals().passed;
  totals.failed += session.Totals().failed;
}

}  // namespace zynta::cli
