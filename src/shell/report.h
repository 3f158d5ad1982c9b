#pragma once
// Tools, Copy to Clipboard: what the window shows, as a plain-text report.

#include <string>

#include "shell/form_model.h"

namespace zynta::shell {

// The report's lines, each followed by CR LF.
std::string BuildReport(const shell::FormModel& f);

// Builds the report in the hidden buffer and puts it on the clipboard, replacing what was there.
void sbCopyToClipboardClick(shell::FormModel& f);

}  // namespace zynta::shell
