#pragma once
// The unit menu of each unit label and the two unit-system presets.

#include "calc/form_model.h"

namespace zynta::units {

// A right click on a unit label: the shared menu lists the parameter's units.
void UnitsContextPopup(calc::FormModel& f, platform::Label& label, bool& handled);
// A unit chosen from the menu: the shown value is converted into it.
void UnitsClick(calc::FormModel& f, const std::string& caption);
void NDiaUnitsClick(calc::FormModel& f, const std::string& caption);

// Tools, Set English Units / Set SI Units.
void sbSetEnglishUnitsClick(calc::FormModel& f);
void sbSetSIUnitsClick(calc::FormModel& f);

}  // namespace zynta::units
