#pragma once
// Conversion between a parameter's field text and its value in the base unit, and the one way
// every number is written into a parameter field.

#include <string>
#include <string_view>

#include "calc/form_model.h"

namespace zynta::units {

// Whether a unit of the parameter named paramName converts through the liquid's specific
// gravity: every head-loss unit but the liquid columns "ftliq" and "mtrliq" (they are
// pressures), and the dynamic viscosity "cpoises". Names compare exactly, letter case included.
bool NeedsSpecificGravity(std::string_view paramName, std::string_view unitName);
inline bool NeedsSpecificGravity(const calc::TParamType& p, const std::string& unitName) {
  return NeedsSpecificGravity(p.Name, unitName);
}

// 1.0, or the specific gravity read from its field for the units above.
double SGFactor(calc::FormModel& f, int index, const std::string& unitName);

// The name of unit u of a parameter, or "" for a parameter without a catalog.
std::string UnitName(const calc::TParamType& p, int unitIndex);

// Reads the field text, which is in unit u, into ParamValue.
void ToBaseUnits(calc::FormModel& f, int index, int unitIndex);

// Writes ParamValue into the field in the selected unit by the display rule. The nominal
// diameter's field is left alone unless RenderNominalDiameter is on.
void FromBaseUnits(calc::FormModel& f, int index);

// A value the calculator writes in a newly chosen unit, or takes from a pick list or the
// equation switch, keeps at least this many significant digits: 100 gpm is 0.0063 m3/s, which
// two decimals would show, and the next solve read, as 0.01.
constexpr int KeptSignificant = 3;

// FromBaseUnits whose decimals first rise, when they must, so that the field shows
// KeptSignificant digits of a value that is not zero, or the value exactly. A value the
// display rule already shows in scientific form with enough digits keeps its decimals.
void FromBaseUnitsKeepingDigits(calc::FormModel& f, int index);

// The field text read as a number, or the general error "'x' is not a valid floating point value".
double FieldNumber(const std::string& text);

}  // namespace zynta::units
