#pragma once
// Creating a parameter record and loading it from the settings file: its unit catalog, unit,
// decimals, colour and value.

#include "calc/form_model.h"
#include "settings/ini_file.h"

namespace zynta::settings {

// Creates record i and fills it from its section and its unit catalog section. The field is
// shown through the display rule at once, except the viscosity's (see ShowLoadedValue).
void LoadParameter(calc::FormModel& f, const IniFile& ini, int index);

// Shows a loaded value in its field. The viscosity waits until the specific gravity is loaded,
// because a viscosity in "cpoises" converts through it.
void ShowLoadedValue(calc::FormModel& f, const IniFile& ini, int index);

}  // namespace zynta::settings
