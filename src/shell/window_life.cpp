// The calculator as a resident tool: hidden, not closed, by its close button, living on as a
// notification-area icon until "Exit ZYNTA"; the options, Help and About.
#include <filesystem>

#include "shell/field_entry.h"
#include "shell/frm_zynta.h"

namespace zynta::shell {

namespace {
constexpr const char* RestartNeeded = "Changes will take effect when ZYNTA is restarted!";
constexpr const char* HelpMissing = "Help file not found!";
}  // namespace

bool TfrmZYNTA::CanHide() const { return ui.GetTrayIcon().Available(); }

// Wherever the window hides, the help and plot windows close with it.
void TfrmZYNTA::HideWindow() {
  Window.SetShown(false);
  ui.GetHelp().CloseAll();
  ui.GetPlots().CloseAll();
}

void TfrmZYNTA::ShowWindow() {
  Window.SetShown(true);
  FormActivate();
}

void TfrmZYNTA::AddTrayIcon() { ui.GetTrayIcon().Add(TrayTip); }

void TfrmZYNTA::TrayIconLeftClick() {
  if (Window.Shown()) {
    HideWindow();
  } else {
    ShowWindow();
  }
}

void TfrmZYNTA::TrayIconRightClick() { ui.GetTrayIcon().PopupMenu(TaskBarPopupMenu); }

// Hidden first, the close query then lets the close go ahead (taking over a value being typed).
void TfrmZYNTA::ExitZYNTA1Click() {
  if (Window.Shown()) HideWindow();
  bool canClose = true;
  FormCloseQuery(canClose);
}

void TfrmZYNTA::HideZYNTA1Click() {
  if (Window.Shown() && CanHide()) HideWindow();
}

void TfrmZYNTA::PopupZYNTA1Click() {
  if (!Window.Shown()) ShowWindow();
}

// Closing hides the window and keeps the program with its icon. A value being typed is taken
// over first. Where no notification area exists, closing ends the program instead.
void TfrmZYNTA::FormCloseQuery(bool& canClose) {
  if (platform::Control* focused = Window.Focused()) shell::EditExit(*this, *focused);
  if (Window.Shown() && CanHide()) {
    HideWindow();
    canClose = false;
    return;
  }
  canClose = true;
  FormClose();
}

void TfrmZYNTA::RestartNotice(platform::MenuItem& item) {
  item.SetChecked(!item.Checked());
  ui.Boxes().Show(RestartNeeded, "");
}

void TfrmZYNTA::ApplicationHelp() {
  ui.GetFolders().SetWorkingDirectory(programDir_.string());
  if (!ui.GetHelp().ShowContents((programDir_ / HelpEntryPage).string())) ui.Boxes().Show(HelpMissing, "");
}

void TfrmZYNTA::About1Click() {
  if (ShowAbout) ShowAbout();
}

void TfrmZYNTA::BindWindow() {
  platform::TrayIcon& tray = ui.GetTrayIcon();
  tray.OnLeftClick = boundary_.Guard([this] { TrayIconLeftClick(); });
  tray.OnRightClick = boundary_.Guard([this] { TrayIconRightClick(); });
  TaskBarPopupMenu.Clear();
  TaskBarPopupMenu.Add("Exit ZYNTA").OnClick = boundary_.Guard([this] { ExitZYNTA1Click(); });
  TaskBarPopupMenu.Add("Hide").OnClick = boundary_.Guard([this] { HideZYNTA1Click(); });
  TaskBarPopupMenu.Add("Pop-up").OnClick = boundary_.Guard([this] { PopupZYNTA1Click(); });
  Window.OnActivate = [this] { FormActivate(); };
  ui.GetPlots().OnPumpsChanged = [this](const platform::PumpInput& input) {
    boundary_.Run([&] { PumpsChanged(input); });
  };
  // A close query that ends early (an error on the way) lets no close go ahead.
  Window.OnCloseQuery = [this](bool& canClose) {
    bool ended = true;
    boundary_.Run([&] {
      FormCloseQuery(canClose);
      ended = false;
    });
    if (ended) canClose = false;
  };
  StayonTop1.OnClick = boundary_.Guard([this] { RestartNotice(StayonTop1); });
  Checkforupdates1.OnClick = boundary_.Guard([this] { RestartNotice(Checkforupdates1); });
  StartHidden1.OnClick = boundary_.Guard([this] { StartHidden1.SetChecked(!StartHidden1.Checked()); });
  Help2.OnClick = boundary_.Guard([this] { ApplicationHelp(); });
  About1.OnClick = boundary_.Guard([this] { About1Click(); });
}

}  // namespace zynta::shell
