#include "shell/field_roles.h"

#include <array>

#include "calc/catalog.h"
#include "shell/field_units.h"
#include "shell/solve.h"
#include "shell/undo.h"
#include "units/convert.h"

namespace zynta::shell {

using namespace calc;

namespace {

// Roles by problem position; '?' in the friction-factor column only under Darcy-Weisbach.
//                              NDia IDia Area Len Fric Vis SG Flow HL Vel ReyNo FricFact
constexpr std::array<const char*, ProblemCount> RoleTable = {
    "EE?EEEEE??? ",  // 0: HL given ...
    " ??EEEEEE?? ",  // 1: D given ...
    "EE?EEEE?E?? ",  // 2: Q given ...
    " E?    E ?  ",  // 3: Vel given D,Q
    " ??    E E  ",  // 4: D given Q,Vel
    " E?    ? E  ",  // 5: Q given D,Vel
    "EEEEEEEEEEDD",  // 6: View All (units conversion)
};

bool ShowsEquationChooser(int position) { return position <= 2 || position == ViewAllPosition; }

// The five rows of the friction mapping: a value produced by a switch maps back to its own row.
constexpr std::array<double, 5> RowC = {130, 120, 110, 100, 90};
constexpr std::array<double, 5> RowE = {0.000005, 0.00015, 0.001, 0.003, 0.03};
constexpr std::array<double, 5> RowN = {0.009, 0.011, 0.013, 0.015, 0.017};

int RowOfC(double c) {
  if (c >= 130) return 0;
  if (c >= 120) return 1;
  if (c >= 110) return 2;
  if (c >= 100) return 3;
  return 4;
}

// The E limits lie just above the produced roughness values, so those survive a round trip.
int RowOfE(double e) {
  if (e < 0.000005001) return 0;
  if (e < 0.00015001) return 1;
  if (e <= 0.001001) return 2;
  if (e < 0.003001) return 3;
  return 4;
}

int RowOfN(double n) {
  if (n <= 0.009) return 0;
  if (n <= 0.011) return 1;
  if (n < 0.014) return 2;
  if (n < 0.017) return 3;
  return 4;
}

int RowOf(double value, Equation from) {
  switch (from) {
    case Equation::HazenWilliams: return RowOfC(value);
    case Equation::DarcyWeisbach: return RowOfE(value);
    case Equation::Mannings: break;
  }
  return RowOfN(value);
}

const std::array<double, 5>& RowsOf(Equation to) {
  switch (to) {
    case Equation::HazenWilliams: return RowC;
    case Equation::DarcyWeisbach: return RowE;
    case Equation::Mannings: break;
  }
  return RowN;
}

// The friction is mapped only when the previous text is exactly another equation's name.
bool IsOtherEquation(const std::string& prev, const char* current) {
  if (prev == current) return false;
  return prev == HazenWilliams || prev == DarcyWeisbach || prev == Mannings;
}

void MapFrictionField(FormModel& f, const char* to) {
  if (f.Edits[Fric]->Text().empty() || !IsOtherEquation(f.PrevEquation, to)) return;
  TParamType& fric = f.P(Fric);
  fric.ParamValue = MapFriction(fric.ParamValue, f.PrevEquation, to);
  shell::FromBaseUnitsKeepingDigits(f, Fric);
}

void FillProblems(FormModel& f) {
  if (f.cbSolveFor.ItemIndex() != -1) f.SolveForIndex = f.cbSolveFor.ItemIndex();
  f.cbSolveFor.ClearItems();
  for (const char* problem : ProblemsOf(EquationOf(f.EquationText()))) f.cbSolveFor.AddItem(problem);
  f.cbSolveFor.SetItemIndex(f.SolveForIndex);
}

void LockViscosity(FormModel& f) {
  f.P(Vis).ParamValue = FixedViscosity;
  shell::FromBaseUnits(f, Vis);
  f.Edits[Vis]->SetEnabled(false);
  f.cbVisList.SetEnabled(false);
}

void ShowRow(FormModel& f, int index, bool visible) {
  f.NameLabels[static_cast<size_t>(index)]->SetVisible(visible);
  f.Edits[static_cast<size_t>(index)]->SetVisible(visible);
  f.UnitLabels[static_cast<size_t>(index)]->SetVisible(visible);
}

void ApplyRole(FormModel& f, int index) {
  TParamType& p = f.P(index);
  switch (p.Role) {
    case RoleHidden: ShowRow(f, index, false); break;
    case RoleResult:
      ShowRow(f, index, true);
      if (!f.Solved) p.Edit->SetText(ResultMarker);
      p.Edit->SetFontColor(clResult);
      break;
    case RoleDisplay:
      ShowRow(f, index, true);
      p.Edit->SetEnabled(false);  // nothing enables it again
      p.Edit->SetFontColor(clResult);
      break;
    case RoleEntry:
      ShowRow(f, index, true);
      p.Edit->SetFontColor(clNormal);
      break;
    default: break;  // never given a role
  }
}

// Without a pipe spec the nominal-diameter row stays hidden, while the chooser follows
// the nominal diameter's role, so that "None" can always be left again.
void ApplySpecControls(FormModel& f) {
  const bool noSpec = f.ComboSpec.Text() == "None";
  const bool rowInProblem = f.ParamTypes[NDia] ? f.P(NDia).Role != RoleHidden : f.Edits[NDia]->Visible();
  if (noSpec && f.ParamTypes[NDia]) ShowRow(f, NDia, false);
  f.lbSpec.SetVisible(rowInProblem);
  f.ComboSpec.SetVisible(rowInProblem);
  f.NDiaList.SetVisible(f.Edits[NDia]->Visible() && !noSpec);
}

// The friction has a unit only as a roughness. Under the other equations it is read in the
// first unit (factor 1); the label then names that unit too, so that it is right once the
// roughness comes back.
void ApplyFrictionUnit(FormModel& f) {
  platform::Label& label = *f.UnitLabels[Fric];
  if (EquationOf(f.EquationText()) == Equation::DarcyWeisbach) {
    label.SetVisible(f.Edits[Fric]->Visible());
    return;
  }
  label.SetVisible(false);
  if (!f.ParamTypes[Fric]) return;
  TParamType& fric = f.P(Fric);
  fric.UnitIndex = 0;
  if (!fric.Units.empty()) label.SetCaption(fric.Units.front());
}

}  // namespace

char RoleOf(int position, int index, bool darcy) {
  if (index == FricFact && position <= 2) return darcy ? RoleResult : RoleHidden;
  return RoleTable[static_cast<size_t>(position)][index];
}

double MapFriction(double value, const std::string& from, const std::string& to) {
  return RowsOf(EquationOf(to))[static_cast<size_t>(RowOf(value, EquationOf(from)))];
}

void ComboEqChange(FormModel& f, bool fromUser) {
  shell::PushSnapshot(f);
  if (f.Window.Shown()) MarkSolved(f, false);
  SwitchEquation(f, fromUser);
  ApplyFieldRoles(f);
}

void cbSolveForChange(FormModel& f) {
  shell::PushSnapshot(f);
  if (f.Window.Shown()) MarkSolved(f, false);
  ApplyFieldRoles(f);
}

void SwitchEquation(FormModel& f, bool fromUser) {
  FillProblems(f);
  switch (EquationOf(f.EquationText())) {
    case Equation::DarcyWeisbach:
      f.Edits[Vis]->SetEnabled(true);
      f.cbVisList.SetEnabled(true);
      f.NameLabels[Fric]->SetCaption("Spec Rough (E): ");
      if (fromUser) {
        MapFrictionField(f, DarcyWeisbach);
        f.Edits[FricFact]->SetText("");
      }
      break;
    case Equation::HazenWilliams:
      LockViscosity(f);
      f.lbReyNoUn.SetVisible(true);
      f.NameLabels[Fric]->SetCaption("H-W (C): ");
      if (fromUser) MapFrictionField(f, HazenWilliams);
      break;
    case Equation::Mannings:
      LockViscosity(f);
      f.NameLabels[Fric]->SetCaption("Manning's (n): ");
      if (fromUser) MapFrictionField(f, Mannings);
      break;
  }
  f.PrevEquation = f.EquationText();
}

void ComboEqEnter(FormModel& f) { f.PrevEquation = f.EquationText(); }

void ApplyFieldRoles(FormModel& f) {
  for (int i = 0; i < ParamCount; ++i) {
    if (f.ParamTypes[static_cast<size_t>(i)] && f.Edits[static_cast<size_t>(i)]->TextIs(ResultMarker))
      f.Edits[static_cast<size_t>(i)]->SetText("");
  }
  const int position = f.cbSolveFor.ItemIndex();
  if (position >= 0 && position < ProblemCount) {
    const bool darcy = EquationOf(f.EquationText()) == Equation::DarcyWeisbach;
    for (int i = 0; i < ParamCount; ++i) {
      if (f.ParamTypes[static_cast<size_t>(i)]) f.P(i).Role = RoleOf(position, i, darcy);
    }
    f.ComboEq.SetVisible(ShowsEquationChooser(position));
    f.lbHLEq.SetVisible(ShowsEquationChooser(position));
  }
  for (int i = 0; i < ParamCount; ++i) {
    if (f.ParamTypes[static_cast<size_t>(i)]) ApplyRole(f, i);
  }
  ApplySpecControls(f);
  ApplyFrictionUnit(f);
  f.cbFricList.SetVisible(f.Edits[Fric]->Visible());
  f.cbVisList.SetVisible(f.Edits[Vis]->Visible());
}

}  // namespace zynta::shell
