#pragma once
// The program's version. The build takes it from the project's version (CMakeLists.txt), the one
// place it is written.

#ifndef ZYNTA_VERSION
#error "ZYNTA_VERSION comes from the build: the project's version in CMakeLists.txt"
#endif

namespace zynta::settings {

inline constexpr const char* ProgramVersion = ZYNTA_VERSION;

// The version text of the running program, "1.1.0.0".
inline const char* GetOwnVersion() { return ProgramVersion; }

}  // namespace zynta::settings
