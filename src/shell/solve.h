#pragma once
// The Solve command: reading and checking the inputs, writing the results, reporting input
// errors and keeping the solved state.

#include <string>

#include "shell/form_model.h"

namespace zynta::shell {

// F2: refuses the units-only problem, commits the focused field, then runs the solver of the
// chosen equation and problem.
void Solve1Click(FormModel& f);

// The specific gravity from its field, refused with "Invalid Spec Grav!" (InputAbort).
double ReadSpecGrav(FormModel& f);

// Status text, error beep when sound is on, and the focus to the control when it can take it.
void ShowInputError(FormModel& f, const std::string& message, platform::Control& control);

void MarkSolved(FormModel& f, bool flag);

}  // namespace zynta::shell
