#pragma once
// The one way a parameter field's text becomes its value in the base unit, and a value is
// written back into the field in the unit on screen.

#include <string>

#include "shell/form_model.h"

namespace zynta::shell {

// 1.0, or the specific gravity read from its field for the units that go through it.
double SGFactor(FormModel& f, int index, const std::string& unitName);

// Reads the field text, which is in unit u, into ParamValue.
void ToBaseUnits(FormModel& f, int index, int unitIndex);

// Writes ParamValue into the field in the selected unit by the display rule. The nominal
// diameter's field is left alone unless RenderNominalDiameter is on.
void FromBaseUnits(FormModel& f, int index);

// FromBaseUnits whose decimals first rise, when they must, so that the field shows
// units::KeptSignificant digits of a value that is not zero, or the value exactly. A value the
// display rule already shows in scientific form with enough digits keeps its decimals.
void FromBaseUnitsKeepingDigits(FormModel& f, int index);

}  // namespace zynta::shell
