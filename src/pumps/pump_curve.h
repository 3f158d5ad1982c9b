#pragma once
// A pump's catalogue curve: 2 to 8 points (flow, head) fitted by a quadratic
// H(Q) = a + b Q + c Q^2 (least squares; exact through 3 points, a straight line through 2), and
// the head of one pump or two identical ones in parallel or in series.

#include <string>
#include <variant>
#include <vector>

namespace zynta::pumps {

// A point of a catalogue curve, in the units on screen (any flow and head unit, as long as all
// points of a curve and the system share them).
struct PumpPoint {
  double flow = 0.0;
  double head = 0.0;
};

inline constexpr int MinPumpPoints = 2;
inline constexpr int MaxPumpPoints = 8;

struct PumpCurve {
  double a = 0.0, b = 0.0, c = 0.0;  // H(Q) = a + b Q + c Q^2
  std::vector<PumpPoint> points;     // as given, ordered by flow

  double HeadAt(double flow) const { return a + (b + c * flow) * flow; }
  double FirstFlow() const { return points.front().flow; }
  double LastFlow() const { return points.back().flow; }
};

// The fitted curve, or the message that refuses the points: fewer than 2 or more than 8, a
// value that is not a finite number, a negative flow, flows not strictly increasing, a head at
// zero flow that is not above zero, or a curve that rises with flow over the points' range.
std::variant<PumpCurve, std::string> FitPumpCurve(const std::vector<PumpPoint>& points);

// How the pumps of one curve are set up.
enum class Arrangement {
  Single,
  Parallel,  // two identical pumps side by side: twice the flow at each head
  Series,    // two identical pumps one after the other: twice the head at each flow
};

// "single", "parallel", "series"; false for any other text.
bool ParseArrangement(const std::string& text, Arrangement& arrangement);
const char* ArrangementName(Arrangement arrangement);

// The head of the arrangement at a flow, and the range of flows its curve covers (the points'
// range, doubled in flow for two pumps in parallel).
double ArrangedHead(const PumpCurve& pump, Arrangement arrangement, double flow);
double ArrangedFirstFlow(const PumpCurve& pump, Arrangement arrangement);
double ArrangedLastFlow(const PumpCurve& pump, Arrangement arrangement);

}  // namespace zynta::pumps
