#include "shell/plot_curves.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "calc/darcy.h"
#include "calc/formulas.h"
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

}  // namespace zynta::shell
