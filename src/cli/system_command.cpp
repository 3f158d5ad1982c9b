#include "cli/system_command.h"

#include <optional>
#include <ostream>
#include <variant>

#include "calc/params.h"
#include "cli/headless_calculator.h"
#include "cli/json_report.h"
#include "cli/solve_command.h"
#include "pumps/operating_point.h"
#include "refdata/data_packet.h"
#include "refdata/fittings.h"
#include "shell/plot_curves.h"
#include "units/convert.h"
#include "units/number_text.h"

namespace zynta::cli {

using namespace calc;

const char* const SystemHelp =
    "usage: zynta-cli system [SOLVE ARGUMENT]... --pump FLOW:HEAD,FLOW:HEAD[,...] [OPTION]...\n"
    "\n"
    "Solves the pipe as `zynta-cli solve` does (a head-loss problem: HL, D or Q given the\n"
    "others), takes it as the system a pump works against and prints the operating point of\n"
    "each pump curve on it: the flow where the pump's head equals the system's head, static head\n"
    "plus the pipe's head loss plus the fittings' K V^2/2g.\n"
    "\n"
    "  --static VALUE[ UNIT]  the lift between the two liquid levels (0 when not given; may be\n"
    "                         negative), in a head-loss unit (default: --head-unit)\n"
    "  --k SUM                a sum of loss coefficients K (0 or more), added to the fittings'\n"
    "  --fitting NAME=COUNT   COUNT fittings of a kind of Fittings.XML (repeatable; `zynta-cli\n"
    "                         system --fittings` lists them)\n"
    "  --pump F:H,F:H,...     2 to 8 points (flow, head) of a pump's curve, in order of flow\n"
    "                         (repeatable, up to 3 pumps); fitted by a quadratic\n"
    "  --arrangement WHICH    single (default), parallel (two identical pumps: twice the flow)\n"
    "                         or series (twice the head), for every pump given\n"
    "  --flow-unit UNIT       the unit of the pump's flows and of the answer (default: Flow's\n"
    "                         unit after the solve)\n"
    "  --head-unit UNIT       the unit of the heads (default: HL's unit after the solve)\n"
    "  --json                 the system and each operating point as JSON\n"
    "  --fittings             lists the fittings and their K, and exits\n"
    "  -h, --help             this text\n"
    "\n"
    "Exit status: 0 every pump has an operating point; 1 the pipe is not solved, or a pump has no\n"
    "operating point (\"No operating point: the pump cannot reach the static head\", \"No\n"
    "operating point within the pump curve's range\"); 2 a usage error, points that make no pump\n"
    "curve included.\n";

namespace {

struct SystemArgs {
  std::vector<std::string> solve;
  SystemOptions options;
  bool json = false, listFittings = false, help = false;
};

std::string Number(double v) { return units::FormatGeneral(v, 6, 0, '.'); }

double ParseNumber(const std::string& text, const std::string& what) {
  const auto v = units::ParseFieldNumber(text, '.');
  if (!v) throw UsageError(what + ": " + InQuotes(text) + " is not a number");
  return *v;
}

SystemArgs Parse(const std::vector<std::string>& args) {
  SystemArgs a;
  std::vector<std::string> rest = args;
  for (const std::string& arg : rest) {
    if (arg == "-h" || arg == "--help") {
      a.help = true;
      return a;
    }
  }
  a.options = TakeSystemOptions(rest);
  for (const std::string& arg : rest) {
    if (arg == "--json" || arg == "--fittings") {
      (arg == "--json" ? a.json : a.listFittings) = true;
    } else {
      a.solve.push_back(arg);
    }
  }
  if (!a.listFittings && a.options.pumps.empty())
    throw UsageError("no pump: give its curve with --pump FLOW:HEAD,...");
  return a;
}

// A unit of a parameter's catalog and what one base unit is in it.
struct ShownIn {
  std::string unit;
  double factor = 1.0;
};

ShownIn UnitOf(const HeadlessCalculator& calc, int index, const std::optional<std::string>& asked, double sg) {
  const std::string wanted = asked ? *asked : calc.ShownUnit(index);
  const int u = calc.UnitPosition(index, wanted);
  if (u < 0)
    throw UsageError("unknown unit " + InQuotes(wanted) + " for " + ParamId(index) +
                     "; units: " + Join(calc.Units(index)));
  const TParamType& p = *calc.Form().ParamTypes[static_cast<size_t>(index)];
  ShownIn s{p.Units[static_cast<size_t>(u)], p.Factors[static_cast<size_t>(u)]};
  if (units::NeedsSpecificGravity(p.Name, s.unit)) s.factor *= sg;
  return s;
}

std::vector<refdata::Fitting> Fittings(const HeadlessCalculator& calc) {
  return refdata::LoadFittings(calc.Form().ProgramDir() / refdata::FittingsFile);
}

double SumOfK(const HeadlessCalculator& calc, const SystemOptions& a) {
  double sum = a.sumK ? ParseNumber(*a.sumK, "--k") : 0.0;
  if (sum < 0.0) throw UsageError("--k: a sum of loss coefficients is 0 or more");
  if (a.fittings.empty()) return sum;
  const auto fittings = Fittings(calc);
  for (const std::string& entry : a.fittings) {
    const size_t eq = entry.rfind('=');
    const std::string name = entry.substr(0, eq);
    const auto fitting = refdata::FindFitting(fittings, name);
    if (!fitting) {
      std::vector<std::string> names;
      for (const auto& f : fittings) names.push_back(f.name);
      throw UsageError("unknown fitting " + InQuotes(name) + "; fittings: " + Join(names, "; "));
    }
    const std::string count = eq == std::string::npos ? "1" : entry.substr(eq + 1);
    const double n = ParseNumber(count, "--fitting " + name);
    if (n < 0.0 || n != static_cast<double>(static_cast<long>(n)))
      throw UsageError("--fitting " + name + ": a count is a whole number, 0 or more");
    sum += n * fitting->k;
  }
  return sum;
}

// "F:H,F:H,..." in the units shown, into gpm and feet of liquid.
std::vector<pumps::PumpPoint> PumpPoints(const std::string& text, const ShownIn& flow, const ShownIn& head) {
  std::vector<pumps::PumpPoint> points;
  std::string bad;
  if (!shell::ParsePumpPoints(text, '.', points, &bad))
    throw UsageError("--pump: " + InQuotes(bad) + " is no FLOW:HEAD point");
  for (pumps::PumpPoint& p : points) p = {p.flow / flow.factor, p.head / head.factor};
  return points;
}

struct PumpResult {
  std::string failure;  // "" when the operating point was found
  pumps::OperatingPoint point;
};

void WriteText(std::ostream& out, const std::vector<PumpResult>& results, const SystemOptions& a, double staticFt,
               double sumK, const ShownIn& flow, const ShownIn& head, const ShownIn& vel) {
  out << "Static head: " << Number(staticFt * head.factor) << " " << head.unit << "\n";
  out << "Sum of K: " << Number(sumK) << "\n";
  for (size_t i = 0; i < results.size(); ++i) {
    const PumpResult& r = results[i];
    out << "Pump " << i + 1 << " (" << pumps::ArrangementName(a.arrangement) << "): ";
    if (!r.failure.empty()) {
      out << r.failure << "\n";
      continue;
    }
    const pumps::OperatingPoint& p = r.point;
    out << Number(p.flowGpm * flow.factor) << " " << flow.unit << " at " << Number(p.headFt * head.factor) << " "
        << head.unit << "\n";
    out << "  Velocity: " << Number(p.velocityFps * vel.factor) << " " << vel.unit << "\n";
    out << "  Reynolds number: " << Number(p.reynolds) << "\n";
    out << "  Static head " << Number(100.0 * p.parts.staticFt / p.headFt) << " %, friction "
        << Number(100.0 * p.parts.frictionFt / p.headFt) << " %, minor losses "
        << Number(100.0 * p.parts.minorFt / p.headFt) << " %\n";
  }
}

void WriteJson(std::ostream& out, const std::vector<PumpResult>& results, const SystemOptions& a, double staticFt,
               double sumK, const ShownIn& flow, const ShownIn& head, const ShownIn& vel) {
  out << "{\"static\":{\"value\":" << JsonNumber(staticFt * head.factor) << ",\"unit\":" << JsonString(head.unit)
      << "},\"sumK\":" << JsonNumber(sumK)
      << ",\"arrangement\":" << JsonString(pumps::ArrangementName(a.arrangement)) << ",\"pumps\":[";
  for (size_t i = 0; i < results.size(); ++i) {
    const PumpResult& r = results[i];
    if (i) out << ",";
    if (!r.failure.empty()) {
      out << "{\"ok\":false,\"failure\":" << JsonString(r.failure) << "}";
      continue;
    }
    const pumps::OperatingPoint& p = r.point;
    out << "{\"ok\":true,\"flow\":{\"value\":" << JsonNumber(p.flowGpm * flow.factor)
        << ",\"unit\":" << JsonString(flow.unit) << "},\"head\":{\"value\":" << JsonNumber(p.headFt * head.factor)
        << ",\"unit\":" << JsonString(head.unit)
        << "},\"velocity\":{\"value\":" << JsonNumber(p.velocityFps * vel.factor)
        << ",\"unit\":" << JsonString(vel.unit) << "},\"reynolds\":" << JsonNumber(p.reynolds)
        << ",\"shares\":{\"static\":" << JsonNumber(p.parts.staticFt / p.headFt)
        << ",\"friction\":" << JsonNumber(p.parts.frictionFt / p.headFt)
        << ",\"minor\":" << JsonNumber(p.parts.minorFt / p.headFt) << "}}";
  }
  out << "]}\n";
}

int ListFittings(std::ostream& out, std::ostream& err) {
  try {
    HeadlessCalculator calc;
    for (const auto& f : Fittings(calc)) out << f.name << "\t" << Number(f.k) << "\n";
  } catch (const std::exception& e) {
    err << "zynta-cli system: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int SystemCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  SystemArgs a;
  try {
    a = Parse(args);
  } catch (const UsageError& e) {
    err << "zynta-cli system: " << e.what() << "\nTry 'zynta-cli system --help'.\n";
    return 2;
  }
  if (a.help) {
    out << SystemHelp;
    return 0;
  }
  if (a.listFittings) return ListFittings(out, err);
  std::optional<HeadlessCalculator> calc;
  if (const int status = EnterAndSolve(a.solve, "system", calc, err); status >= 0) return status;
  const SolveOutcome o = OutcomeOf(*calc);
  if (!o.solved) {
    err << (o.status.empty() ? "Not solved." : o.status) << "\n";
    return 1;
  }
  if (!shell::HasHeadLossSolution(calc->Form())) {
    err << "zynta-cli system: " << shell::PlotNeedsHeadLossProblem << "\n";
    return 1;
  }
  std::vector<PumpResult> results;
  shell::PumpPanel panel;
  ShownIn flow, head, vel;
  try {
    const double sg = calc->Value(SG);
    flow = UnitOf(*calc, Flow, a.options.flowUnit, sg);
    head = UnitOf(*calc, HL, a.options.headUnit, sg);
    vel = UnitOf(*calc, Vel, std::nullopt, sg);
    panel = PanelOf(*calc, a.options);
  } catch (const UsageError& e) {
    err << "zynta-cli system: " << e.what() << "\nTry 'zynta-cli system --help'.\n";
    return 2;
  } catch (const refdata::DataPacketError& e) {
    err << "zynta-cli system: " << e.what() << "\n";
    return 1;
  }
  const pumps::System system{shell::FromForm(calc->Form()), panel.staticHeadFt, panel.sumK};
  for (const auto& points : panel.pumps) {
    const auto found = pumps::FindOperatingPoint(system, std::get<pumps::PumpCurve>(pumps::FitPumpCurve(points)),
                                                 panel.arrangement);
    PumpResult r;
    if (const auto* failure = std::get_if<std::string>(&found)) {
      r.failure = *failure;
    } else {
      r.point = std::get<pumps::OperatingPoint>(found);
    }
    results.push_back(r);
  }
  const double staticFt = panel.staticHeadFt, sumK = panel.sumK;
  (a.json ? WriteJson : WriteText)(out, results, a.options, staticFt, sumK, flow, head, vel);
  int status = 0;
  for (size_t i = 0; i < results.size(); ++i) {
    if (results[i].failure.empty()) continue;
    err << "Pump " << i + 1 << ": " << results[i].failure << "\n";
    status = 1;
  }
  return status;
}

SystemOptions TakeSystemOptions(std::vector<std::string>& args) {
  SystemOptions o;
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const size_t eq = arg.find('=');
    const std::string name = arg.rfind("--", 0) == 0 ? arg.substr(0, eq) : "";
    const bool ours = name == "--static" || name == "--k" || name == "--fitting" || name == "--pump" ||
                      name == "--arrangement" || name == "--flow-unit" || name == "--head-unit";
    if (!ours) {
      rest.push_back(arg);
      continue;
    }
    std::string value;
    if (eq != std::string::npos) {
      value = arg.substr(eq + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      throw UsageError(name + " needs a value");
    }
    if (name == "--static") o.staticHead = value;
    if (name == "--k") o.sumK = value;
    if (name == "--flow-unit") o.flowUnit = value;
    if (name == "--head-unit") o.headUnit = value;
    if (name == "--fitting") o.fittings.push_back(value);
    if (name == "--pump") o.pumps.push_back(value);
    if (name == "--arrangement" && !pumps::ParseArrangement(value, o.arrangement))
      throw UsageError("unknown arrangement " + InQuotes(value) + "; arrangements: single, parallel, series");
  }
  if (o.pumps.size() > static_cast<size_t>(shell::MaxPumps)) throw UsageError("at most 3 pumps");
  args = std::move(rest);
  return o;
}

shell::PumpPanel PanelOf(const HeadlessCalculator& calc, const SystemOptions& o) {
  shell::PumpPanel panel;
  panel.arrangement = o.arrangement;
  const double sg = calc.Value(SG);
  const ShownIn flow = UnitOf(calc, Flow, o.flowUnit, sg);
  const ShownIn head = UnitOf(calc, HL, o.headUnit, sg);
  if (o.staticHead) {
    const std::string& s = *o.staticHead;
    const size_t space = s.find(' ');
    const size_t unitAt = space == std::string::npos ? std::string::npos : s.find_first_not_of(' ', space);
    const ShownIn in = unitAt == std::string::npos ? head : UnitOf(calc, HL, s.substr(unitAt), sg);
    panel.staticHeadFt = ParseNumber(s.substr(0, space), "--static") / in.factor;
  }
  panel.sumK = SumOfK(calc, o);
  for (size_t i = 0; i < o.pumps.size(); ++i) {
    std::vector<pumps::PumpPoint> points = PumpPoints(o.pumps[i], flow, head);
    const auto fit = pumps::FitPumpCurve(points);
    if (const auto* refused = std::get_if<std::string>(&fit))
      throw UsageError("pump " + std::to_string(i + 1) + ": " + *refused);
    panel.pumps.push_back(std::move(points));
  }
  return panel;
}

}  // namespace zynta::cli
