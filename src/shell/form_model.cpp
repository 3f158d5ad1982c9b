#include "shell/form_model.h"

namespace zynta::shell {

using namespace calc;

namespace {
// The captions of the decimal places stay bare digits: they are read as numbers.
platform::Menu& BuildFieldMenu(platform::Menu& menu) {
  menu.Add("Cut");
  menu.Add("Copy");
  menu.Add("Paste");
  menu.AddSeparator();
  platform::Menu& decimals = menu.AddSubmenu("Decimal places");
  for (int n = 1; n <= 6; ++n) decimals.Add(std::to_string(n));
  return decimals;
}
}  // namespace

FormModel::FormModel(platform::Platform& ui)
    : ui(ui),
      ComboEq(ui.GetComboBox("ComboEq")),
      cbSolveFor(ui.GetComboBox("cbSolveFor")),
      ComboSpec(ui.GetComboBox("ComboSpec")),
      NDiaList(ui.GetComboBox("NDiaList")),
      cbVisList(ui.GetComboBox("cbVisList")),
      cbFricList(ui.GetComboBox("cbFricList")),
      lbHLEq(ui.GetLabel("lbHLEq")),
      lbSpec(ui.GetLabel("lbSpec")),
      lbReyNoUn(ui.GetLabel("lbReyNoUn")),
      lbStackCount(ui.GetLabel("lbStackCount")),
      MemoClipbrd(ui.GetTextField("MemoClipbrd")),
      Solve1(ui.GetMenuItem("Solve1")),
      Undo1(ui.GetMenuItem("Undo1")),
      CopytoClipboard2(ui.GetMenuItem("CopytoClipboard2")),
      Sound1(ui.GetMenuItem("Sound1")),
      StayonTop1(ui.GetMenuItem("StayonTop1")),
      StartHidden1(ui.GetMenuItem("StartHidden1")),
      Checkforupdates1(ui.GetMenuItem("Checkforupdates1")),
      ClearFields2(ui.GetMenuItem("ClearFields2")),
      Plot1(ui.GetMenuItem("Plot1")),
      Help2(ui.GetMenuItem("Help2")),
      About1(ui.GetMenuItem("About1")),
      TaskBarPopupMenu(ui.GetMenu("TaskBarPopupMenu")),
      SetEnglishUnits1(ui.GetMenuItem("SetEnglishUnits1")),
      SetSIUnits1(ui.GetMenuItem("SetSIUnits1")),
      UnitsPopupMenu(ui.GetMenu("UnitsPopupMenu")),
      EditPopupMenu(ui.GetMenu("EditPopupMenu")),
      DecimalsMenu(BuildFieldMenu(EditPopupMenu)),
      StatusBar(ui.GetStatusBar()),
      Window(ui.GetWindow()) {
  for (int i = 0; i < ParamCount; ++i) {
    const ParamInfo& info = ParamTable[static_cast<size_t>(i)];
    Edits[static_cast<size_t>(i)] = &ui.GetTextField(info.edit);
    NameLabels[static_cast<size_t>(i)] = &ui.GetLabel(info.nameLabel);
    UnitLabels[static_cast<size_t>(i)] = &ui.GetLabel(info.unitLabel);
    NameLabels[static_cast<size_t>(i)]->SetCaption(info.caption);
  }
  ComboEq.SetStyle(platform::ComboStyle::Editable);
  cbSolveFor.SetStyle(platform::ComboStyle::PickOnly);
  ComboSpec.SetStyle(platform::ComboStyle::Editable);
  lbHLEq.SetCaption("Equation: ");
  lbSpec.SetCaption("Pipe Spec: ");
  Solve1.SetCaption("&Solve-F2");
  Undo1.SetCaption("&Undo");
  CopytoClipboard2.SetCaption("&Copy to Clipboard");
  lbStackCount.SetVisible(false);
  lbStackCount.SetCaption("0");
  MemoClipbrd.SetVisible(false);
  // Blank by design: the clipboard report gives them trailing blanks.
  UnitLabels[SG]->SetCaption(" ");
  UnitLabels[FricFact]->SetCaption(" ");
  Sound1.SetCaption("S&ound");
  StayonTop1.SetCaption("Stay on &Top");
  StartHidden1.SetCaption("Start &Hidden");
  Checkforupdates1.SetCaption("&Auto check for updates");
  ClearFields2.SetCaption("Clear &Fields");
  Plot1.SetCaption("&Plot...");
  Help2.SetCaption("&Help");
  About1.SetCaption("&About");
  SetEnglishUnits1.SetCaption("Set &English Units");
  SetSIUnits1.SetCaption("Set &SI Units");
}

}  // namespace zynta::shell
