// The pump curve fit, the system head and the operating point, checked against values worked
// out here by hand or in closed form, and by substituting the duty point back.
#include <cmath>
#include <numbers>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "pumps/operating_point.h"
#include "pumps/pump_curve.h"
#include "pumps/system.h"

namespace zynta::pumps {
namespace {

bool Near(double got, double want, double relative) {
  return std::abs(got - want) <= relative * std::max(std::abs(want), 1e-300);
}

PumpCurve Fitted(const std::vector<PumpPoint>& points) {
  auto fit = FitPumpCurve(points);
  if (const auto* refused = std::get_if<std::string>(&fit)) ADD_FAILURE() << *refused;
  return std::get<PumpCurve>(fit);
}

struct ExactFit {
  const char* name;
  std::vector<PumpPoint> points;
  double a, b, c;
};

TEST(FitPumpCurve, GoesExactlyThroughTwoAndThreePoints) {
  const ExactFit cases[] = {
      {"line", {{0, 50}, {100, 30}}, 50, -0.2, 0},
      {"three from zero flow", {{0, 150}, {500, 135}, {1000, 90}}, 150, 0, -6e-5},
      {"three without zero flow", {{200, 116.8}, {400, 105.6}, {600, 86.4}}, 120, 0.004, -1e-4},
      // Five points of one quadratic: the least squares give it back.
      {"five on a quadratic", {{0, 120}, {250, 116.25}, {500, 110}, {750, 101.25}, {1000, 90}}, 120, -0.01, -2e-5},
  };
  for (const ExactFit& c : cases) {
    const PumpCurve curve = Fitted(c.points);
    EXPECT_NEAR(curve.a, c.a, 1e-9 * std::abs(c.a)) << c.name;
    EXPECT_NEAR(curve.b, c.b, 1e-12 + 1e-9 * std::abs(c.b)) << c.name;
    EXPECT_NEAR(curve.c, c.c, 1e-15 + 1e-9 * std::abs(c.c)) << c.name;
    for (const PumpPoint& p : c.points) EXPECT_TRUE(Near(curve.HeadAt(p.flow), p.head, 1e-12)) << c.name;
  }
}

// Through points off any quadratic, the residuals of a least-squares fit are orthogonal to
// 1, Q and Q^2 (the normal equations).
TEST(FitPumpCurve, LeastSquaresThroughFivePoints) {
  const std::vector<PumpPoint> points = {{0, 121}, {250, 115}, {500, 111}, {750, 100}, {1000, 90.5}};
  const PumpCurve curve = Fitted(points);
  double r0 = 0, r1 = 0, r2 = 0, scale = 0;
  for (const PumpPoint& p : points) {
    const double r = p.head - curve.HeadAt(p.flow);
    const double u = p.flow / 1000.0;
    r0 += r;
    r1 += r * u;
    r2 += r * u * u;
    scale += std::abs(p.head);
  }
  EXPECT_NEAR(r0, 0.0, 1e-12 * scale);
  EXPECT_NEAR(r1, 0.0, 1e-12 * scale);
  EXPECT_NEAR(r2, 0.0, 1e-12 * scale);
  EXPECT_GT(std::abs(points[3].head - curve.HeadAt(750)), 0.1);  // not an interpolation
}

TEST(FitPumpCurve, RefusesPointsThatMakeNoPumpCurve) {
  const double nan = std::nan("");
  struct Case {
    const char* name;
    std::vector<PumpPoint> points;
    const char* message;
  };
  const Case cases[] = {
      {"one point", {{0, 100}}, "A pump curve takes 2 to 8 points (flow, head)"},
      {"nine points", std::vector<PumpPoint>(9, {1, 1}), "A pump curve takes 2 to 8 points (flow, head)"},
      {"not ordered",
       {{0, 100}, {500, 80}, {300, 90}},
       "A pump curve's points must be in order of increasing flow"},
      {"a flow twice",
       {{0, 100}, {300, 90}, {300, 80}},
       "A pump curve's points must be in order of increasing flow"},
      {"no number", {{0, 100}, {300, nan}}, "A pump curve's flows and heads must be numbers"},
      {"negative flow", {{-10, 100}, {300, 90}}, "A pump curve's flows must not be negative"},
      {"no head at zero flow", {{0, 0}, {300, -10}}, "The pump curve's head at zero flow must be above zero"},
      {"rising", {{0, 10}, {100, 20}}, "The pump curve rises with flow; its head must fall as the flow grows"},
      // Falling at the end but rising over its first part.
      {"rising first",
       {{0, 100}, {500, 110}, {1000, 90}},
       "The pump curve rises with flow; its head must fall as the flow grows"},
  };
  for (const Case& c : cases) {
    const auto fit = FitPumpCurve(c.points);
    ASSERT_TRUE(std::holds_alternative<std::string>(fit)) << c.name;
    EXPECT_EQ(std::get<std::string>(fit), c.message) << c.name;
  }
}

// An 8 in pipe, 2000 ft long, by Manning's equation with n = 0.013: its head loss, like the
// minor losses, grows as Q^2, so with a pump curve H = a + c Q^2 the duty point has a closed form.
System ManningSystem(double staticFt, double sumK) {
  System s;
  s.pipe.equation = calc::Equation::Mannings;
  s.pipe.insideDiameterIn = 8.0;
  s.pipe.lengthIn = 2000.0 * 12.0;
  s.pipe.friction = 0.013;
  s.pipe.viscosityCSt = 1.13;
  s.staticHeadFt = staticFt;
  s.sumK = sumK;
  return s;
}

// Head per gpm^2, worked out here: V = Q / A; Manning for a full pipe, V = (1.49 / n) R^(2/3)
// S^(1/2) with R = D / 4, so h_f = L (n V / 1.49)^2 / R^(4/3); minor h_m = K V^2 / (2 g).
double HeadPerGpmSquared(const System& s) {
  const double d = s.pipe.insideDiameterIn / 12.0;
  const double area = std::numbers::pi * d * d / 4.0;
  const double vPerGpm = 1.0 / 448.831 / area;
  const double friction =
      (s.pipe.lengthIn / 12.0) * std::pow(s.pipe.friction * vPerGpm / 1.49, 2.0) / std::pow(d / 4.0, 4.0 / 3.0);
  const double minor = s.sumK * vPerGpm * vPerGpm / (2.0 * 32.174);
  return friction + minor;
}

TEST(SystemHead, IsStaticPlusFrictionPlusMinorLosses) {
  const System s = ManningSystem(40.0, 5.0);
  // 500 gpm in the 8 in pipe: q = 1.11400 ft3/s, A = 0.349066 ft2, V = 3.19139 ft/s,
  // V^2 / 2g = 0.158279 ft, times K = 5: 0.791397 ft.
  const SystemHead h = SystemHeadAt(s, 500.0);
  EXPECT_TRUE(Near(VelocityAt(s.pipe, 500.0), 3.19139, 1e-6));
  EXPECT_TRUE(Near(h.minorFt, 0.791397, 1e-6));
  EXPECT_EQ(h.staticFt, 40.0);
  EXPECT_TRUE(Near(h.frictionFt + h.minorFt, HeadPerGpmSquared(s) * 500.0 * 500.0, 1e-12));
  EXPECT_TRUE(Near(h.Total(), 40.0 + h.frictionFt + h.minorFt, 1e-15));
  EXPECT_EQ(SystemHeadAt(s, 0.0).Total(), 40.0);
}

struct DutyCase {
  const char* name;
  Arrangement arrangement;
  double staticFt;
};

void PrintTo(const DutyCase& c, std::ostream* os) { *os << c.name; }

class OperatingPoints : public testing::TestWithParam<DutyCase> {};

// The pump H = 150 - 6e-5 Q^2 (ft, gpm). Single: s + kQ^2 = a + cQ^2; two in parallel:
// a + c (Q/2)^2; two in series: 2a + 2cQ^2.
TEST_P(OperatingPoints, MatchTheClosedFormAndSubstituteBack) {
  const DutyCase& c = GetParam();
  const System s = ManningSystem(c.staticFt, 5.0);
  const PumpCurve pump = Fitted({{0, 150}, {500, 135}, {1000, 90}, {1500, 15}});
  const double k = HeadPerGpmSquared(s);
  double want = 0.0;
  switch (c.arrangement) {
    case Arrangement::Single: want = std::sqrt((150.0 - c.staticFt) / (k + 6e-5)); break;
    case Arrangement::Parallel: want = std::sqrt((150.0 - c.staticFt) / (k + 6e-5 / 4.0)); break;
    case Arrangement::Series: want = std::sqrt((300.0 - c.staticFt) / (k + 2.0 * 6e-5)); break;
  }
  const auto found = FindOperatingPoint(s, pump, c.arrangement);
  ASSERT_TRUE(std::holds_alternative<OperatingPoint>(found)) << std::get<std::string>(found);
  const OperatingPoint& p = std::get<OperatingPoint>(found);
  EXPECT_TRUE(Near(p.flowGpm, want, 1e-9)) << p.flowGpm << " vs " << want;
  EXPECT_TRUE(Near(ArrangedHead(pump, c.arrangement, p.flowGpm), SystemHeadAt(s, p.flowGpm).Total(), 1e-9));
  EXPECT_TRUE(Near(p.headFt, p.parts.staticFt + p.parts.frictionFt + p.parts.minorFt, 1e-15));
  EXPECT_EQ(p.parts.staticFt, c.staticFt);
  EXPECT_TRUE(Near(p.velocityFps, VelocityAt(s.pipe, p.flowGpm), 1e-15));
  EXPECT_TRUE(Near(p.reynolds, calc::ReynoldsAt(s.pipe, p.flowGpm), 1e-15));
}

INSTANTIATE_TEST_SUITE_P(Arrangements, OperatingPoints,
                         testing::Values(DutyCase{"single", Arrangement::Single, 40.0},
                                         DutyCase{"parallel", Arrangement::Parallel, 40.0},
                                         DutyCase{"series", Arrangement::Series, 40.0},
                                         DutyCase{"downhill", Arrangement::Single, -20.0},
                                         DutyCase{"level", Arrangement::Single, 0.0}),
                         [](const testing::TestParamInfo<DutyCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(OperatingPoint, DarcyWeisbachSubstitutesBack) {
  System s;
  s.pipe = {calc::Equation::DarcyWeisbach, 6.065, 500.0 * 12.0, 0.00015, 1.13};
  s.staticHeadFt = 30.0;
  s.sumK = 8.0;
  const PumpCurve pump = Fitted({{0, 120}, {300, 112}, {600, 96}, {900, 70}, {1200, 35}});
  const auto found = FindOperatingPoint(s, pump, Arrangement::Single);
  ASSERT_TRUE(std::holds_alternative<OperatingPoint>(found)) << std::get<std::string>(found);
  const OperatingPoint& p = std::get<OperatingPoint>(found);
  EXPECT_GT(p.flowGpm, 0.0);
  EXPECT_LT(p.flowGpm, 1200.0);
  EXPECT_TRUE(Near(pump.HeadAt(p.flowGpm), SystemHeadAt(s, p.flowGpm).Total(), 1e-9));
}

TEST(OperatingPoint, FailsWhereThePumpCannotServeTheSystem) {
  struct Case {
    const char* name;
    System system;
    std::vector<PumpPoint> points;
    Arrangement arrangement;
    const char* failure;
  };
  System shortPipe = ManningSystem(0.0, 0.0);
  shortPipe.pipe.lengthIn = 12.0;
  const std::vector<PumpPoint> pump = {{0, 150}, {500, 135}, {1000, 90}};
  const Case cases[] = {
      {"lift above shut-off", ManningSystem(160.0, 0.0), pump, Arrangement::Single, CannotReachStaticHead},
      {"lift equal to shut-off", ManningSystem(150.0, 0.0), pump, Arrangement::Single, CannotReachStaticHead},
      // Two in series reach twice the head.
      {"series reaches it", ManningSystem(160.0, 0.0), pump, Arrangement::Series, nullptr},
      {"crossing beyond the curve", shortPipe, pump, Arrangement::Single, OutsideCurveRange},
      {"crossing before the curve",
       ManningSystem(40.0, 5.0),
       {{2000, 100}, {2500, 80}},
       Arrangement::Single,
       OutsideCurveRange},
  };
  for (const Case& c : cases) {
    const auto found = FindOperatingPoint(c.system, Fitted(c.points), c.arrangement);
    if (!c.failure) {
      EXPECT_TRUE(std::holds_alternative<OperatingPoint>(found)) << c.name;
      continue;
    }
    ASSERT_TRUE(std::holds_alternative<std::string>(found)) << c.name;
    EXPECT_EQ(std::get<std::string>(found), c.failure) << c.name;
  }
}

}  // namespace
}  // namespace zynta::pumps
