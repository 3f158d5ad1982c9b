#include "units/errors.h"

#include <cfenv>
#include <cmath>

namespace zynta::units {

CalcError NotAFloat(const std::string& text) {
  return CalcError("'" + text + "' is not a valid floating point value");
}

void ClearFloatFaults() { std::feclearexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID); }

double CheckedFloat(double v) {
  const int raised = std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID);
  if (raised & FE_DIVBYZERO) throw CalcError("Floating point division by zero");
  if (raised & FE_INVALID) throw CalcError("Invalid floating point operation");
  if (raised & FE_OVERFLOW) throw CalcError("Floating point overflow");
  if (std::isnan(v)) throw CalcError("Invalid floating point operation");
  if (std::isinf(v)) throw CalcError("Floating point overflow");
  return v;
}

}  // namespace zynta::units
