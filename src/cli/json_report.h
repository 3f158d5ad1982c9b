#pragma once
// The calculator's state as JSON: the status, the choosers, and every visible field with its
// text, its value in the base unit and its unit.

#include <string>
#include <string_view>

#include "cli/headless_calculator.h"

namespace zynta::cli {

// A JSON string literal, quotes included.
std::string JsonString(std::string_view text);
// The shortest text that reads back as the same double; null for a value that is not finite.
std::string JsonNumber(double value);

struct JsonLayout {
  bool oneLine = false;  // JSON Lines: the whole object on one line
  long row = 0;          // written first as "row" when positive
};

// The object; status is what the status bar (or the message box) said.
std::string WindowJson(const HeadlessCalculator& calc, const std::string& status, bool solved,
                       const JsonLayout& layout);
// An object for a problem that never reached the solve (a bad name, a bad value).
std::string FailureJson(const std::string& status, const JsonLayout& layout);

}  // namespace zynta::cli
