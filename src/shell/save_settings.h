#pragma once
// Writing the whole state back to the settings file at close, then releasing it.

#include "settings/ini_file.h"
#include "shell/form_model.h"

namespace zynta::shell {

// Every parameter's five keys, then [MainForm] in its order, written as one new file. A write
// the system refuses throws "Unable to write to <path>" and leaves the file as it was.
void WriteSettings(const shell::FormModel& f, settings::IniFile& ini);

// The teardown after the save: the parameters and the undo history are released.
void ReleaseState(shell::FormModel& f);

}  // namespace zynta::shell
