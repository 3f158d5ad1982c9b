#include "shell/frm_zynta.h"

#include <variant>

#include "calc/catalog.h"
#include "calc/solvers.h"
#include "platform/plot_data.h"
#include "shell/field_entry.h"
#include "shell/field_roles.h"
#include "shell/load_parameter.h"
#include "shell/pick_lists.h"
#include "shell/pipe_spec.h"
#include "shell/plot_curves.h"
#include "shell/report.h"
#include "shell/save_settings.h"
#include "shell/solve.h"
#include "shell/undo.h"
#include "shell/unit_menu.h"
#include "shell/window_fields.h"
#include "units/errors.h"

namespace zynta::shell {

using namespace calc;

TfrmZYNTA::TfrmZYNTA(platform::Platform& ui, std::filesystem::path programDir)
    : FormModel(ui), programDir_(std::move(programDir)), boundary_([this](const std::string& text) {
        Outcome = {SolveOutcome::Kind::Fault, text};
        this->ui.Boxes().Show(text, AppTitle);
      }) {
  Window.SetCaption(AppTitle);
  for (const char* item : EquationItems) ComboEq.AddItem(item);
  BindHandlers();
}

platform::PopupHandler TfrmZYNTA::GuardPopup(std::function<void(bool&)> handler) {
  return [this, handler = std::move(handler)](bool& handled) { boundary_.Run([&] { handler(handled); }); };
}

void TfrmZYNTA::BindParameterField(int index) {
  platform::TextField& edit = *Edits[static_cast<size_t>(index)];
  edit.OnClick = boundary_.Guard([this, &edit] { shell::ClearStatusBar(*this, edit); });
  if (index == ReyNo) {
    edit.OnKeyPress = boundary_.GuardKey([](char& key) { shell::EditReynoKeyPress(key); });
    edit.OnChange = boundary_.Guard([this] { EditReynoChange(*this); });
    edit.OnExit = boundary_.Guard([this] { EditReynoChange(*this); });
    return;
  }
  edit.OnKeyPress = boundary_.GuardKey([this, &edit](char& key) { shell::NKeyPress(*this, edit, key); });
  // Text typed into the friction factor is never committed: it has no exit handler.
  if (index != FricFact) edit.OnExit = boundary_.Guard([this, &edit] { shell::EditExit(*this, edit); });
  edit.OnContextPopup = GuardPopup([this, &edit](bool&) { shell::EditContextPopup(*this, edit); });
  // The nominal diameter and the friction factor keep the platform's own text menu.
  if (index != NDia && index != FricFact) edit.SetPopupMenu(&EditPopupMenu);
}

void TfrmZYNTA::BindUnitLabel(int index) {
  if (index == ReyNo) return;  // the flow regime has no unit menu
  platform::Label& label = *UnitLabels[static_cast<size_t>(index)];
  if (index != Area) label.SetHint("Right click to change units");
  label.OnContextPopup = GuardPopup([this, &label](bool& handled) {
    shell::UnitsContextPopup(*this, label, handled);
    // The entries are made anew at each opening; each choice is an action of its own.
    for (platform::MenuItem* entry : UnitsPopupMenu.Entries()) entry->OnClick = boundary_.Guard(entry->OnClick);
  });
}

// The three pick lists at the right end of their fields; closing one gives its field the focus.
void TfrmZYNTA::BindLists() {
  NDiaList.SetStyle(platform::ComboStyle::Editable);
  NDiaList.SetHint("Click for std sizes");
  NDiaList.OnSelect = boundary_.Guard([this] { shell::NDiaListSelect(*this); });
  NDiaList.OnChange = boundary_.Guard([this] { shell::NDiaListChange(*this); });
  NDiaList.OnCloseUp = boundary_.Guard([this] { FocusField(NDia); });
  Edits[NDia]->OnChange = boundary_.Guard([this] { shell::EditNDiaChange(*this); });

  cbVisList.SetStyle(platform::ComboStyle::PickOnly);
  cbVisList.SetHint("Click for fluids list");
  cbVisList.OnSelect = boundary_.Guard([this] { cbVisListSelect(*this); });
  cbVisList.OnCloseUp = boundary_.Guard([this] { FocusField(Vis); });

  cbFricList.SetStyle(platform::ComboStyle::PickOnly);
  cbFricList.SetHint("Click for material list");
  cbFricList.OnDropDown = boundary_.Guard([this] { cbFricListDropDown(*this); });
  cbFricList.OnSelect = boundary_.Guard([this] { cbFricListSelect(*this); });
  cbFricList.OnCloseUp = boundary_.Guard([this] { FocusField(Fric); });
}

void TfrmZYNTA::FocusField(int index) {
  platform::TextField& field = *Edits[static_cast<size_t>(index)];
  if (Window.Shown() && field.CanFocus()) Window.SetFocus(field);
}

void TfrmZYNTA::BindMenus() {
  const auto clipboard = EditPopupMenu.Entries();  // Cut, Copy, Paste
  clipboard[0]->OnClick = boundary_.Guard([this] { shell::Cut1Click(*this); });
  clipboard[1]->OnClick = boundary_.Guard([this] { shell::Copy1Click(*this); });
  clipboard[2]->OnClick = boundary_.Guard([this] { shell::Paste1Click(*this); });
  for (platform::MenuItem* entry : DecimalsMenu.Entries())
    entry->OnClick = boundary_.Guard([this, entry] { shell::DispDecimalsClick(*this, *entry); });

  // A solve abandoned on a bad input still tells an open plot window (it then says "Solve
  // first"), so the refresh runs however the action ends.
  Solve1.OnClick = boundary_.Guard([this] { ThenRefreshPlots([this] { Solve1Click(*this); }); });
  Undo1.OnClick = boundary_.Guard([this] { ThenRefreshPlots([this] { sbBackClick(*this); }); });
  Plot1.OnClick = boundary_.Guard([this] { Plot1Click(); });
  CopytoClipboard2.OnClick = boundary_.Guard([this] { sbCopyToClipboardClick(*this); });
  Sound1.OnClick = boundary_.Guard([this] { Sound1Click(); });
  ClearFields2.OnClick = boundary_.Guard([this] { shell::ClearAllFields(*this); });
  SetEnglishUnits1.OnClick = boundary_.Guard([this] { shell::sbSetEnglishUnitsClick(*this); });
  SetSIUnits1.OnClick = boundary_.Guard([this] { shell::sbSetSIUnitsClick(*this); });
}

void TfrmZYNTA::BindHandlers() {
  for (int i = 0; i < ParamCount; ++i) {
    BindParameterField(i);
    BindUnitLabel(i);
  }
  ComboEq.OnChange = boundary_.Guard([this] { ComboEqChange(*this, true); });
  ComboEq.OnEnter = boundary_.Guard([this] { ComboEqEnter(*this); });
  ComboEq.OnClick = boundary_.Guard([this] { shell::ClearStatusBar(*this, ComboEq); });
  ComboEq.OnKeyPress = boundary_.GuardKey([this](char& key) { shell::NKeyPress(*this, ComboEq, key); });
  cbSolveFor.OnChange = boundary_.Guard([this] { cbSolveForChange(*this); });
  ComboSpec.OnEnter = boundary_.Guard([this] { ComboEqEnter(*this); });
  ComboSpec.OnExit = boundary_.Guard([this] { shell::EditExit(*this, ComboSpec); });
  ComboSpec.OnClick = boundary_.Guard([this] { shell::ClearStatusBar(*this, ComboSpec); });
  ComboSpec.OnKeyPress = boundary_.GuardKey([this](char& key) { shell::NKeyPress(*this, ComboSpec, key); });
  ComboSpec.OnChange = boundary_.Guard([this] { shell::cbPipeSpecChange(*this); });
  BindLists();
  BindMenus();
  BindWindow();
}

void TfrmZYNTA::Sound1Click() {
  Sound1.SetChecked(!Sound1.Checked());
  SoundOn = Sound1.Checked();
}

void TfrmZYNTA::Plot1Click() { ui.GetPlots().Show(BuildPlotData(*this)); }

void TfrmZYNTA::ThenRefreshPlots(const std::function<void()>& action) {
  try {
    action();
  } catch (...) {
    RefreshPlots();
    throw;
  }
  RefreshPlots();
}

void TfrmZYNTA::PumpsChanged(const platform::PumpInput& input) {
  auto panel = PanelOf(*this, input);
  if (const auto* refused = std::get_if<std::string>(&panel)) {
    PumpRefusal = *refused;
  } else {
    Pumps = std::get<PumpPanel>(std::move(panel));
    PumpRefusal.clear();
  }
  RefreshPlots();
}

void TfrmZYNTA::RefreshPlots() {
  if (ui.GetPlots().Open()) ui.GetPlots().Update(BuildPlotData(*this));
}

void TfrmZYNTA::Report(const std::string& text) { ui.Boxes().Show(text, AppTitle); }

// A write the system refuses is reported here, and the program still ends.
void TfrmZYNTA::SaveSettings(bool interactive) {
  saveFailed_ = false;
  if (SettingsFile && ParamTypes[0]) {
    try {
      std::error_code ec;
      // The folder may be gone, or was never made when no default file could be copied.
      std::filesystem::create_directories(settingsWhere_.folder, ec);
      shell::WriteSettings(*this, *SettingsFile);
    } catch (const std::exception& e) {
      saveFailed_ = true;
      if (interactive) {
        Report(GeneralErrorText(e.what()));
      } else {
        ui.GetSystem().LogError(GeneralErrorText(e.what()));
      }
    }
  }
  shell::ReleaseState(*this);
  ui.GetTrayIcon().Remove();
  ui.GetHelp().CloseAll();
  ui.GetPlots().CloseAll();
}

void TfrmZYNTA::FormClose() {
  Window.SetShown(false);
  SaveSettings();
  terminated_ = true;
}

bool TfrmZYNTA::SessionEndQuery() {
  if (Window.Shown()) Window.SetShown(false);
  SaveSettings(false);
  terminated_ = true;
  return true;
}

void TfrmZYNTA::Show() {
  Window.SetShown(true);
  FormActivate();
}

void TfrmZYNTA::FormActivate() {
  boundary_.Run([this] {
    if (cbSolveFor.CanFocus()) Window.SetFocus(cbSolveFor);
  });
}

}  // namespace zynta::shell
