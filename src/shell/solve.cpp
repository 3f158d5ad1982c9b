#include "shell/solve.h"

#include "calc/catalog.h"
#include "calc/field_io.h"
#include "calc/solvers.h"
#include "shell/field_entry.h"
#include "shell/field_roles.h"
#include "shell/window_fields.h"
#include "units/errors.h"

namespace zynta::shell {

using namespace calc;

namespace {

constexpr const char* SelectProblem = "Use \"Solve For:\" to select problem...";
struct SolvingScope {
  explicit SolvingScope(FormModel& f) : f(f) { f.Solving = true; }
  ~SolvingScope() { f.Solving = false; }
  FormModel& f;
};

}  // namespace

void Solve1Click(FormModel& f) {
  if (f.cbSolveFor.ItemIndex() > 5) {
    ShowInputError(f, SelectProblem, f.cbSolveFor);
    return;
  }
  f.Outcome = {};
  SolvingScope solving(f);
  if (platform::Control* focused = f.Window.Focused()) shell::EditExit(f, *focused);
  MarkSolved(f, false);
  const int position = f.cbSolveFor.ItemIndex();
  if (position < 0) return;  // no problem selected
  WindowFields fields(f);
  SolveProblem(fields, position);
  MarkSolved(f, true);
}

double ReadSpecGrav(FormModel& f) {
  WindowFields fields(f);
  return calc::ReadSpecGrav(fields);
}

void ShowInputError(FormModel& f, const std::string& message, platform::Control& control) {
  // The focus moves first: the exit handler that the move runs may clear the status bar, and
  // must not wipe the message.
  if (f.Window.Shown() && control.CanFocus()) f.Window.SetFocus(control);
  f.StatusBar.SetText(message);
  f.Outcome = {SolveOutcome::Kind::Refused, message, ParamOfControl(f, control)};
  if (f.SoundOn) f.ui.Beep().MessageBeep(platform::BeepError);
  f.Solving = false;
}

void MarkSolved(FormModel& f, bool flag) {
  if (flag) {
    const platform::TextField& reyno = *f.Edits[ReyNo];
    f.Outcome = SolvedOutcome(EquationOf(f.EquationText()), reyno.Visible(), reyno.Text());
    f.StatusBar.SetText(f.Outcome.status);
    if (!f.Restoring && f.Window.Shown() && f.SoundOn) f.ui.Beep().MessageBeep(platform::BeepSuccess);
  } else {
    f.StatusBar.SetText("");
    f.lbReyNoUn.SetCaption("");
  }
  f.Solved = flag;
  ApplyFieldRoles(f);
}

}  // namespace zynta::shell
