// The points of the system curve and of the Moody diagram, checked against the window's own
// solves: the calculator window runs headless on the recording platform, on the data files
// beside the test binary, and is driven as a person drives it.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "calc/catalog.h"
#include "calc/darcy.h"
#include "platform/recording.h"
#include "pumps/operating_point.h"
#include "shell/frm_zynta.h"
#include "shell/plot_curves.h"
#include "units/convert.h"
#include "units/number_text.h"
#include "window_fixture.h"

namespace zynta::shell {
namespace {

namespace fs = std::filesystem;
using namespace calc;

// |a - b| within rel of |b| (exact when b is 0).
::testing::AssertionResult Near(double a, double b, double rel) {
  if (a == b || std::fabs(a - b) <= rel * std::fabs(b)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << a << " and " << b << " differ by " << std::fabs(a - b) / std::fabs(b)
                                       << " relative, more than " << rel;
}

// Field text of a number, in the window's decimal separator.
std::string FieldText(double x) {
  std::string text = units::InvariantFloatToStr(x);
  std::replace(text.begin(), text.end(), '.', units::DecimalSeparator());
  return text;
}

class PlotCurves : public WindowFixture {
 protected:
  // Hazen-Williams, HL given D,L,C,Q: 6 in, 1000 ft, C 120, 100 gpm.
  void SolveHazenWilliams() {
    PickEquation(HazenWilliams);
    PickProblem(0);
    Enter(IDia, "6");
    Enter(Len, "1000");
    Enter(Fric, "120");
    Enter(Flow, "100");
    Solve();
  }

  // Darcy-Weisbach, HL given D,L,E,Vis,Q: 4.026 in, 500 ft, E 0.05 mm, 1.13 cSt, 100 gpm.
  void SolveDarcy() {
    PickEquation(DarcyWeisbach);
    PickProblem(0);
    Enter(IDia, "4.026");
    Enter(Len, "500");
    SetUnit(Fric, "mm");
    Enter(Fric, "0.05");
    Enter(Vis, "1.13");
    Enter(Flow, "100");
    Solve();
  }

  // Manning's, HL given D,L,n,Q: 12 in, 1000 ft, n 0.013, 500 gpm.
  void SolveManning() {
    PickEquation(Mannings);
    PickProblem(0);
    SetDecimals(Fric, 3);
    Enter(IDia, "12");
    Enter(Len, "1000");
    Enter(Fric, "0.013");
    Enter(Flow, "500");
    Solve();
  }

  // A head loss in base units as its field shows it: the unit's factor, and the specific
  // gravity for a pressure unit.
  double HeadGravity() {
    const TParamType& hl = P(HL);
    if (!units::NeedsSpecificGravity(hl.Name, hl.UnitLabel->Caption())) return 1.0;
    return *units::ParseFieldNumber(form->Edits[SG]->Text());
  }
  double HeadFactor() { return P(HL).Factors[static_cast<size_t>(P(HL).UnitIndex)]; }
  double HeadShown(double base) { return base * HeadFactor() * HeadGravity(); }
  double HeadBase(double shown) { return shown / HeadFactor() / HeadGravity(); }

  // Every point of the curve but the first (zero flow, which no solve accepts) is what the
  // window's "HL given" solve gives at that flow.
  void ExpectPointsAreSolves(const SystemCurve& curve) {
    const TParamType& flow = P(Flow);
    const TParamType& hl = P(HL);
    const double flowFactor = flow.Factors[static_cast<size_t>(flow.UnitIndex)];
    for (size_t i = 1; i < curve.points.size(); ++i) {
      const CurvePoint& point = curve.points[i];
      SCOPED_TRACE("point " + std::to_string(i) + " at flow " + FieldText(point.x) + " " + curve.xUnit);
      Enter(Flow, FieldText(point.x));
      ASSERT_EQ(P(Flow).ParamValue, point.x / flowFactor);  // the solve sees the point's flow
      Solve();
      EXPECT_TRUE(Near(hl.ParamValue, HeadBase(point.y), 1e-9));
    }
  }

  // Starts at (0, 0), ends at twice the solved flow, operating point at the solved values.
  void ExpectEndsAndOperatingPoint(const SystemCurve& curve, size_t points) {
    ASSERT_TRUE(curve.ok);
    ASSERT_EQ(curve.points.size(), points);
    const double q = P(Flow).ParamValue * P(Flow).Factors[static_cast<size_t>(P(Flow).UnitIndex)];
    EXPECT_EQ(curve.points.front().x, 0.0);
    EXPECT_EQ(curve.points.front().y, 0.0);
    EXPECT_EQ(curve.points.back().x, 2.0 * q);
    EXPECT_EQ(curve.operating.x, q);
    EXPECT_EQ(curve.operating.y, HeadShown(P(HL).ParamValue));
    for (size_t i = 1; i < curve.points.size(); ++i) {
      EXPECT_GT(curve.points[i].x, curve.points[i - 1].x);
      EXPECT_GT(curve.points[i].y, curve.points[i - 1].y);  // more flow, more loss
    }
  }
};

// --- the system curve, one equation at a time

TEST_F(PlotCurves, HazenWilliamsCurvePointsAreHeadLossSolves) {
  SolveHazenWilliams();
  const SystemCurve curve = BuildSystemCurve(*form, 21);  // every 10 gpm
  ExpectEndsAndOperatingPoint(curve, 21);
  EXPECT_EQ(curve.xUnit, "gpm");
  EXPECT_EQ(curve.yUnit, "ftliq");
  // The middle point is the solved flow itself: the solved head loss.
  EXPECT_EQ(curve.points[10].x, curve.operating.x);
  EXPECT_TRUE(Near(curve.points[10].y, curve.operating.y, 1e-12));
  ExpectPointsAreSolves(curve);
}

TEST_F(PlotCurves, DarcyWeisbachCurvePointsAreHeadLossSolves) {
  SolveDarcy();
  const SystemCurve curve = BuildSystemCurve(*form, 21);
  ExpectEndsAndOperatingPoint(curve, 21);
  EXPECT_TRUE(Near(curve.points[10].y, curve.operating.y, 1e-12));
  ExpectPointsAreSolves(curve);
}

TEST_F(PlotCurves, DarcyWeisbachCurveIsTheSolveInLaminarFlowToo) {
  SolveDarcy();
  Enter(Flow, "2");  // Re about 1400
  Solve();
  ASSERT_LE(P(ReyNo).ParamValue, darcy::LaminarLimit);
  const SystemCurve curve = BuildSystemCurve(*form, 11);  // every 0.4 gpm
  ExpectEndsAndOperatingPoint(curve, 11);
  EXPECT_TRUE(Near(curve.points[5].y, curve.operating.y, 1e-12));
  // A laminar head loss grows as the flow (f = 64/Re, hf proportional to Q): 1.6 and 0.8 gpm.
  EXPECT_TRUE(Near(curve.points[4].y, 2.0 * curve.points[2].y, 1e-12));
  // Twice the flow is turbulent again: more than twice the loss.
  EXPECT_GT(curve.points[10].y, 2.0 * curve.points[5].y);
  ExpectPointsAreSolves(curve);
}

TEST_F(PlotCurves, ManningCurvePointsAreHeadLossSolves) {
  SolveManning();
  ASSERT_EQ(P(Fric).ParamValue, 0.013);
  const SystemCurve curve = BuildSystemCurve(*form, 21);  // every 50 gpm
  ExpectEndsAndOperatingPoint(curve, 21);
  EXPECT_TRUE(Near(curve.points[10].y, curve.operating.y, 1e-12));
  ExpectPointsAreSolves(curve);
}

TEST_F(PlotCurves, HeadLossAtIsTheSolveOfTheEquationOnScreen) {
  SolveHazenWilliams();
  const PipeOnScreen hw = FromForm(*form);
  EXPECT_EQ(hw.equation, Equation::HazenWilliams);
  EXPECT_EQ(hw.insideDiameterIn, 6.0);
  EXPECT_EQ(hw.lengthIn, 12000.0);
  EXPECT_EQ(hw.friction, 120.0);
  EXPECT_EQ(HeadLossAt(hw, 100.0), P(HL).ParamValue);
  EXPECT_EQ(HeadLossAt(hw, 0.0), 0.0);

  SolveDarcy();
  const PipeOnScreen dw = FromForm(*form);
  EXPECT_EQ(dw.equation, Equation::DarcyWeisbach);
  EXPECT_EQ(dw.viscosityCSt, 1.13);
  EXPECT_EQ(ReynoldsAt(dw, 100.0), P(ReyNo).ParamValue);
  EXPECT_TRUE(Near(FrictionFactorAt(dw, ReynoldsAt(dw, 100.0)), P(FricFact).ParamValue, 1e-12));
  EXPECT_TRUE(Near(HeadLossAt(dw, 100.0), P(HL).ParamValue, 1e-12));
  EXPECT_EQ(HeadLossAt(dw, 0.0), 0.0);
}

TEST_F(PlotCurves, OtherHeadLossProblemsPlotTheSolvedPipe) {
  // D given L,C,Q,HL: the curve runs through the solved diameter, and passes through the
  // operating point (Hazen-Williams is closed-form).
  SolveHazenWilliams();
  const double hl = P(HL).ParamValue;
  PickProblem(1);
  Enter(HL, FieldText(P(HL).ParamValue * P(HL).Factors[static_cast<size_t>(P(HL).UnitIndex)]));
  Solve();
  const SystemCurve curve = BuildSystemCurve(*form, 21);
  ExpectEndsAndOperatingPoint(curve, 21);
  // Within the rounding of the constants: 0.54 and 0.20553 are rounded inverses of 1.85, 4.8655.
  EXPECT_TRUE(Near(curve.points[10].y, curve.operating.y, 1e-2));
  EXPECT_TRUE(Near(curve.operating.y, hl, 1e-2));
  EXPECT_TRUE(Near(curve.points[10].y, HeadLossAt(FromForm(*form), P(Flow).ParamValue), 1e-15));
}

// --- the defaults and the units of the window

TEST_F(PlotCurves, DefaultCurveHasFiftyPointsFromZeroToTwiceTheFlow) {
  SolveHazenWilliams();
  const SystemCurve curve = BuildSystemCurve(*form);
  ExpectEndsAndOperatingPoint(curve, 50);
  EXPECT_EQ(curve.points.back().x, 200.0);
  EXPECT_EQ(BuildSystemCurve(*form, 1).points.size(), 2u);  // at least the two ends
}

TEST_F(PlotCurves, AxesFollowTheUnitsOfTheFields) {
  SolveHazenWilliams();
  const SystemCurve base = BuildSystemCurve(*form, 21);
  ASSERT_TRUE(base.ok);

  Enter(SG, "0.85");  // a new gravity ends the solution: solve again before the units change
  Solve();
  SetUnit(Flow, "L/s");
  SetUnit(HL, "psi");
  ASSERT_TRUE(form->Solved);  // a unit change keeps the solution
  const SystemCurve curve = BuildSystemCurve(*form, 21);
  ASSERT_TRUE(curve.ok);
  EXPECT_EQ(curve.xUnit, "L/s");
  EXPECT_EQ(curve.yUnit, "psi");
  const double flowFactor = P(Flow).Factors[static_cast<size_t>(P(Flow).UnitIndex)];
  const double headFactor = P(HL).Factors[static_cast<size_t>(P(HL).UnitIndex)];
  EXPECT_EQ(flowFactor, 0.0630901964);
  EXPECT_EQ(headFactor, 0.43352750400100425);
  ASSERT_EQ(curve.points.size(), base.points.size());
  for (size_t i = 0; i < curve.points.size(); ++i) {
    EXPECT_TRUE(Near(curve.points[i].x, base.points[i].x * flowFactor, 1e-15));
    EXPECT_TRUE(Near(curve.points[i].y, base.points[i].y * headFactor * 0.85, 1e-15));
  }
  // The operating point is what the fields hold, shown as the fields show it.
  EXPECT_EQ(curve.operating.x, P(Flow).ParamValue * flowFactor);
  EXPECT_EQ(curve.operating.y, P(HL).ParamValue * headFactor * 0.85);
  EXPECT_TRUE(Near(curve.operating.y, *units::ParseFieldNumber(form->Edits[HL]->Text()), 0.01));
}

TEST_F(PlotCurves, PointsInAPressureUnitAreSolvesInThatUnit) {
  PickEquation(HazenWilliams);
  PickProblem(0);
  Enter(SG, "1.2");
  SetUnit(HL, "kPa");
  SolveHazenWilliams();
  const SystemCurve curve = BuildSystemCurve(*form, 11);  // every 20 gpm
  ExpectEndsAndOperatingPoint(curve, 11);
  EXPECT_EQ(curve.yUnit, "kPa");
  EXPECT_TRUE(Near(curve.operating.y, P(HL).ParamValue * 2.98906692 * 1.2, 1e-15));
  ExpectPointsAreSolves(curve);
}

// --- the Moody diagram

TEST_F(PlotCurves, MoodyPipeCurveMeetsTheSolvedFrictionFactor) {
  SolveDarcy();
  const MoodyDiagram m = BuildMoodyDiagram(*form);
  ASSERT_TRUE(m.ok);
  const double re = P(ReyNo).ParamValue;
  ASSERT_GT(re, 4000.0);
  EXPECT_EQ(m.operating.x, re);
  EXPECT_EQ(m.operating.y, P(FricFact).ParamValue);
  EXPECT_TRUE(Near(m.pipeRelativeRoughness, (0.05 / 304.8) / (4.026 / 12.0), 1e-12));
  const auto at = std::find_if(m.pipe.begin(), m.pipe.end(), [&](const CurvePoint& p) { return p.x == re; });
  ASSERT_NE(at, m.pipe.end()) << "the solved Reynolds number is a point of the pipe's curve";
  EXPECT_TRUE(Near(at->y, P(FricFact).ParamValue, 1e-12));
  // The pipe's curve runs over the turbulent range, sorted, from just above 2000 to 1e8.
  EXPECT_GT(m.pipe.front().x, darcy::LaminarLimit);
  EXPECT_TRUE(Near(m.pipe.front().x, darcy::LaminarLimit, 1e-12));
  EXPECT_EQ(m.pipe.back().x, MoodyReynoldsTo);
  for (size_t i = 1; i < m.pipe.size(); ++i) EXPECT_LT(m.pipe[i - 1].x, m.pipe[i].x);
}

TEST_F(PlotCurves, MoodyLaminarLineIs64OverRe) {
  SolveDarcy();
  const MoodyDiagram m = BuildMoodyDiagram(*form, 10);
  ASSERT_TRUE(m.ok);
  ASSERT_GE(m.laminar.size(), 6u);
  EXPECT_EQ(m.laminar.front().x, MoodyLaminarFrom);
  EXPECT_EQ(m.laminar.back().x, darcy::LaminarLimit);
  for (const CurvePoint& p : m.laminar) EXPECT_EQ(p.y, 64.0 / p.x);
  for (size_t i = 1; i < m.laminar.size(); ++i) EXPECT_LT(m.laminar[i - 1].x, m.laminar[i].x);
}

TEST_F(PlotCurves, MoodyRoughnessCurvesFallWithReAndRiseWithRoughness) {
  SolveDarcy();
  const MoodyDiagram m = BuildMoodyDiagram(*form, 10);
  ASSERT_TRUE(m.ok);
  ASSERT_EQ(m.roughnessCurves.size(), MoodyRoughnesses.size());
  const size_t n = m.roughnessCurves.front().second.size();
  EXPECT_GE(n, 47u);  // 4.7 decades, 10 points a decade
  for (size_t k = 0; k < m.roughnessCurves.size(); ++k) {
    const auto& [roughness, curve] = m.roughnessCurves[k];
    SCOPED_TRACE("e/D " + FieldText(roughness));
    EXPECT_EQ(roughness, MoodyRoughnesses[k]);
    ASSERT_EQ(curve.size(), n);
    EXPECT_GT(curve.front().x, darcy::LaminarLimit);
    EXPECT_EQ(curve.back().x, MoodyReynoldsTo);
    for (size_t i = 1; i < n; ++i) {
      EXPECT_GT(curve[i].x, curve[i - 1].x);
      EXPECT_LE(curve[i].y, curve[i - 1].y) << "at Re " << curve[i].x;
    }
    EXPECT_LT(curve.back().y, curve.front().y);
    if (k == 0) continue;
    const auto& smoother = m.roughnessCurves[k - 1].second;
    for (size_t i = 0; i < n; ++i) {
      EXPECT_EQ(curve[i].x, smoother[i].x);
      EXPECT_GT(curve[i].y, smoother[i].y) << "at Re " << curve[i].x;
    }
  }
  // Colebrook's smooth-pipe value at Re 1e5 is about 0.018, the fully rough 0.05 curve 0.072.
  EXPECT_NEAR(darcy::FrictionFactor(1e5, 0.0, std::pow(0.02, -0.5)), 0.0180, 0.0005);
  EXPECT_NEAR(m.roughnessCurves.back().second.back().y, 0.0716, 0.0005);
  // The pipe's curve lies between the family's curves around its relative roughness.
  const auto above = std::find_if(m.roughnessCurves.begin(), m.roughnessCurves.end(),
                                  [&](const auto& c) { return c.first > m.pipeRelativeRoughness; });
  ASSERT_NE(above, m.roughnessCurves.begin());
  ASSERT_NE(above, m.roughnessCurves.end());
  const auto& below = std::prev(above)->second;
  for (size_t i = 0; i < n; ++i) {
    const auto p =
        std::find_if(m.pipe.begin(), m.pipe.end(), [&](const CurvePoint& c) { return c.x == below[i].x; });
    ASSERT_NE(p, m.pipe.end());
    EXPECT_GE(p->y, below[i].y);
    EXPECT_LE(p->y, above->second[i].y);
  }
}

TEST_F(PlotCurves, MoodyLaminarOperatingPointLiesOnTheLaminarLine) {
  SolveDarcy();
  Enter(Flow, "2");
  Solve();
  const double re = P(ReyNo).ParamValue;
  ASSERT_LE(re, darcy::LaminarLimit);
  const MoodyDiagram m = BuildMoodyDiagram(*form);
  ASSERT_TRUE(m.ok);
  EXPECT_EQ(m.operating.x, re);
  EXPECT_EQ(m.operating.y, P(FricFact).ParamValue);
  EXPECT_EQ(m.operating.y, 64.0 / re);
  const auto at = std::find_if(m.laminar.begin(), m.laminar.end(), [&](const CurvePoint& p) { return p.x == re; });
  ASSERT_NE(at, m.laminar.end());
  EXPECT_EQ(at->y, m.operating.y);
  EXPECT_TRUE(std::none_of(m.pipe.begin(), m.pipe.end(), [&](const CurvePoint& p) { return p.x == re; }));
}

// --- nothing to plot

TEST_F(PlotCurves, UnsolvedStateGivesNothing) {
  PickEquation(DarcyWeisbach);
  PickProblem(0);
  ASSERT_FALSE(form->Solved);
  const SystemCurve curve = BuildSystemCurve(*form);
  EXPECT_FALSE(curve.ok);
  EXPECT_TRUE(curve.points.empty());
  const MoodyDiagram m = BuildMoodyDiagram(*form);
  EXPECT_FALSE(m.ok);
  EXPECT_TRUE(m.pipe.empty());
  EXPECT_TRUE(m.laminar.empty());
  EXPECT_TRUE(m.roughnessCurves.empty());

  // Solved, then a value is typed: no longer solved.
  SolveDarcy();
  ASSERT_TRUE(BuildSystemCurve(*form).ok);
  ASSERT_TRUE(BuildMoodyDiagram(*form).ok);
  Enter(Flow, "150");
  ASSERT_FALSE(form->Solved);
  EXPECT_FALSE(BuildSystemCurve(*form).ok);
  EXPECT_FALSE(BuildMoodyDiagram(*form).ok);
}

TEST_F(PlotCurves, VelocityProblemsAndOtherEquationsGiveNoMoodyDiagram) {
  SolveHazenWilliams();
  EXPECT_TRUE(BuildSystemCurve(*form).ok);
  EXPECT_FALSE(BuildMoodyDiagram(*form).ok);  // a Moody diagram is Darcy-Weisbach's
  SolveManning();
  EXPECT_TRUE(BuildSystemCurve(*form).ok);
  EXPECT_FALSE(BuildMoodyDiagram(*form).ok);

  // Vel given D,Q: no head loss was solved.
  PickProblem(3);
  Solve();
  EXPECT_FALSE(BuildSystemCurve(*form).ok);
  EXPECT_FALSE(BuildMoodyDiagram(*form).ok);
}

// --- Tools, "Plot...": the handler hands the plot data to the plot window (recorded here)

void ExpectSamePoints(const std::vector<CurvePoint>& a, const std::vector<CurvePoint>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].x, b[i].x) << i;
    EXPECT_EQ(a[i].y, b[i].y) << i;
  }
}

TEST_F(PlotCurves, PlotMenuItemSaysSolveFirstWhenNothingIsSolved) {
  EXPECT_EQ(form->Plot1.Caption(), "&Plot...");
  ASSERT_FALSE(form->Solved);
  form->Plot1.OnClick();
  ASSERT_EQ(ui.plots.shown.size(), 1u);
  EXPECT_TRUE(ui.plots.open);
  const PlotData& shown = ui.plots.shown.back();
  EXPECT_FALSE(shown.ok);
  EXPECT_EQ(shown.notice, "Solve first");
  EXPECT_FALSE(shown.system.ok);
  EXPECT_TRUE(shown.system.points.empty());
  EXPECT_FALSE(shown.moody.ok);
  EXPECT_TRUE(ui.boxes.shown.empty());
}

TEST_F(PlotCurves, PlotShowsTheCurvesOfTheSolvedState) {
  SolveHazenWilliams();
  form->Plot1.OnClick();
  ASSERT_EQ(ui.plots.shown.size(), 1u);
  const PlotData& hw = ui.plots.shown.back();
  ASSERT_TRUE(hw.ok) << hw.notice;
  EXPECT_EQ(hw.notice, "");
  EXPECT_EQ(hw.equation, HazenWilliams);
  EXPECT_EQ(hw.problem, "HL given D,L,C,Q");
  EXPECT_EQ(hw.pipeText, "D " + form->Edits[IDia]->Text() + " in, L " + form->Edits[Len]->Text() + " ft, C " +
                             form->Edits[Fric]->Text());
  EXPECT_EQ(hw.systemOperatingText,
            "Q " + form->Edits[Flow]->Text() + " gpm, HL " + form->Edits[HL]->Text() + " ftliq");
  const SystemCurve curve = BuildSystemCurve(*form);
  ASSERT_TRUE(hw.system.ok);
  ExpectSamePoints(hw.system.points, curve.points);
  EXPECT_EQ(hw.system.operating.x, 100.0);
  EXPECT_EQ(hw.system.operating.y, curve.operating.y);
  EXPECT_EQ(hw.system.xUnit, "gpm");
  EXPECT_EQ(hw.system.yUnit, "ftliq");
  // Hazen-Williams has no Moody diagram; the window says why.
  EXPECT_FALSE(hw.moody.ok);
  EXPECT_EQ(hw.moodyNotice, MoodyDarcyOnly);

  SolveDarcy();
  form->Plot1.OnClick();
  const PlotData& dw = ui.plots.shown.back();
  ASSERT_TRUE(dw.ok) << dw.notice;
  const MoodyDiagram moody = BuildMoodyDiagram(*form);
  ASSERT_TRUE(dw.moody.ok);
  EXPECT_EQ(dw.moodyNotice, "");
  EXPECT_EQ(dw.moody.operating.x, P(ReyNo).ParamValue);
  EXPECT_EQ(dw.moody.operating.y, P(FricFact).ParamValue);
  EXPECT_EQ(dw.moody.pipeRelativeRoughness, moody.pipeRelativeRoughness);
  ExpectSamePoints(dw.moody.pipe, moody.pipe);
  ExpectSamePoints(dw.moody.laminar, moody.laminar);
  ASSERT_EQ(dw.moody.roughnessCurves.size(), MoodyRoughnesses.size());
  EXPECT_EQ(dw.moodyOperatingText, "Re " + form->Edits[ReyNo]->Text() + ", f " + form->Edits[FricFact]->Text());
  EXPECT_NE(dw.pipeText.find(", E " + form->Edits[Fric]->Text() + " mm, Vis " + form->Edits[Vis]->Text() + " cSt"),
            std::string::npos)
      << dw.pipeText;
  EXPECT_EQ(ui.plots.raised, 2);
}

TEST_F(PlotCurves, OpenPlotWindowFollowsEverySolveAndUndo) {
  SolveHazenWilliams();
  form->Plot1.OnClick();
  ASSERT_EQ(ui.plots.shown.size(), 1u);

  // Solved again at another flow: the window is told, without being raised.
  Enter(Flow, "150");
  Solve();
  ASSERT_EQ(ui.plots.shown.size(), 2u);
  EXPECT_EQ(ui.plots.raised, 1);
  EXPECT_EQ(ui.plots.shown.back().system.operating.x, 150.0);
  EXPECT_EQ(ui.plots.shown.back().system.points.back().x, 300.0);
  ExpectSamePoints(ui.plots.shown.back().system.points, BuildSystemCurve(*form).points);

  // A solve that fails on its input ends the solution: the window says "Solve first".
  Enter(Flow, "0");
  form->Solve1.OnClick();
  ASSERT_EQ(ui.status.Text(), "Invalid Flow!");
  ASSERT_FALSE(form->Solved);
  ASSERT_EQ(ui.plots.shown.size(), 3u);
  EXPECT_FALSE(ui.plots.shown.back().ok);
  EXPECT_EQ(ui.plots.shown.back().notice, "Solve first");

  // Undo back to a solved state: the window shows its curves again.
  while (form->UndoAvailable && !form->Solved) form->Undo1.OnClick();
  ASSERT_TRUE(form->Solved);
  ASSERT_GE(ui.plots.shown.size(), 4u);
  EXPECT_TRUE(ui.plots.shown.back().ok);
  ExpectSamePoints(ui.plots.shown.back().system.points, BuildSystemCurve(*form).points);

  // A solved velocity problem has nothing to plot either.
  PickProblem(3);
  Solve();
  EXPECT_FALSE(ui.plots.shown.back().ok);
  EXPECT_EQ(ui.plots.shown.back().notice, PlotNeedsHeadLossProblem);

  // Once the user closed the window, solves leave it alone.
  const size_t before = ui.plots.shown.size();
  ui.plots.UserClose();
  SolveHazenWilliams();
  EXPECT_EQ(ui.plots.shown.size(), before);
  EXPECT_TRUE(ui.boxes.shown.empty());
}

TEST_F(PlotCurves, PlotWindowClosesWithTheProgram) {
  SolveHazenWilliams();
  form->Plot1.OnClick();
  ASSERT_TRUE(ui.plots.open);
  form->FormClose();
  EXPECT_FALSE(ui.plots.open);
}

// With a static head, fittings and pumps, the system curve is static + friction + minor losses,
// in the units on screen, long enough for the pumps' curves, and each pump meets it where the
// operating point lies.
TEST_F(PlotCurves, PumpsOnTheSystemCurve) {
  SolveManning();
  SetUnit(HL, "mtrliq");
  form->Pumps.staticHeadFt = 20.0;
  form->Pumps.sumK = 5.0;
  form->Pumps.pumps = {{{0, 150}, {1000, 120}, {2000, 30}}, {{0, 10}, {100, 5}}, {{0, 5}, {100, 10}}};
  form->Plot1.OnClick();
  ASSERT_FALSE(ui.plots.shown.empty());
  const PlotData& data = ui.plots.shown.back();
  ASSERT_TRUE(data.ok);
  const double m = 0.3048;  // mtrliq per ftliq
  const pumps::System system{FromForm(*form), 20.0, 5.0};
  EXPECT_NEAR(data.system.points.front().y, 20.0 * m, 1e-12);
  EXPECT_EQ(data.system.points.back().x, 2000.0);  // the first pump's last flow, beyond 2 Q
  for (const auto& point : data.system.points)
    EXPECT_TRUE(Near(point.y, pumps::SystemHeadAt(system, point.x).Total() * m, 1e-12)) << point.x;
  EXPECT_EQ(data.systemText, "static 6.096 mtrliq, sum of K 5");
  EXPECT_NE(data.systemOperatingText.find(" mtrliq, H "), std::string::npos) << data.systemOperatingText;
  ASSERT_EQ(data.pumps.size(), 3u);
  const PumpPlot& meets = data.pumps[0];
  ASSERT_TRUE(meets.meets) << meets.text;
  EXPECT_EQ(meets.points.size(), 3u);
  EXPECT_EQ(meets.curve.front().x, 0.0);
  EXPECT_EQ(meets.curve.back().x, 2000.0);
  EXPECT_TRUE(Near(meets.operating.y, pumps::SystemHeadAt(system, meets.operating.x).Total() * m, 1e-9));
  EXPECT_EQ(meets.text.rfind("Q ", 0), 0u) << meets.text;
  EXPECT_NE(meets.text.find(" mtrliq"), std::string::npos) << meets.text;
  EXPECT_EQ(meets.shares.rfind("static ", 0), 0u) << meets.shares;
  EXPECT_FALSE(data.pumps[1].meets);
  EXPECT_EQ(data.pumps[1].text, pumps::CannotReachStaticHead);
  EXPECT_TRUE(data.pumps[2].curve.empty());  // its points make no pump curve
  EXPECT_EQ(data.pumps[2].text, "The pump curve rises with flow; its head must fall as the flow grows");

  form->Pumps = {};
  form->Plot1.OnClick();
  EXPECT_TRUE(ui.plots.shown.back().pumps.empty());
  EXPECT_EQ(ui.plots.shown.back().system.points.front().y, 0.0);
}

// The plot window's panel: edits in the units on screen are taken into the pumps (in base
// units) and the plots shown again; an edit that makes no sense is refused with its message
// and changes nothing; the panel shows the values back in the units on screen.
TEST_F(PlotCurves, PumpPanelEditsComeBackAsPumps) {
  SolveManning();
  SetUnit(Flow, "L/s");
  Solve();
  form->Plot1.OnClick();
  ASSERT_TRUE(ui.plots.OnPumpsChanged);
  EXPECT_FALSE(ui.plots.shown.back().fittings.empty());  // the Fittings dialog's list
  struct Case {
    platform::PumpInput input;
    const char* refusal;  // "" when taken
  };
  const Case cases[] = {
      {{"12.5", "2", "parallel", {"0:60,30:50,60:20", ""}}, ""},
      {{"abc", "2", "single", {}}, "The static head must be a number"},
      {{"0", "-1", "single", {}}, "The sum of K must be a number, 0 or more"},
      {{"0", "1", "triple", {}}, "The arrangement is single, parallel or series"},
      {{"0", "1", "single", {"0:10,5"}}, "Pump 1: each point is a flow and a head, both numbers"},
      {{"0", "1", "single", {"", "0:10,5:20"}},
       "Pump 2: The pump curve rises with flow; its head must fall as the flow grows"},
  };
  for (const Case& c : cases) {
    ui.plots.OnPumpsChanged(c.input);
    const PlotData& shown = ui.plots.shown.back();
    EXPECT_EQ(shown.pumpRefusal, c.refusal);
  }
  // The refused edits left the first one in place, in base units: 12.5 ftliq, 30 L/s.
  EXPECT_EQ(form->Pumps.staticHeadFt, 12.5);
  EXPECT_EQ(form->Pumps.sumK, 2.0);
  EXPECT_EQ(form->Pumps.arrangement, pumps::Arrangement::Parallel);
  ASSERT_EQ(form->Pumps.pumps.size(), 1u);
  EXPECT_TRUE(Near(form->Pumps.pumps[0][1].flow, 30.0 / 0.0630901964, 1e-6));
  const PlotData& shown = ui.plots.shown.back();
  EXPECT_EQ(shown.pumpInput.staticHead, "12.5");
  EXPECT_EQ(shown.pumpInput.arrangement, "parallel");
  ASSERT_EQ(shown.pumpInput.pumps.size(), 1u);
  EXPECT_EQ(shown.pumpInput.pumps[0].substr(0, 5), "0:60,");
  ASSERT_EQ(shown.pumps.size(), 1u);
  EXPECT_TRUE(shown.pumps[0].meets) << shown.pumps[0].text;
}
}  // namespace
}  // namespace zynta::shell
