#pragma once
// The calculator window: the core's model of it, with every handler bound to its control.

#include <filesystem>
#include <memory>

#include "calc/form_model.h"
#include "settings/ini_file.h"
#include "shell/event_boundary.h"

namespace zynta::shell {

// The application's title, also the caption of its message boxes.
inline constexpr const char* AppTitle = "ZYNTA";

class TfrmZYNTA : public calc::FormModel {
 public:
  TfrmZYNTA(platform::Platform& ui, std::filesystem::path programDir);

  // Window creation: loads the parameters and the saved state from the settings file.
  void FormCreate();

  // Shows the window; it then becomes the active window.
  void Show();
  // The window becomes the active window: the focus goes to the problem chooser.
  void FormActivate();

  const std::filesystem::path& ProgramDir() const { return programDir_; }
  EventBoundary& Boundary() { return boundary_; }

 private:
  void BindHandlers();
  void BindParameterField(int index);
  void BindUnitLabel(int index);
  void BindMenus();
  platform::PopupHandler GuardPopup(std::function<void(bool&)> handler);
  void Sound1Click();

  std::filesystem::path programDir_;
  EventBoundary boundary_;
  std::unique_ptr<settings::IniFile> SettingsFile;
};

}  // namespace zynta::shell
