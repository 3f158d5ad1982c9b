#include "shell/event_boundary.h"

#include <cctype>
#include <exception>
#include <optional>

#include "units/errors.h"

namespace zynta::shell {

std::string GeneralErrorText(const std::string& text) {
  if (!text.empty() && std::isalnum(static_cast<unsigned char>(text.back()))) return text + ".";
  return text;
}

void EventBoundary::Run(const std::function<void()>& action) {
  if (depth_ > 0) {
    action();  // part of the running action: errors travel up to its boundary
    return;
  }
  std::optional<std::string> error;
  {
    struct Depth {
      explicit Depth(int& d) : d(d) { ++d; }
      ~Depth() { --d; }
      int& d;
    } depth(depth_);
    units::ClearFloatFaults();
    try {
      action();
    } catch (const units::InputAbort&) {
      // already reported in the status bar
    } catch (const std::exception& e) {
      error = e.what();
    } catch (...) {
      error = "Unexpected error";
    }
  }
  // Reported outside the action, so a box that runs events of its own starts new actions.
  if (error) report_(GeneralErrorText(*error));
}

void EventBoundary::Modal(const std::function<void()>& show) {
  struct Outside {
    explicit Outside(int& d) : d(d), saved(d) { d = 0; }
    ~Outside() { d = saved; }
    int& d;
    int saved;
  } outside(depth_);
  show();
}

std::function<void()> EventBoundary::Guard(std::function<void()> handler) {
  return [this, handler = std::move(handler)] { Run(handler); };
}

std::function<void(char&)> EventBoundary::GuardKey(std::function<void(char&)> handler) {
  return [this, handler = std::move(handler)](char& key) { Run([&] { handler(key); }); };
}

}  // namespace zynta::shell
