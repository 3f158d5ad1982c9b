#pragma once
// The unit menu of each unit label and the two unit-system presets.

#include "shell/form_model.h"

namespace zynta::shell {

// A right click on a unit label: the shared menu lists the parameter's units.
void UnitsContextPopup(shell::FormModel& f, platform::Label& label, bool& handled);
// A unit chosen from the menu: the shown value is converted into it.
void UnitsClick(shell::FormModel& f, const std::string& caption);
void NDiaUnitsClick(shell::FormModel& f, const std::string& caption);

// Tools, Set English Units / Set SI Units.
void sbSetEnglishUnitsClick(shell::FormModel& f);
void sbSetSIUnitsClick(shell::FormModel& f);

}  // namespace zynta::shell
