#pragma once
// The desktop services the calculator uses, as small interfaces of our own.

#include <functional>
#include <optional>
#include <string>

#include "platform/controls.h"
#include "platform/plot_data.h"

namespace zynta::platform {

// Beep codes as the calculator uses them.
constexpr unsigned BeepError = 16;    // an input error
constexpr unsigned BeepSuccess = 48;  // a solve that succeeded

class Beeper {
 public:
  virtual ~Beeper() = default;
  virtual void MessageBeep(unsigned code) = 0;
};

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A plain notice with an OK button; an empty caption means the application's title.
  virtual void Show(const std::string& text, const std::string& caption) = 0;
  // A question answered OK (true) or Cancel (false).
  virtual bool Confirm(const std::string& text, const std::string& caption) = 0;
};

// Where the program and its per-user files live.
class Folders {
 public:
  virtual ~Folders() = default;
  // The user's folder for application settings ($XDG_CONFIG_HOME, else ~/.config).
  virtual std::string AppDataFolder() const = 0;
  // The executable's file name without folder and extension ("zynta").
  virtual std::string ExecutableName() const = 0;
  // Makes the folder the working directory; false when that fails.
  virtual bool SetWorkingDirectory(const std::string& folder) = 0;
};

// Opens a web address in the user's browser; the result is not checked.
class Desktop {
 public:
  virtual ~Desktop() = default;
  virtual void OpenUrl(const std::string& url) = 0;
};

// The notification-area icon.
class TrayIcon {
 public:
  virtual ~TrayIcon() = default;
  // Whether the desktop offers a notification area at all.
  virtual bool Available() const = 0;
  virtual void Add(const std::string& tip) = 0;
  virtual void Remove() = 0;
  virtual bool Present() const = 0;
  virtual std::string Tip() const = 0;
  // Opens the menu at the mouse position and returns at once; a choice runs later.
  virtual void PopupMenu(Menu& menu) = 0;
  Handler OnLeftClick;
  Handler OnRightClick;
};

// The help window: the entry page of the program's help.
class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  // False when no help window results (the page is missing).
  virtual bool ShowContents(const std::string& entryPage) = 0;
  virtual void CloseAll() = 0;
};

// The plot window: the system curve and the Moody diagram of the pipe on screen (or the notice
// that there is nothing to plot), with its own PNG and SVG export.
class PlotViewer {
 public:
  virtual ~PlotViewer() = default;
  // Opens the window, or brings it to the front, showing the data.
  virtual void Show(const PlotData& data) = 0;
  // Shows new data in the open window without bringing it to the front.
  virtual void Update(const PlotData& data) = 0;
  // Whether the window is open (the user may close it at any time).
  virtual bool Open() const = 0;
  virtual void CloseAll() = 0;

  // The user changed the pump panel (static head, sum of K, arrangement, pump points).
  std::function<void(const PumpInput& input)> OnPumpsChanged;
};

struct MailMessage {
  std::string subject;
  std::string body;  // lines separated by CR LF
  std::string fromName;
  std::string fromAddress;
  std::string toName;
  std::string toAddress;
};

// Hands one mail to the desktop's mail program for the user to edit and send.
class MailComposer {
 public:
  virtual ~MailComposer() = default;
  // 0 when the mail program took the mail, otherwise a non-zero code.
  virtual int Compose(const MailMessage& mail) = 0;
};

// One plain HTTP GET; nothing when the request fails in any way (no connection, an error
// status, a time-out, a body too large).
class HttpClient {
 public:
  virtual ~HttpClient() = default;
  virtual std::optional<std::string> Get(const std::string& host, int port, const std::string& path) = 0;
};

// The single-instance lock, released by the system when the process ends.
class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
  // False when another running copy holds the lock of that name, or when it cannot be taken.
  virtual bool Acquire(const std::string& name) = 0;
  // After a false Acquire: empty when another running copy holds the lock; else why it could
  // not be taken at all, naming the lock's path and the reason.
  virtual std::string FailureText() const { return {}; }
};

// What the program needs of the system and its event loop.
class SystemServices {
 public:
  virtual ~SystemServices() = default;
  // The system's name for the support mail ("Linux Debian GNU/Linux 12 (bookworm)").
  virtual std::string OsName() const = 0;
  // Lets the event loop run for this long (the splash's two seconds).
  virtual void ProcessEventsFor(int milliseconds) = 0;
  // Reports an error when nobody is there to answer a message box (the program is being ended).
  virtual void LogError(const std::string& text) = 0;
};

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

}  // namespace zynta::platform
