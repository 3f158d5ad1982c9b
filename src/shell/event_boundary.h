#pragma once
// The one place where a user action ends. A failed input read (InputAbort) ends it silently:
// its message is already in the status bar. Any other error ends it with the general error
// report, a message box with the error's text; the calculator goes on.
//
// Handlers run from inside other handlers (a text written by a solver fires the field's change
// event) belong to the action that is running: only the outermost level catches.

#include <functional>
#include <string>

namespace zynta::shell {

// The general error report's text: a full stop is added when the text ends in a letter or a digit.
std::string GeneralErrorText(const std::string& text);

class EventBoundary {
 public:
  using Report = std::function<void(const std::string& text)>;
  explicit EventBoundary(Report report) : report_(std::move(report)) {}

  void Run(const std::function<void()>& action);

  // Wraps a handler so that every call runs through Run.
  std::function<void()> Guard(std::function<void()> handler);
  std::function<void(char&)> GuardKey(std::function<void(char&)> handler);

  // A modal window shown from inside an action: where the platform runs a nested event loop
  // for it (the desktop), the user's actions in that window are actions of their own, each
  // ending at this boundary, not parts of the action that opened the window.
  void Modal(const std::function<void()>& show);

  bool Inside() const { return depth_ > 0; }

 private:
  Report report_;
  int depth_ = 0;
};

}  // namespace zynta::shell
