#include "gui/dispatch.h"

#include <vector>

#include <QApplication>
#include <QDebug>

namespace zynta::gui {

namespace {
std::vector<Frame*>& Frames() {
  static std::vector<Frame*> frames;
  return frames;
}
std::function<void()>& After() {
  static std::function<void()> after;
  return after;
}
bool closed = false;
int handlerDepth = 0;

std::string Describe(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown error";
  }
}
}  // namespace

Frame::Frame(bool loop) : loop_(loop) { Frames().push_back(this); }

Frame::~Frame() {
  auto& frames = Frames();
  if (!frames.empty() && frames.back() == this) frames.pop_back();
}

void Frame::Keep(std::exception_ptr error) {
  if (!error_) error_ = std::move(error);
}

void Frame::Finish() {
  auto& frames = Frames();
  if (!frames.empty() && frames.back() == this) frames.pop_back();
  if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

void FromQt(const std::function<void()>& handler) noexcept {
  if (closed || !handler) return;
  ++handlerDepth;
  try {
    handler();
  } catch (...) {
    if (!Frames().empty()) {
      Frames().back()->Keep(std::current_exception());
    } else {
      qWarning("zynta: a handler failed outside any action: %s", Describe(std::current_exception()).c_str());
    }
  }
  --handlerDepth;
  if (handlerDepth == 0 && Frames().empty() && After() && !closed) {
    try {
      After()();
    } catch (...) {
      qWarning("zynta: the end of an action failed: %s", Describe(std::current_exception()).c_str());
    }
  }
}

bool InsideRequest() { return !Frames().empty() && !Frames().back()->Loop(); }

bool AtTopLevel() { return Frames().empty() && handlerDepth == 0; }

ArrowWhileAsking::ArrowWhileAsking() : pushed_(QApplication::overrideCursor() != nullptr) {
  if (pushed_) QApplication::setOverrideCursor(Qt::ArrowCursor);
}

ArrowWhileAsking::~ArrowWhileAsking() {
  if (pushed_) QApplication::restoreOverrideCursor();
}

void SetAfterAction(std::function<void()> after) { After() = std::move(after); }

void Shutdown() {
  closed = true;
  After() = nullptr;
}

void Reopen() { closed = false; }

}  // namespace zynta::gui
