#pragma once
// Where Qt runs the core and the core runs Qt.
//
// A handler of the core is never allowed to throw through a Qt frame. Qt callbacks run their
// handler through FromQt, which catches everything. A handler that Qt runs while a request of
// the program is calling into Qt (a focus move, a window shown) belongs to that request: its
// error is kept and rethrown by Request once Qt has returned, so it reaches the core as from
// any other call. With no request running the handler was a user action delivered by the event
// loop; the core's event boundary has already caught its errors, so anything left is logged.

#include <exception>
#include <functional>
#include <string>

#include <QString>

namespace zynta::gui {

inline QString Q(const std::string& text) { return QString::fromStdString(text); }
inline std::string S(const QString& text) { return text.toStdString(); }

// Runs one handler from a Qt callback; nothing escapes.
void FromQt(const std::function<void()>& handler) noexcept;

class Frame {
 public:
  // A request of the program (loop false) or a nested event loop inside one (loop true): the
  // user's events in a nested loop are actions of their own.
  explicit Frame(bool loop);
  ~Frame();
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;
  void Keep(std::exception_ptr error);
  // Rethrows the first kept error.
  void Finish();
  bool Loop() const { return loop_; }

 private:
  std::exception_ptr error_;
  bool loop_;
};

// A call of the program into Qt; handlers that Qt runs meanwhile are part of it.
template <class F>
void Request(F&& call) {
  Frame frame(false);
  call();
  frame.Finish();
}

// A nested event loop run for the program (a modal dialog, a wait).
template <class F>
void Loop(F&& call) {
  Frame frame(true);
  call();
  frame.Finish();
}

// True while a request of the program is calling into Qt: what Qt does then (a focus move of
// its own when the focused control is hidden) is no user action.
bool InsideRequest();
// True while Qt delivers a user action: no request and no handler on the stack.
bool AtTopLevel();

// While the program asks the user something (a modal window), a busy cursor gives way to the
// arrow; it comes back afterwards.
class ArrowWhileAsking {
 public:
  ArrowWhileAsking();
  ~ArrowWhileAsking();
  ArrowWhileAsking(const ArrowWhileAsking&) = delete;
  ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;

 private:
  bool pushed_;
};

// Called after every user action that the event loop delivered (the program may have ended).
void SetAfterAction(std::function<void()> after);
// From now on no handler runs: the controls are being taken down.
void Shutdown();
void Reopen();  // for a new platform in the same process (the tests)

}  // namespace zynta::gui
