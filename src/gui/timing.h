#pragma once
// Figures for the curious, printed to the error stream when ZYNTA_TIMING is set: the time from
// the process start to the calculator window painted (the splash's wait and the intro left
// out), and from F2 to the fields painted with the result.

#include <chrono>
#include <string>

namespace zynta::gui {

class Timing {
 public:
  static Timing& Get();
  bool Enabled() const { return enabled_; }

  // countProcessStart: the time before main counts too (not for a program started by a test).
  void MainEntered(bool countProcessStart = true);
  void WaitStarted();
  void WaitEnded();
  void ModalStarted();
  void ModalEnded();
  void StartFinished(bool windowShown);
  void ActionStarted(const std::string& name);
  void ActionEnded(const std::string& name);
  void Painted();

  // The last figures, in milliseconds (negative while not measured).
  double startMs = -1;
  double solveMs = -1;
  double solveHandlerMs = -1;

 private:
  Timing();
  using Clock = std::chrono::steady_clock;
  static double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

  bool enabled_ = false;
  double beforeMainMs_ = 0;  // process start to main
  Clock::time_point main_{};
  Clock::duration waited_{};
  Clock::duration modal_{};
  Clock::time_point pausedAt_{};
  bool startPending_ = false;
  bool solvePending_ = false;
  bool solveRunning_ = false;
  Clock::time_point solveAt_{};
  Clock::time_point solveEnd_{};
};

}  // namespace zynta::gui
