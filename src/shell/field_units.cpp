#include "shell/field_units.h"

#include "shell/solve.h"
#include "units/convert.h"
#include "units/errors.h"
#include "units/number_text.h"

namespace zynta::shell {

using namespace calc;
using namespace units;

double SGFactor(FormModel& f, int index, const std::string& unitName) {
  return NeedsSpecificGravity(f.P(index).Name, unitName) ? ReadSpecGrav(f) : 1.0;
}

void ToBaseUnits(FormModel& f, int index, int unitIndex) {
  TParamType& p = f.P(index);
  const double s = SGFactor(f, index, calc::UnitName(p, unitIndex));
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

}  // namespace zynta::shell
