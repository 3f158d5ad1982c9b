#include "shell/plot_curves.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include <variant>

#include "calc/darcy.h"
#include "calc/formulas.h"
#include "pumps/operating_point.h"
#include "shell/field_units.h"
#include "units/convert.h"
#include "units/number_text.h"

namespace zynta::shell {

using namespace calc;
using namespace calc::formulas;

namespace {

const TParamType& Param(const FormModel& f, int index) { return *f.ParamTypes[static_cast<size_t>(index)]; }

bool Positive(double v) { return std::isfinite(v) && v > 0.0; }

// How a base-unit value is shown in a parameter's field (shell::FromBaseUnits): times the
// factor of the selected unit, then times the specific gravity for the units that take it
// (units::NeedsSpecificGravity, decided on the unit label's caption as the field does; the
// gravity is the number in its field, as units::ReadSpecGrav reads it).
struct DisplayScale {
  double factor = 1.0;
  double gravity = 1.0;
  std::string unit;
  double operator()(double base) const { return base * factor * gravity; }
};

std::optional<DisplayScale> ScaleOf(const FormModel& f, int index) {
  const TParamType& p = Param(f, index);
  if (p.UnitIndex < 0 || p.UnitIndex >= MaxUnits || !p.UnitLabel) return std::nullopt;
  DisplayScale s;
  s.unit = p.UnitLabel->Caption();
  s.factor = p.Factors[static_cast<size_t>(p.UnitIndex)];
  if (!Positive(s.factor)) return std::nullopt;
  if (units::NeedsSpecificGravity(p.Name, s.unit)) {
    const auto sg = units::ParseFieldNumber(f.Edits[SG]->Text());
    if (!sg || !Positive(*sg)) return std::nullopt;
    s.gravity = *sg;
  }
  return s;
}

// Points from lo to hi (both included), evenly spaced in log10, at least perDecade a decade.
std::vector<double> LogSpaced(double lo, double hi, int perDecade) {
  const double a = std::log10(lo);
  const double b = std::log10(hi);
  const int n = std::max(1, static_cast<int>(std::ceil((b - a) * perDecade - 1e-9)));
  std::vector<double> out;
  out.reserve(static_cast<size_t>(n) + 1);
  out.push_back(lo);
  for (int k = 1; k < n; ++k) out.push_back(std::pow(10.0, a + (b - a) * k / n));
  out.push_back(hi);
  return out;
}

// Puts the point into a curve sorted by x, replacing a point of the same x.
void InsertPoint(std::vector<CurvePoint>& curve, CurvePoint point) {
  auto it =
      std::lower_bound(curve.begin(), curve.end(), point.x, [](const CurvePoint& p, double x) { return p.x < x; });
  if (it != curve.end() && it->x == point.x) {
    *it = point;
  } else {
    curve.insert(it, point);
  }
}

}  // namespace

PipeOnScreen FromForm(const FormModel& f) {
  PipeOnScreen pipe;
  pipe.equation = EquationOf(f.EquationText());
  pipe.insideDiameterIn = Param(f, IDia).ParamValue;
  pipe.lengthIn = Param(f, Len).ParamValue;
  pipe.friction = Param(f, Fric).ParamValue;
  pipe.viscosityCSt = Param(f, Vis).ParamValue;
  return pipe;
}

bool HasHeadLossSolution(const FormModel& f) {
  if (!f.Solved) return false;
  const int problem = f.cbSolveFor.ItemIndex();
  if (problem < 0 || problem > 2) return false;  // HL, D or Q given the others
  for (const auto& p : f.ParamTypes) {
    if (!p) return false;
  }
  return Positive(Param(f, Flow).ParamValue) && Positive(Param(f, HL).ParamValue) &&
         Positive(Param(f, IDia).ParamValue) && Positive(Param(f, Len).ParamValue);
}

SystemCurve BuildSystemCurve(const FormModel& f, int points) {
  SystemCurve curve;
  if (!HasHeadLossSolution(f)) return curve;
  const auto flowScale = ScaleOf(f, Flow);
  const auto headScale = ScaleOf(f, HL);
  if (!flowScale || !headScale) return curve;

  const PipeOnScreen pipe = FromForm(f);
  const double solvedFlow = Param(f, Flow).ParamValue;  // gpm
  const double lastFlow = 2.0 * solvedFlow;
  const int n = std::max(points, 2);
  curve.points.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    // Whole multiples of the step stay exact where they can; the last point is exactly 2 Q.
    const double q = i == n - 1 ? lastFlow : lastFlow * i / (n - 1);
    curve.points.push_back({(*flowScale)(q), (*headScale)(HeadLossAt(pipe, q))});
  }
  curve.operating = {(*flowScale)(solvedFlow), (*headScale)(Param(f, HL).ParamValue)};
  curve.xUnit = flowScale->unit;
  curve.yUnit = headScale->unit;
  curve.ok = true;
  return curve;
}

// The layout of Moody's diagram (L. F. Moody, "Friction factors for pipe flow", Trans. ASME 66,
// 1944): the laminar line f = 64/Re below the critical Reynolds number and one Colebrook curve
// for each relative roughness above it. Every value is darcy::FrictionFactor, the solvers' own.
MoodyDiagram BuildMoodyDiagram(const FormModel& f, int pointsPerDecade) {
  MoodyDiagram diagram;
  if (!HasHeadLossSolution(f) || EquationOf(f.EquationText()) != Equation::DarcyWeisbach) return diagram;
  const double solvedRe = Param(f, ReyNo).ParamValue;
  const double solvedF = Param(f, FricFact).ParamValue;
  if (!Positive(solvedRe) || !Positive(solvedF)) return diagram;

  const int perDecade = std::max(pointsPerDecade, 1);
  const double x0 = HeadLossSolveStart();
  const PipeOnScreen pipe = FromForm(f);
  const bool laminar = !(solvedRe > darcy::LaminarLimit);  // as darcy::FrictionFactor decides
  // The turbulent curves begin at the first Reynolds number the solvers treat as turbulent.
  const double turbulentFrom = std::nextafter(darcy::LaminarLimit, std::numeric_limits<double>::infinity());

  // Laminar flow: f = 64/Re (Hagen-Poiseuille), through darcy::FrictionFactor.
  for (double re : LogSpaced(laminar ? std::min(MoodyLaminarFrom, solvedRe) : MoodyLaminarFrom,
                             darcy::LaminarLimit, perDecade))
    diagram.laminar.push_back({re, darcy::FrictionFactor(re, 0.0, x0)});

  // Turbulent flow: Colebrook's equation (1939), three Newton steps from 0.02^-0.5.
  const std::vector<double> turbulent = LogSpaced(turbulentFrom, MoodyReynoldsTo, perDecade);
  for (double relRoughness : MoodyRoughnesses) {
    std::vector<CurvePoint> curve;
    curve.reserve(turbulent.size());
    for (double re : turbulent) curve.push_back({re, darcy::FrictionFactor(re, relRoughness, x0)});
    diagram.roughnessCurves.emplace_back(relRoughness, std::move(curve));
  }

  diagram.pipeRelativeRoughness = RelativeRoughness(pipe);
  const double pipeTo = laminar ? MoodyReynoldsTo : std::max(MoodyReynoldsTo, solvedRe);
  for (double re : LogSpaced(turbulentFrom, pipeTo, perDecade))
    diagram.pipe.push_back({re, FrictionFactorAt(pipe, re)});
  if (laminar) {
    InsertPoint(diagram.laminar, {solvedRe, FrictionFactorAt(pipe, solvedRe)});
  } else {
    InsertPoint(diagram.pipe, {solvedRe, FrictionFactorAt(pipe, solvedRe)});
  }
  diagram.operating = {solvedRe, solvedF};
  diagram.ok = true;
  return diagram;
}

namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// "D 2.067 in": a symbol, the field's text and its unit as the window shows them.
std::string FieldText(const FormModel& f, const char* symbol, int index) {
  std::string text = std::string(symbol) + " " + Trimmed(f.Edits[static_cast<size_t>(index)]->Text());
  const platform::Label& label = *f.UnitLabels[static_cast<size_t>(index)];
  const std::string unit = label.Visible() ? Trimmed(label.Caption()) : "";  // C and n show none
  if (!unit.empty()) text += " " + unit;
  return text;
}

}  // namespace

PlotData BuildPlotData(const FormModel& f) {
  PlotData data;
  if (!f.Solved) {
    data.notice = PlotSolveFirst;
    return data;
  }
  data.system = BuildSystemCurve(f);
  if (!data.system.ok) {
    data.notice = PlotNeedsHeadLossProblem;
    return data;
  }
  data.ok = true;
  data.equation = f.EquationText();
  data.problem = f.cbSolveFor.Text();
  const Equation equation = EquationOf(data.equation);
  const char* friction = equation == Equation::DarcyWeisbach   ? "E"
                         : equation == Equation::HazenWilliams ? "C"
                                                               : "n";
  data.pipeText = FieldText(f, "D", IDia) + ", " + FieldText(f, "L", Len) + ", " + FieldText(f, friction, Fric);
  if (equation == Equation::DarcyWeisbach) data.pipeText += ", " + FieldText(f, "Vis", Vis);
  data.systemOperatingText = FieldText(f, "Q", Flow) + ", " + FieldText(f, "HL", HL);
  if (!f.Pumps.Empty()) AddPumps(f, f.Pumps, data);
  data.pumpInput = InputOf(f, f.Pumps);
  data.pumpRefusal = f.PumpRefusal;
  for (const refdata::Fitting& fitting : f.Fittings) data.fittings.push_back({fitting.name, fitting.k});
  data.moody = BuildMoodyDiagram(f);
  if (data.moody.ok) {
    // The regime label beside the Reynolds number is no unit.
    data.moodyOperatingText =
        "Re " + Trimmed(f.Edits[ReyNo]->Text()) + ", f " + Trimmed(f.Edits[FricFact]->Text());
  } else {
    data.moodyNotice = MoodyDarcyOnly;
  }
  return data;
}

namespace {

std::string Shown(double v) { return units::FormatGeneral(v, 4, 0, units::DecimalSeparator()); }

std::string Percent(double part, double whole) { return Shown(100.0 * part / whole) + "%"; }

// The curve of an arrangement over its range of flows, and its catalogue points as arranged.
void DrawPump(const pumps::PumpCurve& pump, pumps::Arrangement arrangement, const DisplayScale& flow,
              const DisplayScale& head, int points, PumpPlot& plot) {
  const double first = pumps::ArrangedFirstFlow(pump, arrangement);
  const double last = pumps::ArrangedLastFlow(pump, arrangement);
  for (int i = 0; i < points; ++i) {
    const double q = i == points - 1 ? last : first + (last - first) * i / (points - 1);
    plot.curve.push_back({flow(q), head(pumps::ArrangedHead(pump, arrangement, q))});
  }
  for (const pumps::PumpPoint& p : pump.points) {
    const double q = arrangement == pumps::Arrangement::Parallel ? 2.0 * p.flow : p.flow;
    const double h = arrangement == pumps::Arrangement::Series ? 2.0 * p.head : p.head;
    plot.points.push_back({flow(q), head(h)});
  }
}

}  // namespace

void AddPumps(const FormModel& f, const PumpPanel& panel, PlotData& data, int points) {
  if (!data.ok) return;
  const auto flowScale = ScaleOf(f, Flow);
  const auto headScale = ScaleOf(f, HL);
  if (!flowScale || !headScale) return;
  const DisplayScale& flow = *flowScale;
  const DisplayScale& head = *headScale;
  const pumps::System system{FromForm(f), panel.staticHeadFt, panel.sumK};
  const int n = std::max(points, 2);

  std::vector<std::variant<pumps::PumpCurve, std::string>> fits;
  double lastFlow = 2.0 * Param(f, Flow).ParamValue;
  for (const auto& pumpPoints : panel.pumps) {
    fits.push_back(pumps::FitPumpCurve(pumpPoints));
    if (const auto* pump = std::get_if<pumps::PumpCurve>(&fits.back()))
      lastFlow = std::max(lastFlow, pumps::ArrangedLastFlow(*pump, panel.arrangement));
  }
  SystemCurve& curve = data.system;
  curve.points.clear();
  for (int i = 0; i < n; ++i) {
    const double q = i == n - 1 ? lastFlow : lastFlow * i / (n - 1);
    curve.points.push_back({flow(q), head(pumps::SystemHeadAt(system, q).Total())});
  }
  const double solvedFlow = Param(f, Flow).ParamValue;
  curve.operating = {flow(solvedFlow), head(pumps::SystemHeadAt(system, solvedFlow).Total())};
  // The solved point now sits at the system's whole head, which its label adds.
  data.systemOperatingText += ", H " + Shown(curve.operating.y) + " " + head.unit;
  data.systemText =
      "static " + Shown(head(panel.staticHeadFt)) + " " + head.unit + ", sum of K " + Shown(panel.sumK);

  for (const auto& fit : fits) {
    PumpPlot& plot = data.pumps.emplace_back();
    if (const auto* refused = std::get_if<std::string>(&fit)) {
      plot.text = *refused;
      continue;
    }
    const auto& pump = std::get<pumps::PumpCurve>(fit);
    DrawPump(pump, panel.arrangement, flow, head, n, plot);
    const auto found = pumps::FindOperatingPoint(system, pump, panel.arrangement);
    if (const auto* failure = std::get_if<std::string>(&found)) {
      plot.text = *failure;
      continue;
    }
    const auto& p = std::get<pumps::OperatingPoint>(found);
    plot.meets = true;
    plot.operating = {flow(p.flowGpm), head(p.headFt)};
    plot.text = "Q " + Shown(flow(p.flowGpm)) + " " + flow.unit + ", H " + Shown(head(p.headFt)) + " " + head.unit;
    plot.shares = "static " + Percent(p.parts.staticFt, p.headFt) + ", friction " +
                  Percent(p.parts.frictionFt, p.headFt) + ", minor " + Percent(p.parts.minorFt, p.headFt);
  }
}

namespace {

std::string FieldFormat(double v) { return units::FormatGeneral(v, 15, 0, units::DecimalSeparator()); }

// "q:h,q:h" of the user's numbers, in base units.
std::optional<std::vector<pumps::PumpPoint>> PointsOf(const std::string& text, const DisplayScale& flow,
                                                      const DisplayScale& head) {
  std::vector<pumps::PumpPoint> points;
  if (!ParsePumpPoints(text, units::DecimalSeparator(), points)) return std::nullopt;
  for (pumps::PumpPoint& p : points)
    p = {p.flow / flow.factor / flow.gravity, p.head / head.factor / head.gravity};
  return points;
}

}  // namespace

platform::PumpInput InputOf(const FormModel& f, const PumpPanel& panel) {
  platform::PumpInput input;
  input.arrangement = pumps::ArrangementName(panel.arrangement);
  input.sumK = FieldFormat(panel.sumK);
  const auto flow = ScaleOf(f, Flow);
  const auto head = ScaleOf(f, HL);
  if (!flow || !head) return input;
  input.staticHead = FieldFormat((*head)(panel.staticHeadFt));
  for (const auto& points : panel.pumps) {
    std::string text;
    for (const pumps::PumpPoint& p : points) {
      if (!text.empty()) text += ",";
      text += FieldFormat((*flow)(p.flow)) + ":" + FieldFormat((*head)(p.head));
    }
    input.pumps.push_back(text);
  }
  return input;
}

std::variant<PumpPanel, std::string> PanelOf(const FormModel& f, const platform::PumpInput& input) {
  const auto flow = ScaleOf(f, Flow);
  const auto head = ScaleOf(f, HL);
  if (!flow || !head) return std::string(PlotNeedsHeadLossProblem);
  PumpPanel panel;
  const auto staticHead =
      input.staticHead.empty() ? std::optional<double>(0.0) : units::ParseFieldNumber(input.staticHead);
  if (!staticHead) return std::string("The static head must be a number");
  panel.staticHeadFt = *staticHead / head->factor / head->gravity;
  const auto sumK = input.sumK.empty() ? std::optional<double>(0.0) : units::ParseFieldNumber(input.sumK);
  if (!sumK || *sumK < 0.0) return std::string("The sum of K must be a number, 0 or more");
  panel.sumK = *sumK;
  if (!pumps::ParseArrangement(input.arrangement, panel.arrangement))
    return std::string("The arrangement is single, parallel or series");
  for (size_t i = 0; i < input.pumps.size(); ++i) {
    if (input.pumps[i].empty()) continue;
    const auto points = PointsOf(input.pumps[i], *flow, *head);
    if (!points) return "Pump " + std::to_string(i + 1) + ": each point is a flow and a head, both numbers";
    const auto fit = pumps::FitPumpCurve(*points);
    if (const auto* refused = std::get_if<std::string>(&fit))
      return "Pump " + std::to_string(i + 1) + ": " + *refused;
    if (panel.pumps.size() == static_cast<size_t>(MaxPumps)) return std::string("At most 3 pumps");
    panel.pumps.push_back(*points);
  }
  return panel;
}

}  // namespace zynta::shell
