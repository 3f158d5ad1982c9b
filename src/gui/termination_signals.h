#pragma once
// SIGTERM, SIGINT and SIGHUP as an event of the event loop. A desktop that ends its session,
// a system going down and a closed terminal all stop the program this way rather than through
// the session manager, and the settings must be saved then as well.

#include <functional>

#include <QObject>
#include <QSocketNotifier>

namespace zynta::gui {

class TerminationSignals : public QObject {
 public:
  // onSignal runs in the event loop, never inside the signal handler. One instance at a time.
  explicit TerminationSignals(std::function<void()> onSignal);
  ~TerminationSignals() override;
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

 private:
  std::function<void()> onSignal_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace zynta::gui
