#pragma once
// The program's version, as its file version carries it.

namespace zynta::startup {

inline constexpr const char* ProgramVersion = "1.1.0.0";

}  // namespace zynta::startup
