#include "shell/undo.h"

#include "shell/field_roles.h"
#include "shell/field_units.h"
#include "shell/solve.h"
#include "units/convert.h"

namespace zynta::shell {

using namespace calc;

namespace {

void RefreshSelection(FormModel& f) {
  f.CurrentSelection.Equation = f.ComboEq.Text();
  f.CurrentSelection.SolveFor = f.cbSolveFor.ItemIndex();
  f.CurrentSelection.PipeSpec = f.ComboSpec.ItemIndex();
}

// The selection comes from the previous call: a snapshot taken inside a chooser's change
// handler records the choice from before the change.
void TakeSnapshot(const FormModel& f, TCalcSnapShot& snap) {
  snap.Solved = f.Solved;
  snap.Equation = f.CurrentSelection.Equation;
  snap.SolveFor = f.CurrentSelection.SolveFor;
  snap.PipeSpec = f.CurrentSelection.PipeSpec;
  for (int i = 0; i < ParamCount; ++i) {
    const TParamType& p = *f.ParamTypes[static_cast<size_t>(i)];
    TParamState& s = snap.Params[static_cast<size_t>(i)];
    s.ParamValue = p.ParamValue;
    s.Text = p.Edit->Text();
    s.UnitIndex = p.UnitIndex;
    s.Decimals = p.Decimals;
    s.Color = p.Edit->BackgroundColor();
    s.Visible = p.Edit->Visible();
  }
}

void ShowDepth(FormModel& f) { f.lbStackCount.SetCaption(std::to_string(f.SnapshotStack.size())); }

void RestoreParameter(FormModel& f, int index, const TParamState& s) {
  TParamType& p = f.P(index);
  p.ParamValue = s.ParamValue;
  p.Decimals = s.Decimals;
  p.Edit->SetText(s.Text);
  if (s.UnitIndex != p.UnitIndex) {
    p.UnitIndex = s.UnitIndex;
    p.UnitLabel->SetCaption(calc::UnitName(p, p.UnitIndex));
  }
  p.Edit->SetBackgroundColor(s.Color);
  p.Edit->SetVisible(s.Visible);
}

struct RestoringScope {
  explicit RestoringScope(FormModel& f) : f(f) { f.Restoring = true; }
  ~RestoringScope() { f.Restoring = false; }
  FormModel& f;
};

}  // namespace

void SetUndoAvailable(FormModel& f, bool flag) {
  f.UndoAvailable = flag;
  f.Undo1.SetEnabled(flag);
}

// The first change made on screen asks the web site for a newer version, when that is on
// (the check is start-up's, registered as the window's hook). A malformed version file ends
// the action there: FirstShow stays set and nothing is recorded.
static void UpdateCheckAtFirstChange(FormModel& f) {
  if (!f.CheckUpdatesAtStart || !f.FirstShow || !f.FirstChangeCheck) return;
  f.FirstChangeCheck();
}

void PushSnapshot(FormModel& f) {
  if (f.Window.Shown()) {
    UpdateCheckAtFirstChange(f);
    f.FirstShow = false;
    if (!f.ParamTypes[0]) return;
    TakeSnapshot(f, f.SnapshotStack.emplace_back());
    SetUndoAvailable(f, true);
    ShowDepth(f);
  }
  RefreshSelection(f);
}

void sbBackClick(FormModel& f) {
  if (!f.UndoAvailable || f.SnapshotStack.empty()) return;
  RestoringScope restoring(f);
  const TCalcSnapShot snap = std::move(f.SnapshotStack.back());
  f.SnapshotStack.pop_back();
  if (f.SnapshotStack.empty()) SetUndoAvailable(f, false);
  ShowDepth(f);

  f.SolveForIndex = snap.SolveFor;
  f.ComboEq.SetText(snap.Equation);
  f.cbSolveFor.SetItemIndex(snap.SolveFor);
  SwitchEquation(f, true);
  f.ComboSpec.SetItemIndex(snap.PipeSpec);
  for (int i = 0; i < ParamCount; ++i) RestoreParameter(f, i, snap.Params[static_cast<size_t>(i)]);
  // Shown only once every parameter is back, the specific gravity first: the units that convert
  // through it read its field, which must show the restored value, not the newer text.
  auto redisplay = [&f](int i) {
    const std::string text = f.Edits[static_cast<size_t>(i)]->Text();
    if (!text.empty() && text != ResultMarker) shell::FromBaseUnits(f, i);
  };
  redisplay(SG);
  for (int i = 0; i < ParamCount; ++i) {
    if (i != SG) redisplay(i);
  }
  MarkSolved(f, snap.Solved);
  // The next snapshot records the restored choice, not the one from before the undo.
  RefreshSelection(f);
}

}  // namespace zynta::shell
