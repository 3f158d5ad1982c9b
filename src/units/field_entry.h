#pragma once
// Typing into the parameter fields, committing their text when they are left, the field menu
// with its clipboard commands and decimal places, and Clear Fields.

#include <string>

#include "calc/form_model.h"

namespace zynta::units {

// The parameter whose field is this control, or -1.
int ParamOfControl(const calc::FormModel& f, const platform::Control& control);

bool IsValidNumber(const std::string& text);

// A character typed into a parameter field or a chooser.
void NKeyPress(calc::FormModel& f, const platform::Control& control, char& key);
// The Reynolds number field only shows computed values.
void EditReynoKeyPress(char& key);
// A click in a field or chooser: a field the user changed is no longer a solution.
void ClearStatusBar(calc::FormModel& f, const platform::Control& control);

// The focus leaves a field: its text becomes the parameter's value ("Bad value!" otherwise).
void EditExit(calc::FormModel& f, platform::Control& control);
// Re-reads a field's text into its parameter's value.
void EditFieldChange(calc::FormModel& f, platform::TextField& field);

// The field menu.
void EditContextPopup(calc::FormModel& f, const platform::Control& control);
void DispDecimalsClick(calc::FormModel& f, const platform::MenuItem& chosen);
void Cut1Click(calc::FormModel& f);
void Copy1Click(calc::FormModel& f);
void Paste1Click(calc::FormModel& f);

// Tools, Clear Fields.
void ClearAllFields(calc::FormModel& f);

}  // namespace zynta::units
