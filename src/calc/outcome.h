#pragma once
// What a solve, or a value typed into a field, came to: the window shows it in its status bar
// or a message box, the command line in its output and exit status. Callers decide on the kind
// and the flags, never on the text.

#include <string>

namespace zynta::calc {

// The message of a field text that is not a number; the field is cleared.
inline constexpr const char* BadValueText = "Bad value!";

struct SolveOutcome {
  enum class Kind {
    None,     // nothing solved or refused yet
    Solved,   // the problem is solved, or the value taken
    Refused,  // an input was refused: status is its message, param its field
    Fault,    // an error ended the action: status is its text
  };
  Kind kind = Kind::None;
  std::string status;       // "Solved!", its warning, the refusal's message or the fault's text
  int param = -1;           // the field a refusal concerns
  bool warned = false;      // solved, and status is a warning about the result
  bool notANumber = false;  // refused because the field's text is not a number
};

}  // namespace zynta::calc
