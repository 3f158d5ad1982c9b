#include "gui/instance_channel.h"

#include <QLocalServer>
#include <QLocalSocket>

#include "gui/dispatch.h"

namespace zynta::gui {

namespace {
constexpr const char* KnockText = "raise\n";
constexpr const char* AnswerText = "raised\n";
// A running copy that does not answer in this time (hung, or stopped in a debugger) must not
// hold up the refused start for long.
constexpr int AnswerMilliseconds = 1500;
}  // namespace

ChannelLock::ChannelLock() = default;

ChannelLock::ChannelLock(std::string runtimeFolder) : lock_(std::move(runtimeFolder)) {}

ChannelLock::~ChannelLock() = default;

QString ChannelLock::ChannelPath(const std::string& name) const {
  return Q(lock_.RuntimeFolder() + "/" + name + ".socket");
}

bool ChannelLock::Listening() const { return server_ && server_->isListening(); }

bool ChannelLock::Acquire(const std::string& name) {
  if (lock_.Acquire(name)) {
    if (listening_ != name) Listen(name);
    return true;
  }
  if (lock_.FailureText().empty()) Knock(name);
  return false;
}

// The lock is ours, so a socket left there is a dead copy's.
void ChannelLock::Listen(const std::string& name) {
  const QString path = ChannelPath(name);
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  QLocalServer::removeServer(path);
  if (!server_->listen(path)) {
    server_.reset();  // the program runs on; a later start is refused without a raise
    return;
  }
  listening_ = name;
  QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
        if (!socket->canReadLine()) return;
        const bool knock = socket->readLine() == KnockText;
        if (knock && OnKnock) OnKnock();
        socket->write(AnswerText);
        socket->flush();
        socket->disconnectFromServer();
      });
    }
  });
}

void ChannelLock::Knock(const std::string& name) const {
  QLocalSocket socket;
  socket.connectToServer(ChannelPath(name));
  if (!socket.waitForConnected(AnswerMilliseconds)) return;
  socket.write(KnockText);
  if (!socket.waitForBytesWritten(AnswerMilliseconds)) return;
  socket.waitForReadyRead(AnswerMilliseconds);  // the running copy raised its window
  socket.disconnectFromServer();
}

}  // namespace zynta::gui
