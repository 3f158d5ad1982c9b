#pragma once
// The Solve command: reading and checking the inputs, writing the results, reporting input
// errors and keeping the solved state.

#include <string>

#include "calc/form_model.h"

namespace zynta::calc {

// F2: refuses the units-only problem, commits the focused field, then runs the solver of the
// chosen equation and problem.
void Solve1Click(FormModel& f);

// The base-unit value of an input, re-read from its field every time (the field is rewritten
// in its display form first); a value that does not convert or is not greater than 0 reports
// the parameter's message and abandons the action (InputAbort).
double ReadInput(FormModel& f, int index);
double ReadSpecGrav(FormModel& f);
double ReadReynolds(FormModel& f);

// Stores a result given in base units and shows it in the field's unit, in the result colour.
void WriteResult(FormModel& f, int index, double value);

// Status text, error beep when sound is on, and the focus to the control when it can take it.
void ShowInputError(FormModel& f, const std::string& message, platform::Control& control);

void MarkSolved(FormModel& f, bool flag);

// The message for an invalid value of an input parameter, in the words of the equation.
std::string InvalidInputMessage(const FormModel& f, int index);

}  // namespace zynta::calc
