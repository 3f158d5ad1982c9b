#include "calc/solve.h"

#include "calc/catalog.h"
#include "calc/errors.h"
#include "calc/field_roles.h"
#include "calc/solvers.h"
#include "units/convert.h"
#include "units/field_entry.h"
#include "units/number_text.h"

namespace zynta::calc {

namespace {

constexpr const char* SelectProblem = "Use \"Solve For:\" to select problem...";
constexpr const char* SolvedText = "Solved!";
constexpr const char* NotTurbulentText = "Solved!  Flow is not turbulent (may be inaccurate)!";

[[noreturn]] void Abandon(FormModel& f, const std::string& message, platform::Control& control) {
  ShowInputError(f, message, control);
  throw InputAbort{};
}

// The warning reads the displayed (rounded) Reynolds number. A text that is not a number
// ("?" when no Reynolds number was written) gives no warning rather than an error.
bool FlowNotTurbulent(FormModel& f) {
  if (EquationOf(f.EquationText()) == Equation::DarcyWeisbach) return false;
  const platform::TextField& reyno = *f.Edits[ReyNo];
  if (!reyno.Visible() || reyno.Text().empty()) return false;
  const auto re = units::ParseFieldNumber(reyno.Text());
  return re && *re < 4000.0;
}

struct SolvingScope {
  explicit SolvingScope(FormModel& f) : f(f) { f.Solving = true; }
  ~SolvingScope() { f.Solving = false; }
  FormModel& f;
};

void Dispatch(FormModel& f) {
  const Equation eq = EquationOf(f.EquationText());
  switch (f.cbSolveFor.ItemIndex()) {
    case 0:
      if (eq == Equation::HazenWilliams) SolveHwHeadLoss(f);
      else if (eq == Equation::DarcyWeisbach) SolveDwHeadLoss(f);
      else SolveManningHeadLoss(f);
      break;
    case 1:
      if (eq == Equation::HazenWilliams) SolveHwDiameter(f);
      else if (eq == Equation::DarcyWeisbach) SolveDwDiameter(f);
      else SolveManningDiameter(f);
      break;
    case 2:
      if (eq == Equation::HazenWilliams) SolveHwFlow(f);
      else if (eq == Equation::DarcyWeisbach) SolveDwFlow(f);
      else SolveManningFlow(f);
      break;
    case 3: SolveVelocity(f); break;
    case 4: SolveDiameterFromVelocity(f); break;
    case 5: SolveFlowFromVelocity(f); break;
    default: break;  // no problem selected
  }
}

}  // namespace

void Solve1Click(FormModel& f) {
  if (f.cbSolveFor.ItemIndex() > 5) {
    ShowInputError(f, SelectProblem, f.cbSolveFor);
    return;
  }
  SolvingScope solving(f);
  if (platform::Control* focused = f.Window.Focused()) units::EditExit(f, *focused);
  MarkSolved(f, false);
  Dispatch(f);
}

std::string InvalidInputMessage(const FormModel& f, int index) {
  switch (index) {
    case Len: return "Invalid Length!";
    case Flow: return "Invalid Flow!";
    case HL: return "Invalid Headloss!";
    case IDia: return "Invalid Inside Diameter!";
    case Vis: return "Invalid Viscosity!";
    case Vel: return "Invalid Velocity!";
    case Fric:
      switch (EquationOf(f.EquationText())) {
        case Equation::DarcyWeisbach: return "Invalid Specific Roughness!";
        case Equation::HazenWilliams: return "Invalid H-W Coefficient!";
        case Equation::Mannings: return "Invalid Manning's n!";
      }
  }
  return "Invalid input!";
}

double ReadInput(FormModel& f, int index) {
  TParamType& p = f.P(index);
  // The specific gravity comes first, so an invalid one is reported before the value itself.
  const double s = units::SGFactor(f, index, p.UnitLabel->Caption());
  const auto number = units::ParseFieldNumber(p.Edit->Text());
  if (!number) Abandon(f, InvalidInputMessage(f, index), *p.Edit);
  p.ParamValue = CheckedFloat(*number / p.Factors[static_cast<size_t>(p.UnitIndex)] / s);
  // Later reads of this parameter within the solve see the rewritten, rounded text.
  units::FromBaseUnits(f, index);
  if (!(p.ParamValue > 0.0)) Abandon(f, InvalidInputMessage(f, index), *p.Edit);
  return p.ParamValue;
}

double ReadSpecGrav(FormModel& f) {
  TParamType& sg = f.P(SG);
  const auto number = units::ParseFieldNumber(sg.Edit->Text());
  if (number) sg.ParamValue = *number;
  if (!number || !(*number > 0.0)) Abandon(f, "Invalid Spec Grav!", *sg.Edit);
  return *number;
}

double ReadReynolds(FormModel& f) {
  const double re = f.P(ReyNo).ParamValue;
  if (!(re > 0.0)) Abandon(f, "Error getting Reynolds #", *f.Edits[Vel]);
  return re;
}

void WriteResult(FormModel& f, int index, double value) {
  TParamType& p = f.P(index);
  p.ParamValue = CheckedFloat(value);
  p.Edit->SetFontColor(clResult);
  units::FromBaseUnits(f, index);
  if (index == ReyNo) p.UnitLabel->SetVisible(true);
}

void ShowInputError(FormModel& f, const std::string& message, platform::Control& control) {
  // The focus moves first: the exit handler that the move runs may clear the status bar, and
  // must not wipe the message.
  if (f.Window.Shown() && control.CanFocus()) f.Window.SetFocus(control);
  f.StatusBar.SetText(message);
  if (f.SoundOn) f.ui.Beep().MessageBeep(platform::BeepError);
  f.Solving = false;
}

void MarkSolved(FormModel& f, bool flag) {
  if (flag) {
    f.StatusBar.SetText(FlowNotTurbulent(f) ? NotTurbulentText : SolvedText);
    if (!f.Restoring && f.Window.Shown() && f.SoundOn) f.ui.Beep().MessageBeep(platform::BeepSuccess);
  } else {
    f.StatusBar.SetText("");
    f.lbReyNoUn.SetCaption("");
  }
  f.Solved = flag;
  ApplyFieldRoles(f);
}

}  // namespace zynta::calc
