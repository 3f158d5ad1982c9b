#include "pumps/pump_curve.h"

#include <array>
#include <cmath>

namespace zynta::pumps {

namespace {

using Row = std::array<double, 4>;  // an equation of the 3x3 system with its right-hand side

// Gaussian elimination with partial pivoting on a 3x3 system; false when it is singular.
bool SolveThree(std::array<Row, 3>& m, std::array<double, 3>& x) {
  for (int col = 0; col < 3; ++col) {
    int pivot = col;
    for (int r = col + 1; r < 3; ++r)
      if (std::abs(m[r][col]) > std::abs(m[pivot][col])) pivot = r;
    if (m[pivot][col] == 0.0) return false;
    std::swap(m[col], m[pivot]);
    for (int r = col + 1; r < 3; ++r) {
      const double k = m[r][col] / m[col][col];
      for (int c = col; c < 4; ++c) m[r][c] -= k * m[col][c];
    }
  }
  for (int r = 2; r >= 0; --r) {
    double s = m[r][3];
    for (int c = r + 1; c < 3; ++c) s -= m[r][c] * x[c];
    x[r] = s / m[r][r];
  }
  return true;
}

// The least-squares quadratic (a straight line for two points) in the scaled flow
// u = Q / scale, from the normal equations; scaling keeps sums of Q^4 well within range.
bool Fit(const std::vector<PumpPoint>& points, double scale, PumpCurve& curve) {
  if (points.size() == 2) {
    const PumpPoint& p = points[0];
    const PumpPoint& q = points[1];
    curve.c = 0.0;
    curve.b = (q.head - p.head) / (q.flow - p.flow);
    curve.a = p.head - curve.b * p.flow;
    return true;
  }
  std::array<double, 5> su{};  // sums of u^0 .. u^4
  std::array<double, 3> sh{};  // sums of h u^0 .. h u^2
  for (const PumpPoint& p : points) {
    const double u = p.flow / scale;
    double power = 1.0;
    for (int k = 0; k < 5; ++k) {
      su[k] += power;
      if (k < 3) sh[k] += p.head * power;
      power *= u;
    }
  }
  std::array<Row, 3> m = {Row{su[0], su[1], su[2], sh[0]}, Row{su[1], su[2], su[3], sh[1]},
                          Row{su[2], su[3], su[4], sh[2]}};
  std::array<double, 3> x{};
  if (!SolveThree(m, x)) return false;
  curve.a = x[0];
  curve.b = x[1] / scale;
  curve.c = x[2] / (scale * scale);
  return true;
}

}  // namespace

std::variant<PumpCurve, std::string> FitPumpCurve(const std::vector<PumpPoint>& points) {
  const auto n = static_cast<int>(points.size());
  if (n < MinPumpPoints || n > MaxPumpPoints) return std::string("A pump curve takes 2 to 8 points (flow, head)");
  for (size_t i = 0; i < points.size(); ++i) {
    if (!std::isfinite(points[i].flow) || !std::isfinite(points[i].head))
      return std::string("A pump curve's flows and heads must be numbers");
    if (points[i].flow < 0.0) return std::string("A pump curve's flows must not be negative");
    if (i > 0 && !(points[i].flow > points[i - 1].flow))
      return std::string("A pump curve's points must be in order of increasing flow");
  }
  PumpCurve curve;
  curve.points = points;
  if (!Fit(points, points.back().flow, curve) || !std::isfinite(curve.a) || !std::isfinite(curve.b) ||
      !std::isfinite(curve.c))
    return std::string("The pump curve's points give no curve");
  if (!(curve.a > 0.0)) return std::string("The pump curve's head at zero flow must be above zero");
  // The slope b + 2cQ is linear in Q: not rising at either end of the range, it rises nowhere
  // in it. A rise too small to change the head by a billionth over the range is rounding.
  for (double q : {curve.FirstFlow(), curve.LastFlow()}) {
    if ((curve.b + 2.0 * curve.c * q) * curve.LastFlow() > 1e-9 * curve.a)
      return std::string("The pump curve rises with flow; its head must fall as the flow grows");
  }
  return curve;
}

bool ParseArrangement(const std::string& text, Arrangement& arrangement) {
  if (text == "single") {
    arrangement = Arrangement::Single;
  } else if (text == "parallel") {
    arrangement = Arrangement::Parallel;
  } else if (text == "series") {
    arrangement = Arrangement::Series;
  } else {
    return false;
  }
  return true;
}

const char* ArrangementName(Arrangement arrangement) {
  switch (arrangement) {
    case Arrangement::Single: return "single";
    case Arrangement::Parallel: return "parallel";
    case Arrangement::Series: return "series";
  }
  return "single";
}

double ArrangedHead(const PumpCurve& pump, Arrangement arrangement, double flow) {
  switch (arrangement) {
    case Arrangement::Single: break;
    case Arrangement::Parallel: return pump.HeadAt(flow / 2.0);
    case Arrangement::Series: return 2.0 * pump.HeadAt(flow);
  }
  return pump.HeadAt(flow);
}

double ArrangedFirstFlow(const PumpCurve& pump, Arrangement arrangement) {
  return arrangement == Arrangement::Parallel ? 2.0 * pump.FirstFlow() : pump.FirstFlow();
}

double ArrangedLastFlow(const PumpCurve& pump, Arrangement arrangement) {
  return arrangement == Arrangement::Parallel ? 2.0 * pump.LastFlow() : pump.LastFlow();
}

}  // namespace zynta::pumps
