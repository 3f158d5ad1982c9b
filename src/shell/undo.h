#pragma once
// The undo history: every handler that changes the state records a snapshot first.

#include "calc/form_model.h"

namespace zynta::shell {

// Records an undo point of the current state.
void PushSnapshot(calc::FormModel& f);

}  // namespace zynta::shell
