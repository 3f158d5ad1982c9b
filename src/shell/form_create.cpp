// Window creation: the calculator assembled in its fixed order, with the saved state restored.
#include <utility>

#include "calc/catalog.h"
#include "calc/solvers.h"
#include "refdata/data_packet.h"
#include "refdata/fittings.h"
#include "refdata/tables.h"
#include "settings/version.h"
#include "shell/field_roles.h"
#include "shell/frm_zynta.h"
#include "shell/load_parameter.h"
#include "shell/pick_lists.h"
#include "shell/pipe_spec.h"
#include "shell/solve.h"
#include "shell/undo.h"
#include "shell/window_fields.h"

namespace zynta::shell {

using namespace calc;

namespace {
constexpr const char* MainForm = "MainForm";
}  // namespace

void TfrmZYNTA::RestoreOptions() {
  const settings::IniFile& ini = *SettingsFile;
  StartHidden1.SetChecked(ini.ReadBool(MainForm, "StartHidden", false));
  StayonTop1.SetChecked(ini.ReadBool(MainForm, "StayonTop", true));
  Window.SetStayOnTop(StayonTop1.Checked());
  Checkforupdates1.SetChecked(ini.ReadBool(MainForm, "Checkforupdates", true));
  Sound1.SetChecked(ini.ReadBool(MainForm, "Sound", false));
  SoundOn = Sound1.Checked();
  Pumps = ReadPumpPanel(ini);
  ComboEq.SetText(ini.ReadString(MainForm, "HLEq", HazenWilliams));
  // A position no list has (an edited file) falls back to the first problem.
  SolveForIndex = ini.ReadInteger(MainForm, "SolveFor", 0);
  if (SolveForIndex < 0 || SolveForIndex >= ProblemCount) SolveForIndex = 0;
}

// The parameters in index order, with the steps of other parts that belong between them.
void TfrmZYNTA::LoadParameters() {
  const settings::IniFile& ini = *SettingsFile;
  for (int i = 0; i < ParamCount; ++i) {
    shell::LoadParameter(*this, ini, i);
    if (i == IDia) boundary_.Run([this] { shell::cbPipeSpecChange(*this); });
    if (i == Fric) FillFluids(*this);
    if (i == SG) shell::ShowLoadedValue(*this, ini, Vis);
  }
}

bool TfrmZYNTA::FormCreate() {
  if (!ui.GetFolders().SetWorkingDirectory(programDir_.string())) {
    Report("Please run shortcut for ZYNTA on desktop!");
    terminated_ = true;
    return false;
  }
  refdata::ReferenceTables tables;
  const std::string missing = refdata::OpenTables(tables, programDir_);
  cdsPipeSpec = std::move(tables.PipeSpec);
  cdsPipeSize = std::move(tables.PipeSize);
  cdsLiq_Prop = std::move(tables.LiqProp);
  if (!missing.empty()) {
    Report(refdata::MissingDataFileText(missing));
    terminated_ = true;
    return false;
  }
  try {
    Fittings = refdata::LoadFittings(programDir_ / refdata::FittingsFile);
  } catch (const refdata::DataPacketError&) {
    Fittings.clear();  // the Fittings dialog offers none; a typed sum of K still works
  }
  SetUndoAvailable(*this, false);
  FirstShow = true;
  settingsWhere_ = settings::LocateSettings(ui.GetFolders());
  boundary_.Run([this] {
    SettingsFile = settings::OpenSettings(programDir_, settingsWhere_, ui.Boxes(), settings::ProgramVersion).file;
  });
  if (!SettingsFile) SettingsFile = std::make_unique<settings::IniFile>(settingsWhere_.path);
  RestoreOptions();
  int savedSpec = SettingsFile->ReadInteger(MainForm, "PipeSpec", 0);
  if (savedSpec < 0 || savedSpec > static_cast<int>(cdsPipeSpec->RowCount())) savedSpec = 0;  // "None"
  Window.MoveTo(SettingsFile->ReadInteger(MainForm, "Top", Window.Top()),
                SettingsFile->ReadInteger(MainForm, "Left", Window.Left()));
  AddTrayIcon();
  shell::FillPipeSpecs(*this, savedSpec);
  LoadParameters();
  // Handlers that run while the window is hidden: no undo point, no change of the solved state.
  boundary_.Run([this] { MarkSolved(*this, SettingsFile->ReadBool(MainForm, "Solved", false)); });
  boundary_.Run([this] { EditReynoChange(*this); });
  boundary_.Run([this] { ComboEqChange(*this, false); });
  boundary_.Run([this] {
    cbSolveFor.SetItemIndex(SolveForIndex);
    cbSolveForChange(*this);
  });
  ui.GetTrayIcon().Remove();
  AddTrayIcon();
  return true;
}

}  // namespace zynta::shell
