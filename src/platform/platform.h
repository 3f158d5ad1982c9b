#pragma once
// One place to reach the window's controls by name and the desktop services.

#include <string_view>

#include "platform/controls.h"
#include "platform/services.h"

namespace zynta::platform {

class Platform {
 public:
  virtual ~Platform() = default;
  // Controls live as long as the platform; asking twice for a name gives the same control.
  virtual TextField& GetTextField(std::string_view name) = 0;
  virtual ComboBox& GetComboBox(std::string_view name) = 0;
  virtual Label& GetLabel(std::string_view name) = 0;
  virtual MenuItem& GetMenuItem(std::string_view name) = 0;
  virtual Menu& GetMenu(std::string_view name) = 0;
  virtual CheckBox& GetCheckBox(std::string_view name) = 0;
  virtual Button& GetButton(std::string_view name) = 0;
  virtual StatusBar& GetStatusBar() = 0;
  // The calculator window.
  virtual Window& GetWindow() = 0;
  // The program's other windows: "splash", "intro", "about". Their controls are named with
  // the window's name and a dot ("about.lbVersion").
  virtual Window& GetDialog(std::string_view name) = 0;

  virtual Beeper& Beep() = 0;
  virtual MessageBoxes& Boxes() = 0;
  virtual Clipboard& GetClipboard() = 0;
  virtual Folders& GetFolders() = 0;
  virtual Desktop& GetDesktop() = 0;
  virtual TrayIcon& GetTrayIcon() = 0;
  virtual HelpViewer& GetHelp() = 0;
  virtual PlotViewer& GetPlots() = 0;
  virtual MailComposer& GetMail() = 0;
  virtual HttpClient& GetHttp() = 0;
  virtual InstanceLock& GetInstanceLock() = 0;
  virtual SystemServices& GetSystem() = 0;
};

}  // namespace zynta::platform
