#pragma once
// The calculator window: the core's model of it, with every handler bound to its control.

#include <filesystem>
#include <functional>
#include <memory>

#include "settings/ini_file.h"
#include "settings/settings_file.h"
#include "shell/event_boundary.h"
#include "shell/form_model.h"

namespace zynta::shell {

// The application's title, also the caption of its message boxes.
inline constexpr const char* AppTitle = "ZYNTA";
inline constexpr const char* TrayTip = "Click to Pop-up, Click-Right for menu";
inline constexpr const char* HelpEntryPage = "help/index.html";

class TfrmZYNTA : public shell::FormModel {
 public:
  TfrmZYNTA(platform::Platform& ui, std::filesystem::path programDir);

  // Window creation: opens the reference tables and the settings file, builds the parameters
  // and restores the saved state. False when the program has to end (its message was shown).
  bool FormCreate();

  // Writes the whole state to the settings file and releases it (the end of the program). A
  // refused write is reported in a message box, or only to the log when `interactive` is false
  // (the session or the process is ending: nobody may be there to answer a box).
  void SaveSettings(bool interactive = true);
  // Exit from the notification icon's menu: the window closes for real.
  void FormClose();
  // The desktop session or the process ends (a termination signal): may it? The state is saved
  // first, a refused write reported only to the log.
  bool SessionEndQuery();

  // The notification icon and the window's life as a resident tool.
  void AddTrayIcon();
  void TrayIconLeftClick();
  void TrayIconRightClick();
  void ExitZYNTA1Click();
  void HideZYNTA1Click();
  void PopupZYNTA1Click();
  void FormCloseQuery(bool& canClose);
  void ApplicationHelp();
  // Help, About: the about box that start-up registers in ShowAbout.
  void About1Click();
  std::function<void()> ShowAbout;
  // Tools, "Plot...": opens the plot window on the plots of the current state (or "Solve
  // first"). While it is open it is shown the plots again after every Solve and Undo.
  void Plot1Click();
  void RefreshPlots();
  // The plot window's pump panel changed: taken when it makes sense (its refusal otherwise),
  // and the plots shown again.
  void PumpsChanged(const platform::PumpInput& input);
  // Without a notification area a hidden window could never be reached again.
  bool CanHide() const;

  bool Terminated() const { return terminated_; }
  // Whether the last save could not write the settings file.
  bool SaveFailed() const { return saveFailed_; }
  const settings::IniFile* SettingsIni() const { return SettingsFile.get(); }
  const settings::SettingsLocation& Settings() const { return settingsWhere_; }

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
  void BindLists();
  void FocusField(int index);
  platform::PopupHandler GuardPopup(std::function<void(bool&)> handler);
  void Sound1Click();
  void RestartNotice(platform::MenuItem& item);
  // Runs the action, then RefreshPlots, also when the action ends early.
  void ThenRefreshPlots(const std::function<void()>& action);
  void HideWindow();
  void ShowWindow();
  void BindWindow();

  void LoadParameters();
  void RestoreOptions();
  void Report(const std::string& text);

  std::filesystem::path programDir_;
  EventBoundary boundary_;
  settings::SettingsLocation settingsWhere_;
  std::unique_ptr<settings::IniFile> SettingsFile;
  bool terminated_ = false;
  bool saveFailed_ = false;
};

}  // namespace zynta::shell
