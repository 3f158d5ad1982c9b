#pragma once
// The desktop services through Qt: beeps, message boxes, the clipboard, web pages, the
// notification-area icon, the help window, the mail program and the event loop's waits.

#include <filesystem>
#include <memory>
#include <string>

#include <QIcon>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTextBrowser>

#include "platform/desktop_services.h"
#include "platform/services.h"

namespace zynta::gui {

class QtBeeper : public platform::Beeper {
 public:
  void MessageBeep(unsigned code) override;
};

class QtMessageBoxes : public platform::MessageBoxes {
 public:
  // parent: the window the boxes belong to while it is shown.
  explicit QtMessageBoxes(QWidget* parent) : parent_(parent) {}
  void Show(const std::string& text, const std::string& caption) override;
  bool Confirm(const std::string& text, const std::string& caption) override;

 private:
  QPointer<QWidget> parent_;
};

class QtClipboard : public platform::Clipboard {
 public:
  std::string Text() const override;
  void SetText(const std::string& text) override;
};

class QtDesktop : public platform::Desktop {
 public:
  void OpenUrl(const std::string& url) override;
};

class QtTrayIcon : public platform::TrayIcon {
 public:
  explicit QtTrayIcon(QIcon icon) : icon_(std::move(icon)) {}
  ~QtTrayIcon() override;
  bool Available() const override;
  void Add(const std::string& tip) override;
  void Remove() override;
  bool Present() const override { return present_; }
  std::string Tip() const override { return tip_; }
  void PopupMenu(platform::Menu& menu) override;
  QSystemTrayIcon* Icon() const { return tray_; }

 private:
  QIcon icon_;
  QPointer<QSystemTrayIcon> tray_;
  std::string tip_;
  bool present_ = false;
};

// The program's own help window: the entry page in a browser of rich text.
class QtHelpViewer : public platform::HelpViewer {
 public:
  explicit QtHelpViewer(QIcon icon) : icon_(std::move(icon)) {}
  ~QtHelpViewer() override;
  bool ShowContents(const std::string& entryPage) override;
  void CloseAll() override;
  QTextBrowser* Window() const { return browser_; }

 private:
  QIcon icon_;
  QPointer<QTextBrowser> browser_;
};

// The mail as a mailto: address handed to the desktop.
std::string MailtoUrl(const platform::MailMessage& mail);

class QtMailComposer : public platform::MailComposer {
 public:
  int Compose(const platform::MailMessage& mail) override;
};

// The system's name from the system; the waits run the event loop.
// Another client's request run in a thread of its own while a nested event loop goes on: the
// window repaints, timers run and a termination signal is handled (the program can end) during
// an update check; the user's input waits until the answer is in, as it would for a busy window.
class QtWaitingHttpClient : public platform::HttpClient {
 public:
  explicit QtWaitingHttpClient(platform::HttpClient& inner) : inner_(inner) {}
  std::optional<std::string> Get(const std::string& host, int port, const std::string& path) override;

 private:
  platform::HttpClient& inner_;
};

class QtSystem : public platform::LinuxSystemInfo {
 public:
  void ProcessEventsFor(int milliseconds) override;
  int waitedMs = 0;  // how long the program asked to wait in all
};

}  // namespace zynta::gui
