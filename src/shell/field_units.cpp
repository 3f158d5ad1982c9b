#include "shell/field_units.h"

#include "calc/field_io.h"
#include "shell/solve.h"
#include "shell/window_fields.h"
#include "units/convert.h"
#include "units/errors.h"

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

// The solvers' own display of a value, on the window's parameter rows.
void Render(FormModel& f, int index, int keepSignificant) {
  if (index == NDia && !f.RenderNominalDiameter) return;
  WindowFields fields(f);
  calc::ShowValue(fields, index, keepSignificant);
}

}  // namespace

void FromBaseUnits(FormModel& f, int index) { Render(f, index, 0); }

void FromBaseUnitsKeepingDigits(FormModel& f, int index) { Render(f, index, KeptSignificant); }

}  // namespace zynta::shell
