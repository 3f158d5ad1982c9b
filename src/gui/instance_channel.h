#pragma once
// The single-instance lock with a channel beside it. The running copy listens on a local
// socket in the lock's folder (a folder only the user can write); a start refused by the lock
// knocks there first, so the running copy raises its window, and waits for its answer before
// it shows its own message, which then opens above that window.

#include <functional>
#include <memory>
#include <string>

#include <QString>

#include "platform/desktop_services.h"
#include "platform/services.h"

class QLocalServer;

namespace zynta::gui {

class ChannelLock : public platform::InstanceLock {
 public:
  ChannelLock();  // the lock's usual folder (platform::FileInstanceLock)
  explicit ChannelLock(std::string runtimeFolder);
  ~ChannelLock() override;
  ChannelLock(const ChannelLock&) = delete;
  ChannelLock& operator=(const ChannelLock&) = delete;

  // Taken: the channel opens. Refused by a running copy: that copy is asked to raise its window.
  bool Acquire(const std::string& name) override;
  std::string FailureText() const override { return lock_.FailureText(); }
  // The socket of the lock of that name.
  QString ChannelPath(const std::string& name) const;
  bool Listening() const;

  // What the running copy does when a later start knocks (raise its window).
  std::function<void()> OnKnock;

 private:
  void Listen(const std::string& name);
  void Knock(const std::string& name) const;

  platform::FileInstanceLock lock_;
  std::unique_ptr<QLocalServer> server_;
  std::string listening_;
};

}  // namespace zynta::gui
