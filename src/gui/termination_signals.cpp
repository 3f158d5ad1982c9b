#include "gui/termination_signals.h"

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace zynta::gui {

namespace {

// The handler may only write to a descriptor (async-signal-safe); the loop reads the other end.
int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_pipe[0], &byte, 1);
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0) return;
  notifier_ = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char byte = 0;
    [[maybe_unused]] const ssize_t n = ::read(g_pipe[1], &byte, 1);
    if (onSignal_) onSignal_();
  });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : kSignals) ::sigaction(sig, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
  for (int sig : kSignals) std::signal(sig, SIG_DFL);
  delete notifier_;
  for (int& fd : g_pipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

}  // namespace zynta::gui
