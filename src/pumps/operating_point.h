#pragma once
// The operating (duty) point of a pump arrangement on a system: the flow at which the pump's
// head equals the head the system needs, within the range the pump's curve covers.

#include <string>
#include <variant>

#include "pumps/pump_curve.h"
#include "pumps/system.h"

namespace zynta::pumps {

inline constexpr const char* CannotReachStaticHead = "No operating point: the pump cannot reach the static head";
inline constexpr const char* OutsideCurveRange = "No operating point within the pump curve's range";

struct OperatingPoint {
  double flowGpm = 0.0;
  double headFt = 0.0;
  double velocityFps = 0.0;
  double reynolds = 0.0;
  SystemHead parts;  // the head's static, friction and minor shares
};

// Flows and heads of the pump curve in US gpm and feet of liquid, as the system's. The flow is
// found by bisection on pump head minus system head to 1e-12 of the flow: that difference falls
// with flow (the pump's head falls, the system's rises), so one crossing at most.
std::variant<OperatingPoint, std::string> FindOperatingPoint(const System& system, const PumpCurve& pump,
                                                             Arrangement arrangement);

}  // namespace zynta::pumps
