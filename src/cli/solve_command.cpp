#include "cli/solve_command.h"

#include <algorithm>
#include <optional>
#include <ostream>

#include "cli/json_report.h"

namespace zynta::cli {

const char* const SolveHelp =
    "usage: zynta-cli solve [OPTION]... PARAM=VALUE[ UNIT]...\n"
    "\n"
    "Solves one problem on a calculator started on the shipped data and prints the\n"
    "report that Copy to Clipboard gives (CR LF line ends). The user's settings file\n"
    "is never read or written; the calculator starts in the first-run state (the\n"
    "example problem, Hazen-Williams, \"HL given D,L,C,Q\"), and every field not given\n"
    "keeps what that state shows unless --clear is given.\n"
    "\n"
    "Options:\n"
    "  --equation NAME      Hazen-Williams, Darcy-Weisbach or Mannings\n"
    "  --problem N|TEXT     the problem's position (0 to 6) or its text,\n"
    "                       as \"HL given D,L,E,Vis,Q\"\n"
    "  --spec NAME          a pipe spec (zynta-cli pipes lists them)\n"
    "  --size TEXT          a nominal size of that pipe spec: the inside\n"
    "                       diameter comes from its table\n"
    "  --fluid NAME         a fluid of the list (Darcy-Weisbach): specific gravity\n"
    "                       and viscosity (zynta-cli fluids lists them)\n"
    "  --material NAME      a pipe material: its friction value for the equation\n"
    "  --decimals PARAM=N   decimal places shown for a parameter (1 to 6); without\n"
    "                       it a value given keeps the decimals it is written with\n"
    "  --clear              Clear Fields before the values are entered\n"
    "  --json               print every visible field (text, value in the base unit,\n"
    "                       unit) and the status as JSON instead of the report\n"
    "  -h, --help           this text\n"
    "\n"
    "Values: PARAM=VALUE, optionally followed by a unit, in the same argument\n"
    "('Flow=100 gpm') or the next one (Flow=100 gpm). PARAM is one of IDia, Area,\n"
    "Len, Fric, Vis, SG, Flow, HL, Vel (ReyNo and FricFact are only results; the\n"
    "nominal diameter comes with --size); the unit is a name of the parameter's\n"
    "catalog (zynta-cli units lists them), letter case ignored. Without a unit the\n"
    "value is in the catalog's default unit: in, in2, ft (roughness), cSt, gpm,\n"
    "ftliq, ft/s. PARAM=? UNIT types nothing and only shows the field in that unit:\n"
    "a result, or an input filled by --fluid, --material or --size. Values are typed\n"
    "into their fields key by key and committed as in the window, then Solve runs.\n"
    "Every digit given is used (up to the 7 significant digits a field holds): before\n"
    "a value is typed its field's decimals rise to those it is written with\n"
    "(Fric=0.013 shows 0.013, HL=1.234e-3 shows 0.001234), unless --decimals names\n"
    "the parameter. Results are shown with the field's decimals, as in the window;\n"
    "--json also gives each field's full value.\n"
    "\n"
    "Exit status: 0 solved; 1 not solved, with the status (\"Invalid Flow!\",\n"
    "\"Could not solve!\", \"Bad value!\") or the error message on standard error;\n"
    "2 a usage error, naming the bad argument and listing what is valid.\n"
    "\n"
    "Example:\n"
    "  zynta-cli solve --equation Darcy-Weisbach 'IDia=2.067 in' 'Len=100 ft' \\\n"
    "      'Fric=0.00015 ft' 'Vis=1.13 cSt' 'Flow=100 gpm'\n";

namespace {

struct ValueArg {
  int index = -1;
  std::string text;
  std::string unit;  // "" for none given
  std::string arg;   // as written, for the messages
};

struct SolveArgs {
  std::optional<std::string> equation, problem, spec, size, fluid, material;
  std::vector<std::pair<int, int>> decimals;
  std::vector<ValueArg> values;
  bool json = false;
  bool clear = false;
  bool help = false;
};

const char* const Options =
    "--equation, --problem, --spec, --size, --fluid, --material, --decimals, --clear, --json, --help";

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

int RequireParam(const std::string& id, const std::string& arg) {
  const int index = ParamNamed(id);
  if (index < 0)
    throw UsageError("unknown parameter " + InQuotes(id) + " in " + InQuotes(arg) +
                     "; parameters: " + Join(ParamIds()));
  return index;
}

std::pair<int, int> ParseDecimals(const std::string& value) {
  const size_t eq = value.find('=');
  const std::string digits = eq == std::string::npos ? "" : Trim(value.substr(eq + 1));
  if (eq == std::string::npos || digits.empty() || digits.size() > 2 ||
      digits.find_first_not_of("0123456789") != std::string::npos)
    throw UsageError("--decimals takes PARAM=N, as --decimals HL=3, not " + InQuotes(value));
  return {RequireParam(Trim(value.substr(0, eq)), value), std::stoi(digits)};
}

SolveArgs Parse(const std::vector<std::string>& args) {
  SolveArgs a;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "--help") {
      a.help = true;
      return a;
    }
    if (arg.rfind("--", 0) == 0) {
      const size_t eq = arg.find('=');
      const std::string name = arg.substr(0, eq);
      if (name == "--json" || name == "--clear") {
        if (eq != std::string::npos) throw UsageError(name + " takes no value");
        (name == "--json" ? a.json : a.clear) = true;
        continue;
      }
      std::optional<std::string>* slot = name == "--equation"   ? &a.equation
                                         : name == "--problem"  ? &a.problem
                                         : name == "--spec"     ? &a.spec
                                         : name == "--size"     ? &a.size
                                         : name == "--fluid"    ? &a.fluid
                                         : name == "--material" ? &a.material
                                                                : nullptr;
      if (!slot && name != "--decimals")
        throw UsageError("unknown option " + InQuotes(name) + "; options: " + Options);
      std::string value;
      if (eq != std::string::npos) {
        value = arg.substr(eq + 1);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        throw UsageError(name + " needs a value");
      }
      if (slot) {
        *slot = value;
      } else {
        a.decimals.push_back(ParseDecimals(value));
      }
      continue;
    }
    const size_t eq = arg.find('=');
    if (eq == std::string::npos)
      throw UsageError("unexpected argument " + InQuotes(arg) + "; values are written PARAM=VALUE[ UNIT]");
    ValueArg v;
    v.arg = arg;
    v.index = RequireParam(Trim(arg.substr(0, eq)), arg);
    const std::string rest = Trim(arg.substr(eq + 1));
    const size_t space = rest.find_first_of(" \t");
    v.text = rest.substr(0, space);
    if (space != std::string::npos) {
      v.unit = Trim(rest.substr(space));
    } else if (i + 1 < args.size() && args[i + 1].find('=') == std::string::npos && !args[i + 1].empty() &&
               args[i + 1][0] != '-') {
      v.unit = args[++i];
      v.arg += " " + v.unit;
    }
    for (const ValueArg& other : a.values) {
      if (other.index == v.index) throw UsageError(std::string(ParamId(v.index)) + " is given twice");
    }
    a.values.push_back(std::move(v));
  }
  return a;
}

std::string Where(const HeadlessCalculator& calc) {
  return InQuotes(calc.Problem()) + " (" + calc.Equation() + ")";
}

void NotOffered(bool offered, const std::string& what, const HeadlessCalculator& calc) {
  if (!offered) throw UsageError(what + " is not offered by " + Where(calc));
}

// The choosers, the units, the decimals, the lists, then each value typed in. The units and
// the decimals come before the lists: a change of either rewrites a field from its displayed
// (rounded) text, while a pick writes the value whole in the unit already chosen. The decimals
// asked for come after the units, whose change may raise them.
// False after a "Bad value!".
bool Apply(HeadlessCalculator& calc, const SolveArgs& a, std::ostream& err, const std::string& command = "solve") {
  if (a.equation) calc.PickEquation(*a.equation);
  if (a.problem) calc.PickProblem(*a.problem);
  if (a.clear) calc.ClearFields();
  for (const ValueArg& v : a.values) {
    const std::string id = ParamId(v.index);
    if (v.index == calc::NDia) throw UsageError("NDia is chosen with --size, not as a value");
    const bool unitOnly = v.text == calc::ResultMarker;  // a result, or an input left as it is
    if (unitOnly && calc.IsResult(v.index)) {
      if (!v.unit.empty() && !calc.SetUnit(v.index, v.unit))
        throw UsageError(id + " shows no unit in " + Where(calc));
      continue;
    }
    if (!calc.IsInput(v.index)) throw UsageError(calc.NotAnInputText(v.index));
    if (unitOnly && v.unit.empty()) continue;
    if (calc.HasUnits(v.index)) {
      const bool set = calc.SetUnit(v.index, v.unit.empty() ? calc.DefaultUnit(v.index) : v.unit);
      if (!set && !v.unit.empty())
        throw UsageError(id + " takes no unit in " + Where(calc) + ": " + InQuotes(v.arg));
    } else if (!v.unit.empty()) {
      throw UsageError(id + " has no units: " + InQuotes(v.arg));
    }
  }
  for (const auto& [index, n] : a.decimals) NotOffered(calc.SetDecimals(index, n), ParamId(index), calc);
  if (a.spec) NotOffered(calc.PickSpec(*a.spec), "the pipe spec", calc);
  if (a.size) NotOffered(calc.PickSize(*a.size), "the size list", calc);
  if (a.fluid) NotOffered(calc.PickFluid(*a.fluid), "the fluid list", calc);
  if (a.material) NotOffered(calc.PickMaterial(*a.material), "the material list", calc);
  for (const ValueArg& v : a.values) {
    if (v.text == calc::ResultMarker) continue;
    const bool chosen = std::any_of(a.decimals.begin(), a.decimals.end(),
                                    [&v](const std::pair<int, int>& d) { return d.first == v.index; });
    const auto digits = chosen ? HeadlessCalculator::Digits::AsChosen : HeadlessCalculator::Digits::AsWritten;
    if (calc.Enter(v.index, v.text, digits) == HeadlessCalculator::Entry::BadValue) {
      err << calc.Status() << "\nzynta-cli " << command << ": " << InQuotes(v.arg) << ": " << InQuotes(v.text)
          << " is not a number\n";
      return false;
    }
  }
  return true;
}

}  // namespace

SolveOutcome OutcomeOf(const HeadlessCalculator& calc) {
  SolveOutcome o;
  std::vector<std::string> boxes;
  for (const auto& box : calc.Messages()) boxes.push_back(box.text);
  const calc::SolveOutcome& shown = calc.Outcome();
  o.solved = shown.kind == calc::SolveOutcome::Kind::Solved && calc.Solved() && boxes.empty();
  o.warned = o.solved && shown.warned;
  o.status = boxes.empty() ? calc.Status() : Join(boxes, " ");
  return o;
}

int EnterAndSolve(const std::vector<std::string>& args, const std::string& command,
                  std::optional<HeadlessCalculator>& calc, std::ostream& err) {
  SolveArgs a;
  try {
    a = Parse(args);
    if (a.help || a.json) throw UsageError(std::string(a.help ? "--help" : "--json") + " is no option here");
  } catch (const UsageError& e) {
    err << "zynta-cli " << command << ": " << e.what() << "\nTry 'zynta-cli " << command << " --help'.\n";
    return 2;
  }
  try {
    calc.emplace();
  } catch (const std::exception& e) {
    err << "zynta-cli " << command << ": " << e.what() << "\n";
    return 1;
  }
  try {
    if (!Apply(*calc, a, err, command)) return 1;
  } catch (const UsageError& e) {
    err << "zynta-cli " << command << ": " << e.what() << "\nTry 'zynta-cli " << command << " --help'.\n";
    return 2;
  }
  calc->Solve();
  return -1;
}

int SolveCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  SolveArgs a;
  try {
    a = Parse(args);
  } catch (const UsageError& e) {
    err << "zynta-cli solve: " << e.what() << "\nTry 'zynta-cli solve --help'.\n";
    return 2;
  }
  if (a.help) {
    out << SolveHelp;
    return 0;
  }
  std::optional<HeadlessCalculator> calc;
  try {
    calc.emplace();
  } catch (const std::exception& e) {
    err << "zynta-cli solve: " << e.what() << "\n";
    return 1;
  }
  try {
    if (!Apply(*calc, a, err)) return 1;
  } catch (const UsageError& e) {
    err << "zynta-cli solve: " << e.what() << "\nTry 'zynta-cli solve --help'.\n";
    return 2;
  }
  calc->Solve();
  const SolveOutcome o = OutcomeOf(*calc);
  if (a.json) {
    out << WindowJson(*calc, o.status, o.solved, JsonLayout{}) << "\n";
  } else {
    out << calc->Report();
  }
  // A solve that succeeded with a warning says so too.
  if (!o.solved || o.warned) err << (o.status.empty() ? "Not solved." : o.status) << "\n";
  return o.solved ? 0 : 1;
}

}  // namespace zynta::cli
