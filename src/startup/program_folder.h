#pragma once
// The program folder: where the default settings, the reference data and the help lie. A build
// keeps them beside the binaries; an installed program keeps the binaries in <prefix>/bin and
// the data in <prefix>/share/zynta. Both are found relative to the executable, so a package
// unpacked into any root works.

#include <filesystem>

namespace zynta::startup {

// The folder of the executable at exePath when it holds the default settings file; else
// <that folder>/../share/zynta when that holds it; else the executable's folder, where the
// start then reports the missing file.
std::filesystem::path ProgramFolder(const std::filesystem::path& exePath);

// ProgramFolder of the running executable, named by /proc/self/exe (links resolved); of
// fallbackExe when that link cannot be read.
std::filesystem::path RunningProgramFolder(const std::filesystem::path& fallbackExe);

}  // namespace zynta::startup
