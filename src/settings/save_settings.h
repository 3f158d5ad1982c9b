#pragma once
// Writing the whole state back to the settings file at close, then releasing it.

#include "calc/form_model.h"
#include "settings/ini_file.h"

namespace zynta::settings {

// Every parameter's five keys, then [MainForm] in its order. A write the system refuses ends
// the save there with "Unable to write to <path>".
void WriteSettings(const calc::FormModel& f, IniFile& ini);

// The teardown after the save: the parameters and the undo history are released.
void ReleaseState(calc::FormModel& f);

}  // namespace zynta::settings
