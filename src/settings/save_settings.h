#pragma once
// Writing the whole state back to the settings file at close, then releasing it.

#include "calc/form_model.h"
#include "settings/ini_file.h"

namespace zynta::settings {

// Every parameter's five keys, then [MainForm] in its order, written as one new file. A write
// the system refuses throws "Unable to write to <path>" and leaves the file as it was.
void WriteSettings(const calc::FormModel& f, IniFile& ini);

// The teardown after the save: the parameters and the undo history are released.
void ReleaseState(calc::FormModel& f);

}  // namespace zynta::settings
