#pragma once
// Typing into the parameter fields, committing their text when they are left, the field menu
// with its clipboard commands and decimal places, and Clear Fields.

#include <string>

#include "shell/form_model.h"

namespace zynta::shell {

// The parameter whose field is this control, or -1.
int ParamOfControl(const shell::FormModel& f, const platform::Control& control);

bool IsValidNumber(const std::string& text);

// A character typed into a parameter field or a chooser.
void NKeyPress(shell::FormModel& f, const platform::Control& control, char& key);
// The Reynolds number field only shows computed values.
void EditReynoKeyPress(char& key);
// A click in a field or chooser: a field the user changed is no longer a solution.
void ClearStatusBar(shell::FormModel& f, const platform::Control& control);

// The focus leaves a field: its text becomes the parameter's value ("Bad value!" otherwise).
void EditExit(shell::FormModel& f, platform::Control& control);
// Re-reads a field's text into its parameter's value.
void EditFieldChange(shell::FormModel& f, platform::TextField& field);

// The field menu.
void EditContextPopup(shell::FormModel& f, const platform::Control& control);
void DispDecimalsClick(shell::FormModel& f, const platform::MenuItem& chosen);
void Cut1Click(shell::FormModel& f);
void Copy1Click(shell::FormModel& f);
void Paste1Click(shell::FormModel& f);

// Tools, Clear Fields.
void ClearAllFields(shell::FormModel& f);

}  // namespace zynta::shell
