#pragma once
// What the core knows of the calculator window: its controls, the twelve parameter records
// and the window flags. The subsystems' operations are procedures on this state; the window
// model of the shell binds them to the controls' events.

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "calc/outcome.h"
#include "calc/params.h"
#include "platform/platform.h"
#include "refdata/fittings.h"
#include "refdata/table.h"
#include "shell/pump_panel.h"
#include "shell/snapshot.h"

namespace zynta::shell {

struct FormModel {
  explicit FormModel(platform::Platform& ui);
  FormModel(const FormModel&) = delete;
  FormModel& operator=(const FormModel&) = delete;

  platform::Platform& ui;
  std::array<std::unique_ptr<calc::TParamType>, calc::ParamCount> ParamTypes;

  // The parameter rows' controls, by parameter index (they exist before the records).
  std::array<platform::TextField*, calc::ParamCount> Edits{};
  std::array<platform::Label*, calc::ParamCount> NameLabels{};
  std::array<platform::Label*, calc::ParamCount> UnitLabels{};

  platform::ComboBox& ComboEq;     // the equation chooser
  platform::ComboBox& cbSolveFor;  // the problem chooser
  platform::ComboBox& ComboSpec;   // the pipe-spec chooser
  platform::ComboBox& NDiaList;    // nominal sizes of the chosen pipe spec
  platform::ComboBox& cbVisList;   // fluids
  platform::ComboBox& cbFricList;  // materials
  platform::Label& lbHLEq;
  platform::Label& lbSpec;
  platform::Label& lbReyNoUn;        // the flow-regime label beside the Reynolds number
  platform::Label& lbStackCount;     // hidden: the depth of the undo history
  platform::TextField& MemoClipbrd;  // hidden: the buffer of the clipboard report
  platform::MenuItem& Solve1;
  platform::MenuItem& Undo1;
  platform::MenuItem& CopytoClipboard2;
  platform::MenuItem& Sound1;
  platform::MenuItem& StayonTop1;
  platform::MenuItem& StartHidden1;
  platform::MenuItem& Checkforupdates1;
  platform::MenuItem& ClearFields2;
  platform::MenuItem& Plot1;  // Tools, "Plot...": the plot window of the solved state
  platform::MenuItem& Help2;
  platform::MenuItem& About1;
  platform::Menu& TaskBarPopupMenu;  // the notification icon's menu
  platform::MenuItem& SetEnglishUnits1;
  platform::MenuItem& SetSIUnits1;
  platform::Menu& UnitsPopupMenu;  // one menu for every unit label, rebuilt at each opening
  platform::Menu& EditPopupMenu;   // the field menu: Cut, Copy, Paste and "Decimal places"
  platform::Menu& DecimalsMenu;    // its submenu, entries "1" to "6"
  platform::StatusBar& StatusBar;
  platform::Window& Window;

  bool Solved = false;  // the values on screen solve the current problem
  // What the last Solve or commit of a field came to, as the status bar or a message box shows it.
  calc::SolveOutcome Outcome;
  bool Solving = false;    // a Solve command is running
  bool SoundOn = false;    // beeps allowed
  bool Restoring = false;  // an undo is being applied
  // While off, no display pass reformats the nominal diameter's field.
  bool RenderNominalDiameter = false;
  bool NoIntro = false;              // the intro window is not shown at start
  bool CheckUpdatesAtStart = false;  // the update check runs at the first change on screen
  int SolveForIndex = 0;             // the remembered problem position
  // The reference tables, opened with the window.
  std::unique_ptr<refdata::Table> cdsPipeSpec;
  std::unique_ptr<refdata::Table> cdsPipeSize;  // the detail of cdsPipeSpec on Index
  std::unique_ptr<refdata::Table> cdsLiq_Prop;
  std::string CurrentSpecIndex;  // Index of the chosen pipe spec, or "None"

  // The undo history.
  TPrev CurrentSelection;
  TSnapshotStack SnapshotStack;
  bool UndoAvailable = false;
  bool FirstShow = false;  // until the first snapshot taken with the window on screen
  // The update check of the first change on screen, when start-up has registered one.
  std::function<void()> FirstChangeCheck;

  // The plot window's pumps and their system (static head, fittings), kept in the settings.
  PumpPanel Pumps;
  std::string PumpRefusal;                 // why the panel's last edit was not taken
  std::vector<refdata::Fitting> Fittings;  // the Fittings dialog's list (Fittings.XML)

  int MenuParamIndex = -1;                   // the parameter whose unit or field menu was opened last
  platform::Label* MenuUnitLabel = nullptr;  // the unit label whose menu was opened last
  std::string PrevEquation;                  // the equation before the current switch

  calc::TParamType& P(int index) { return *ParamTypes[static_cast<size_t>(index)]; }
  std::string EquationText() const { return ComboEq.Text(); }
};

}  // namespace zynta::shell
