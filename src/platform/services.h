#pragma once
// The desktop services the calculator uses, as small interfaces of our own.

#include <string>

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

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

}  // namespace zynta::platform
