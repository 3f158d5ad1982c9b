#include "gui/timing.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace zynta::gui {

namespace {
// How long ago the process started, from its start time in the process table.
double SinceProcessStartMs() {
  std::ifstream in("/proc/self/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(stat.substr(close + 2));
  std::string field;
  unsigned long long startTicks = 0;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
    if (i == 22) startTicks = std::strtoull(field.c_str(), nullptr, 10);
  }
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  const double nowMs = static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
  const double startMs = static_cast<double>(startTicks) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
  const double since = nowMs - startMs;
  return since > 0 ? since : 0;
}
}  // namespace

Timing& Timing::Get() {
  static Timing timing;
  return timing;
}

Timing::Timing() : enabled_(std::getenv("ZYNTA_TIMING") != nullptr) {}

void Timing::MainEntered(bool countProcessStart) {
  main_ = Clock::now();
  beforeMainMs_ = countProcessStart ? SinceProcessStartMs() : 0;
  waited_ = modal_ = {};
}

void Timing::WaitStarted() { pausedAt_ = Clock::now(); }
void Timing::WaitEnded() { waited_ += Clock::now() - pausedAt_; }
void Timing::ModalStarted() { pausedAt_ = Clock::now(); }
void Timing::ModalEnded() { modal_ += Clock::now() - pausedAt_; }

void Timing::StartFinished(bool windowShown) {
  startPending_ = windowShown;
  if (!windowShown) {
    startMs = beforeMainMs_ + Ms(Clock::now() - main_ - waited_ - modal_);
    if (enabled_) std::fprintf(stderr, "zynta timing: start sequence (window hidden) %.1f ms\n", startMs);
  }
}

void Timing::ActionStarted(const std::string& name) {
  if (name != "Solve1") return;
  solveRunning_ = true;
  solveAt_ = Clock::now();
}

void Timing::ActionEnded(const std::string& name) {
  if (name != "Solve1" || !solveRunning_) return;
  solveRunning_ = false;
  solveEnd_ = Clock::now();
  solvePending_ = true;
}

void Timing::Painted() {
  const auto now = Clock::now();
  if (startPending_) {
    startPending_ = false;
    startMs = beforeMainMs_ + Ms(now - main_ - waited_ - modal_);
    if (enabled_)
      std::fprintf(stderr,
                   "zynta timing: process start to window painted %.1f ms (%.1f ms before main; "
                   "splash wait %.0f ms and intro %.0f ms left out)\n",
                   startMs, beforeMainMs_, Ms(waited_), Ms(modal_));
  }
  if (solvePending_) {
    solvePending_ = false;
    solveMs = Ms(now - solveAt_);
    solveHandlerMs = Ms(solveEnd_ - solveAt_);
    if (enabled_)
      std::fprintf(stderr, "zynta timing: F2 to fields painted %.2f ms (solve handler %.2f ms)\n", solveMs,
                   solveHandlerMs);
  }
}

}  // namespace zynta::gui
