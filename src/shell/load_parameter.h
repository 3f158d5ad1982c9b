#pragma once
// Creating a parameter record and loading it from the settings file: its unit catalog, unit,
// decimals, colour and value.

#include "settings/ini_file.h"
#include "shell/form_model.h"

namespace zynta::shell {

// Creates record i and fills it from its section and its unit catalog section. The field is
// shown through the display rule at once, except the viscosity's (see ShowLoadedValue).
void LoadParameter(shell::FormModel& f, const settings::IniFile& ini, int index);

// Shows a loaded value in its field. The viscosity waits until the specific gravity is loaded,
// because a viscosity in "cpoises" converts through it.
void ShowLoadedValue(shell::FormModel& f, const settings::IniFile& ini, int index);

}  // namespace zynta::shell
