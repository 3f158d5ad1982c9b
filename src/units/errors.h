#pragma once
// The two ways a user action ends early.
//
// InputAbort: a failed input read. Its message is already in the status bar; the action just
// stops, silently, at the event boundary. It is deliberately not a std::exception, so no
// general handler can mistake it for an error to report.
//
// CalcError: anything else that ends an action (a text that is not a number where a conversion
// expects one, a floating-point fault). The event boundary shows its text in a message box.

#include <stdexcept>
#include <string>

namespace zynta::units {

struct InputAbort {};

struct CalcError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// "'abc' is not a valid floating point value"
CalcError NotAFloat(const std::string& text);

// Floating-point faults are tracked through the IEEE flags of the C library: the event boundary
// clears them, and every value about to be stored or shown is checked, so a fault anywhere in
// the computation that led to it ends the action with the fault's own name.
void ClearFloatFaults();
// Returns v, or throws CalcError("Floating point division by zero" / "Floating point overflow"
// / "Invalid floating point operation") when a fault was raised or v is not finite.
double CheckedFloat(double v);

}  // namespace zynta::units
