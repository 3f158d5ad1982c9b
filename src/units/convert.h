#pragma once
// What a parameter field's number means in its unit: which units go through the liquid's
// specific gravity, the field text read as a number, and the digits a converted value keeps.

#include <string>
#include <string_view>

namespace zynta::units {

// Whether a unit of the parameter named paramName converts through the liquid's specific
// gravity: every head-loss unit but the liquid columns "ftliq" and "mtrliq" (they are
// pressures), and the dynamic viscosity "cpoises". Names compare exactly, letter case included.
bool NeedsSpecificGravity(std::string_view paramName, std::string_view unitName);

// A value the calculator writes in a newly chosen unit, or takes from a pick list or the
// equation switch, keeps at least this many significant digits: 100 gpm is 0.0063 m3/s, which
// two decimals would show, and the next solve read, as 0.01.
constexpr int KeptSignificant = 3;

// The field text read as a number, or the general error "'x' is not a valid floating point value".
double FieldNumber(const std::string& text);

}  // namespace zynta::units
