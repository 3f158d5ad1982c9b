#include "cli/plot_command.h"

#include <optional>
#include <ostream>

#include "cli/solve_command.h"
#include "cli/system_command.h"
#include "shell/plot_curves.h"

#ifdef ZYNTA_PLOTS
#include <dlfcn.h>

#include <filesystem>

#include "platform/plot_module.h"  // plain C++: the Qt side stays in the module
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
    "The options of zynta-cli system (--static, --k, --fitting, --pump,\n"
    "--arrangement, --flow-unit, --head-unit) draw the system curve with its static\n"
    "head and minor losses, each pump's curve and its operating point.\n"
    "\n"
    "The problem must be a head-loss problem (HL, D or Q given the others). With\n"
    "Hazen-Williams or Mannings only the system curve is written, and standard error\n"
    "says there is no Moody diagram.\n"
    "\n"
    "Exit status: 0 written; 1 not solved (the status on standard error), nothing to\n"
    "plot, or a file that cannot be written; 2 a usage error; 3 this zynta-cli was\n"
    "built without plots (ZYNTA_GUI=OFF) or its plots module (zynta-plots.so) is\n"
    "missing.\n"
    "\n"
    "Example:\n"
    "  zynta-cli plot --png pipe --equation Darcy-Weisbach 'IDia=2.067 in' \\\n"
    "      'Len=100 ft' 'Fric=0.00015 ft' 'Vis=1.13 cSt' 'Flow=100 gpm'\n";

namespace {

struct PlotArgs {
  std::optional<std::string> png, svg;
  std::vector<std::string> solve;  // everything else, for the solve
  SystemOptions system;            // the pumps and their system, when given
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
  try {
    a.system = TakeSystemOptions(a.solve);
  } catch (const UsageError& e) {
    err << "zynta-cli plot: " << e.what() << "\nTry 'zynta-cli plot --help'.\n";
    return false;
  }
  return true;
}

#ifdef ZYNTA_PLOTS
// The plots module beside this program (the build) or in <prefix>/lib/zynta (installed); the
// module stays loaded until the process ends.
platform::WritePlotFilesEntry LoadPlots(std::ostream& err) {
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  std::string why;
  for (const std::filesystem::path& file :
       {self / platform::PlotModuleFile, self / platform::PlotModuleFolder / platform::PlotModuleFile}) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) continue;
    void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
      why = dlerror();
      continue;
    }
    if (void* entry = dlsym(module, platform::PlotModuleEntry))
      return reinterpret_cast<platform::WritePlotFilesEntry>(entry);
    why = file.string() + " has no " + platform::PlotModuleEntry;
  }
  err << "zynta-cli plot: the plots cannot be loaded: "
      << (why.empty() ? std::string(platform::PlotModuleFile) + " is not installed" : why) << "\n";
  return nullptr;
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
  try {
    // Without a head-loss problem there is nothing to draw them on: the plot says so below.
    if (a.system.Given() && shell::HasHeadLossSolution(calc->Form()))
      calc->Form().Pumps = PanelOf(*calc, a.system);
  } catch (const UsageError& e) {
    err << "zynta-cli plot: " << e.what() << "\nTry 'zynta-cli plot --help'.\n";
    return 2;
  } catch (const std::exception& e) {
    err << "zynta-cli plot: " << e.what() << "\n";
    return 1;
  }
  const platform::PlotData data = calc->Plot();
  if (!data.ok) {
    err << "zynta-cli plot: " << data.notice << "\n";
    return 1;
  }
  const platform::WritePlotFilesEntry write = LoadPlots(err);
  if (!write) return 3;
  return write(data, a.png, a.svg, out, err);
#endif
}

}  // namespace zynta::cli
