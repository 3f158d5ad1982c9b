#pragma once
// Typing into the parameter fields and committing their text when they are left.

#include <string>

#include "calc/form_model.h"

namespace zynta::units {

// The parameter whose field is this control, or -1.
int ParamOfControl(const calc::FormModel& f, const platform::Control& control);

bool IsValidNumber(const std::string& text);

// A character typed into a parameter field or a chooser.
void NKeyPress(calc::FormModel& f, platform::Control& control, char& key);
// The Reynolds number field only shows computed values.
void EditReynoKeyPress(char& key);

// The focus leaves a field: its text becomes the parameter's value ("Bad value!" otherwise).
void EditExit(calc::FormModel& f, platform::Control& control);

}  // namespace zynta::units
