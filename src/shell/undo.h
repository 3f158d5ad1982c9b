#pragma once
// The undo history: every handler that changes the state records a snapshot first, and Undo
// puts the newest one back.

#include "shell/form_model.h"

namespace zynta::shell {

// Records an undo point of the current state (nothing while the window is not on screen or
// before the parameters exist), and keeps CurrentSelection up to date.
void PushSnapshot(shell::FormModel& f);

void SetUndoAvailable(shell::FormModel& f, bool flag);

// Tools, Undo (Ctrl+Z).
void sbBackClick(shell::FormModel& f);

}  // namespace zynta::shell
