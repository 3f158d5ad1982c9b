#include "cli/plot_command.h"

#include <cstdlib>
#include <filesystem>
#include <stdlib.h>
#include <optional>
#include <ostream>

#include "cli/solve_command.h"

#ifdef ZYNTA_PLOTS
#include <QApplication>

#include "gui/plot_charts.h"
#endif

namespace zynta::cli {

const char* const PlotHelp =
    "usage: zynta-cli plot --png PREFIX|--svg PREFIX [SOLVE OPTION]... PARAM=VALUE[ UNIT]...\n"
    "\n"
    "Solves one problem as zynta-cli solve does (the same options and values, but\n"
    "not --json) and writes the two pictures of Tools, \"Plot...\": the system curve\n"
    "(head loss against flow, 0 to twice the solved flow, in the units shown) as\n"
    "PREFIX-system.png and the Moody diagram (Darcy-Weisbach only) as\n"
    "PREFIX-moody.png; --svg writes PREFIX-system.svg and PREFIX-moody.svg. Both\n"
    "may be given. The pictures are rendered offscreen: no display is needed.\n"
    "The files written are printed, one a line.\n"
    "\n"
    "Options:\n"
    "  --png PREFIX         write PNG pictures named PREFIX-system.png, PREFIX-moody.png\n"
    "  --svg PREFIX         write SVG pictures named PREFIX-system.svg, PREFIX-moody.svg\n"
    "  -h, --help           this text\n"
    "\n"
    "The problem must be a head-loss problem (HL, D or Q given the others). With\n"
    "Hazen-Williams or Mannings only the system curve is written, and standard error\n"
    "says there is no Moody diagram.\n"
    "\n"
    "Exit status: 0 written; 1 not solved (the status on standard error), nothing to\n"
    "plot, or a file that cannot be written; 2 a usage error; 3 this zynta-cli was\n"
    "built without plots (ZYNTA_GUI=OFF).\n"
    "\n"
    "Example:\n"
    "  zynta-cli plot --png pipe --equation Darcy-Weisbach 'IDia=2.067 in' \\\n"
    "      'Len=100 ft' 'Fric=0.00015 ft' 'Vis=1.13 cSt' 'Flow=100 gpm'\n";

namespace {

struct PlotArgs {
  std::optional<std::string> png, svg;
  std::vector<std::string> solve;  // everything else, for the solve
  bool help = false;
};

// False after a usage error (written to err).
bool Parse(const std::vector<std::string>& args, PlotArgs& a, std::ostream& err) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "--help") {
      a.help = true;
      return true;
    }
    const size_t eq = arg.find('=');
    const std::string name = arg.rfind("--", 0) == 0 ? arg.substr(0, eq) : "";
    if (name == "--json") {
      err << "zynta-cli plot: --json is no option of plot\nTry 'zynta-cli plot --help'.\n";
      return false;
    }
    if (name != "--png" && name != "--svg") {
      a.solve.push_back(arg);
      continue;
    }
    std::string value;
    if (eq != std::string::npos) {
      value = arg.substr(eq + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    }
    if (value.empty()) {
      err << "zynta-cli plot: " << name << " needs a PREFIX\nTry 'zynta-cli plot --help'.\n";
      return false;
    }
    (name == "--png" ? a.png : a.svg) = value;
  }
  if (!a.png && !a.svg) {
    err << "zynta-cli plot: give --png PREFIX or --svg PREFIX\nTry 'zynta-cli plot --help'.\n";
    return false;
  }
  return true;
}

#ifdef ZYNTA_PLOTS
// Without $XDG_RUNTIME_DIR Qt makes itself one under $TMPDIR and leaves it behind: it gets a
// private one (mode 0700, as Qt wants it) for the run instead, removed afterwards.
class PrivateRuntimeDir {
 public:
  PrivateRuntimeDir() {
    if (std::getenv("XDG_RUNTIME_DIR")) return;
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zynta-cli-runtime-XXXXXX";
    if (!mkdtemp(pattern.data())) return;
    folder_ = pattern;
    setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
  }
  ~PrivateRuntimeDir() {
    if (folder_.empty()) return;
    unsetenv("XDG_RUNTIME_DIR");
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  PrivateRuntimeDir(const PrivateRuntimeDir&) = delete;
  PrivateRuntimeDir& operator=(const PrivateRuntimeDir&) = delete;

 private:
  std::string folder_;
};

// Qt Charts draws through QApplication. Offscreen unless the caller chose a platform: the
// pictures do not depend on one, and a display that is set but unreachable would abort.
int WritePictures(const PlotArgs& a, const platform::PlotData& data, std::ostream& out, std::ostream& err) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "zynta-cli";
  static char* argv[] = {name, nullptr};
  PrivateRuntimeDir runtime;
  QApplication app(argc, argv);
  int status = 0;
  for (auto [prefix, format] : {std::pair{a.png, gui::PictureFormat::Png}, std::pair{a.svg, gui::PictureFormat::Svg}}) {
    if (!prefix) continue;
    for (gui::PlotKind kind : {gui::PlotKind::System, gui::PlotKind::Moody}) {
      if (!gui::HasPlot(data, kind)) continue;
      const QString file = gui::PictureFile(QString::fromStdString(*prefix), kind, format);
      std::string error;
      if (gui::WritePicture(data, kind, format, file, &error)) {
        out << file.toStdString() << "\n";
      } else {
        err << "zynta-cli plot: " << error << "\n";
        status = 1;
      }
    }
  }
  if (!data.moody.ok) err << "zynta-cli plot: no Moody diagram: " << data.moodyNotice << "\n";
  return status;
}
#endif

}  // namespace

int PlotCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  PlotArgs a;
  if (!Parse(args, a, err)) return 2;
  if (a.help) {
    out << PlotHelp;
    return 0;
  }
#ifndef ZYNTA_PLOTS
  (void)out;
  err << "zynta-cli plot: this zynta-cli was built without plots (ZYNTA_GUI=OFF)\n";
  return 3;
#else
  std::optional<HeadlessCalculator> calc;
  if (const int status = EnterAndSolve(a.solve, "plot", calc, err); status >= 0) return status;
  const SolveOutcome o = OutcomeOf(*calc);
  if (!o.solved) {
    err << (o.status.empty() ? "Not solved." : o.status) << "\n";
    return 1;
  }
  const platform::PlotData data = calc->Plot();
  if (!data.ok) {
    err << "zynta-cli plot: " << data.notice << "\n";
    return 1;
  }
  return WritePictures(a, data, out, err);
#endif
}

}  // namespace zynta::cli
