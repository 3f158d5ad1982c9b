#include "units/convert.h"

#include "units/errors.h"
#include "units/number_text.h"

namespace zynta::units {

bool NeedsSpecificGravity(std::string_view paramName, std::string_view unitName) {
  if (paramName == "Head Loss") return unitName != "ftliq" && unitName != "mtrliq";
  if (paramName == "Viscosity") return unitName == "cpoises";
  return false;
}

double FieldNumber(const std::string& text) {
  const auto number = ParseFieldNumber(text);
  if (!number) throw NotAFloat(text);
  return *number;
}

}  // namespace zynta::units
