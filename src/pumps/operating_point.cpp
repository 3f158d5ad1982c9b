#include "pumps/operating_point.h"

#include <cmath>

namespace zynta::pumps {

namespace {

constexpr double FlowTolerance = 1e-12;  // relative: well inside the 1e-10 a duty point needs
constexpr int MaxHalvings = 200;

}  // namespace

std::variant<OperatingPoint, std::string> FindOperatingPoint(const System& system, const PumpCurve& pump,
                                                             Arrangement arrangement) {
  auto excess = [&](double q) { return ArrangedHead(pump, arrangement, q) - SystemHeadAt(system, q).Total(); };
  double lo = ArrangedFirstFlow(pump, arrangement);
  double hi = ArrangedLastFlow(pump, arrangement);
  // The pump's head is highest at the first flow of its curve.
  if (!(ArrangedHead(pump, arrangement, lo) > system.staticHeadFt)) return std::string(CannotReachStaticHead);
  const double atLo = excess(lo);
  const double atHi = excess(hi);
  if (!std::isfinite(atLo) || !std::isfinite(atHi) || atLo < 0.0 || atHi > 0.0)
    return std::string(OutsideCurveRange);
  double q = atLo == 0.0 ? lo : hi;
  if (atLo != 0.0 && atHi != 0.0) {
    for (int i = 0; i < MaxHalvings && hi - lo > FlowTolerance * hi; ++i) {
      const double mid = 0.5 * (lo + hi);
      (excess(mid) > 0.0 ? lo : hi) = mid;
    }
    q = 0.5 * (lo + hi);
  }
  OperatingPoint point;
  point.flowGpm = q;
  point.parts = SystemHeadAt(system, q);
  point.headFt = point.parts.Total();
  point.velocityFps = VelocityAt(system.pipe, q);
  point.reynolds = calc::ReynoldsAt(system.pipe, q);
  return point;
}

}  // namespace zynta::pumps
