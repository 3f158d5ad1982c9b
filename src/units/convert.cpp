#include "units/convert.h"

#include "calc/errors.h"
#include "calc/solve.h"
#include "units/number_text.h"

namespace zynta::units {

using namespace calc;

bool NeedsSpecificGravity(std::string_view paramName, std::string_view unitName) {
  if (paramName == "Head Loss") return unitName != "ftliq" && unitName != "mtrliq";
  if (paramName == "Viscosity") return unitName == "cpoises";
  return false;
}

double SGFactor(FormModel& f, int index, const std::string& unitName) {
  return NeedsSpecificGravity(f.P(index), unitName) ? ReadSpecGrav(f) : 1.0;
}

std::string UnitName(const TParamType& p, int unitIndex) {
  if (unitIndex < 0 || unitIndex >= static_cast<int>(p.Units.size())) return "";
  return p.Units[static_cast<size_t>(unitIndex)];
}

double FieldNumber(const std::string& text) {
  const auto number = ParseFieldNumber(text);
  if (!number) throw NotAFloat(text);
  return *number;
}

void ToBaseUnits(FormModel& f, int index, int unitIndex) {
  TParamType& p = f.P(index);
  const double s = SGFactor(f, index, UnitName(p, unitIndex));
  const double x = FieldNumber(p.Edit->Text());
  p.ParamValue = CheckedFloat(x / p.Factors[static_cast<size_t>(unitIndex)] / s);
}

namespace {

void Render(FormModel& f, int index, int keepSignificant) {
  if (index == NDia && !f.RenderNominalDiameter) return;
  TParamType& p = f.P(index);
  const double s = SGFactor(f, index, p.UnitLabel->Caption());
  const double v = CheckedFloat(p.ParamValue * p.Factors[static_cast<size_t>(p.UnitIndex)] * s);
  if (keepSignificant > 0)
    p.Decimals = DecimalsShowing(v, p.ParamValue, p.Decimals, keepSignificant, DecimalSeparator());
  p.Edit->SetText(DisplayText(v, p.ParamValue, p.Decimals, DecimalSeparator()));
}

}  // namespace

void FromBaseUnits(FormModel& f, int index) { Render(f, index, 0); }

void FromBaseUnitsKeepingDigits(FormModel& f, int index) { Render(f, index, KeptSignificant); }

}  // namespace zynta::units
