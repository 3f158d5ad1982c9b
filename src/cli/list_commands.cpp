#include "cli/list_commands.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <ostream>

#include "calc/params.h"
#include "cli/headless_calculator.h"
#include "shell/pipe_spec.h"
#include "units/convert.h"

namespace zynta::cli {

using namespace calc;

const char* const ProgramHelp =
    "usage: zynta-cli COMMAND [ARGUMENT]...\n"
    "\n"
    "The pipe-hydraulics calculator without a screen.\n"
    "\n"
    "Commands:\n"
    "  solve [OPTION]... PARAM=VALUE[ UNIT]...   solve one problem, print the report\n"
    "  plot --png|--svg PREFIX [SOLVE ARGUMENT]...  solve, write the two plots\n"
    "  system --pump F:H,... [SOLVE ARGUMENT]...  solve, the pump's operating point\n"
    "  batch [--json] FILE|-                     solve every row of a CSV file\n"
    "  units [PARAM]                             the unit catalogs\n"
    "  pipes [SPEC]                              pipe specifications, or one's sizes\n"
    "  fluids                                    the fluid list\n"
    "  script [--program-dir DIR] [--dump] FILE...  run scenario scripts\n"
    "\n"
    "zynta-cli COMMAND --help describes a command; man zynta-cli describes them all.\n";

const char* const UnitsHelp =
    "usage: zynta-cli units [PARAM]\n"
    "\n"
    "Without PARAM: every parameter with its default unit and the units of its\n"
    "catalog, in the order of its unit menu. With PARAM (NDia, IDia, Area, Len, Fric,\n"
    "Vis, Flow, HL, Vel): each unit of its catalog with its factor, the value in that\n"
    "unit per unit of the default; \"x SG\" marks the units that also multiply by the\n"
    "specific gravity. Unit names compare without letter case wherever they are given.\n";

const char* const PipesHelp =
    "usage: zynta-cli pipes [SPEC]\n"
    "\n"
    "Without SPEC: every pipe spec with its index, its Hazen-Williams C and\n"
    "its roughness (ft). With SPEC (its name, letter case ignored, or its index): the\n"
    "nominal sizes as --size takes them, with inside diameter, wall and weight.\n";

const char* const FluidsHelp =
    "usage: zynta-cli fluids\n"
    "\n"
    "Every fluid of the list, as --fluid takes it, with its temperature (F), specific\n"
    "gravity, kinematic viscosity (cSt), vapour pressure (psia) and specific heat\n"
    "(Btu/lb F); the calculator takes the specific gravity and the viscosity.\n";

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Left-aligned columns two spaces apart; the last column is not padded.
void PrintTable(std::ostream& out, const Rows& rows) {
  std::vector<size_t> widths;
  for (const auto& row : rows) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  for (const auto& row : rows) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c) {
      line += row[c];
      if (c + 1 < row.size()) line += std::string(widths[c] - row[c].size() + 2, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out << line << "\n";
  }
}

std::string Number(double v) {
  char buf[32];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

std::string Dash(const std::string& text) { return text.empty() ? "-" : text; }

// Help, or a usage error for more arguments than the command takes.
std::optional<int> Common(const std::vector<std::string>& args, size_t most, const char* help, const char* name,
                          std::ostream& out, std::ostream& err) {
  for (const std::string& a : args) {
    if (a == "-h" || a == "--help") {
      out << help;
      return 0;
    }
    if (a.rfind('-', 0) == 0 && a != "-") {
      err << "zynta-cli " << name << ": unknown option " << InQuotes(a) << "; options: --help\n";
      return 2;
    }
  }
  if (args.size() > most) {
    err << "zynta-cli " << name << ": too many arguments\n" << help;
    return 2;
  }
  return std::nullopt;
}

template <class Body>
int WithCalculator(const char* name, std::ostream& err, Body body) {
  try {
    HeadlessCalculator calc;
    return body(calc);
  } catch (const UsageError& e) {
    err << "zynta-cli " << name << ": " << e.what() << "\n";
    return 2;
  } catch (const std::exception& e) {
    err << "zynta-cli " << name << ": " << e.what() << "\n";
    return 1;
  }
}

}  // namespace

int UnitsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (auto done = Common(args, 1, UnitsHelp, "units", out, err)) return *done;
  return WithCalculator("units", err, [&](HeadlessCalculator& calc) {
    if (args.empty()) {
      Rows rows = {{"PARAM", "NAME", "DEFAULT", "UNITS"}};
      for (int i = 0; i < ParamCount; ++i) {
        rows.push_back({ParamId(i), ParamTable[static_cast<size_t>(i)].name, Dash(calc.DefaultUnit(i)),
                        calc.HasUnits(i) ? Join(calc.Units(i), " ") : "(none)"});
      }
      PrintTable(out, rows);
      return 0;
    }
    const int index = ParamNamed(args[0]);
    if (index < 0)
      throw UsageError("unknown parameter " + InQuotes(args[0]) + "; parameters: " + Join(ParamIds()));
    if (!calc.HasUnits(index)) throw UsageError(std::string(ParamId(index)) + " has no units");
    const TParamType& p = *calc.Form().ParamTypes[static_cast<size_t>(index)];
    out << ParamId(index) << " (" << p.Name << "), default unit " << calc.DefaultUnit(index) << "\n";
    Rows rows = {{"UNIT", "PER " + calc.DefaultUnit(index), ""}};
    for (size_t u = 0; u < p.Units.size(); ++u) {
      rows.push_back(
          {p.Units[u], Number(p.Factors[u]), units::NeedsSpecificGravity(p.Name, p.Units[u]) ? "x SG" : ""});
    }
    PrintTable(out, rows);
    return 0;
  });
}

int PipesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (auto done = Common(args, 1, PipesHelp, "pipes", out, err)) return *done;
  return WithCalculator("pipes", err, [&](HeadlessCalculator& calc) {
    refdata::Table& specs = *calc.Form().cdsPipeSpec;
    if (args.empty()) {
      Rows rows = {{"INDEX", "HW C", "ROUGH (ft)", "PIPE SPEC"}};
      for (specs.First(); !specs.Eof(); specs.Next()) {
        rows.push_back({specs.AsString("Index"), specs.AsString("HWCoef"), specs.AsString("SpecRough"),
                        specs.AsString("Description")});
      }
      PrintTable(out, rows);
      return 0;
    }
    // By name, letter case ignored, or by index ("8" or "0008").
    const std::string& wanted = args[0];
    const bool number =
        wanted.size() <= 4 && !wanted.empty() && wanted.find_first_not_of("0123456789") == std::string::npos;
    std::vector<std::string> names;
    bool found = false;
    for (specs.First(); !specs.Eof(); specs.Next()) {
      found = SameText(specs.AsString("Description"), wanted) ||
              (number && std::string(4 - wanted.size(), '0') + wanted == specs.AsString("Index"));
      if (found) break;
      names.push_back(specs.AsString("Description"));
    }
    if (!found) throw UsageError("unknown pipe spec " + InQuotes(wanted) + "; specifications: " + Join(names));
    out << specs.AsString("Description") << " (index " << specs.AsString("Index") << ")\n";
    refdata::Table& sizes = *calc.Form().cdsPipeSize;
    Rows rows = {{"SIZE", "INSIDE (in)", "WALL (in)", "LB/FT"}};
    for (sizes.First(); !sizes.Eof(); sizes.Next()) {
      rows.push_back({shell::SizeEntryText(calc.Form(), sizes.AsFloat("NomSize")), sizes.AsString("InDia"),
                      Dash(sizes.AsString("Thickness")), Dash(sizes.AsString("Pipelbperft"))});
    }
    PrintTable(out, rows);
    return 0;
  });
}

int FluidsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (auto done = Common(args, 0, FluidsHelp, "fluids", out, err)) return *done;
  return WithCalculator("fluids", err, [&](HeadlessCalculator& calc) {
    refdata::Table& fluids = *calc.Form().cdsLiq_Prop;
    Rows rows = {{"FLUID", "TEMP (F)", "SG", "VIS (cSt)", "VAP (psia)", "CP (Btu/lb F)"}};
    for (fluids.First(); !fluids.Eof(); fluids.Next()) {
      rows.push_back({fluids.AsString("Description"), Dash(fluids.AsString("Temp")), fluids.AsString("Spec_Grav"),
                      fluids.AsString("Kin_Viscosity"), Dash(fluids.AsString("Vap_Press")),
                      Dash(fluids.AsString("Specific_Heat"))});
    }
    PrintTable(out, rows);
    return 0;
  });
}

}  // namespace zynta::cli
