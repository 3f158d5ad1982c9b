#include "shell/field_entry.h"

#include "calc/catalog.h"
#include "calc/field_io.h"
#include "shell/field_roles.h"
#include "shell/field_units.h"
#include "shell/solve.h"
#include "shell/undo.h"
#include "shell/window_fields.h"
#include "units/convert.h"
#include "units/errors.h"
#include "units/number_text.h"

namespace zynta::shell {

using namespace units;

using namespace calc;
using shell::PushSnapshot;

namespace {

constexpr const char* ResultRefused = "This is a result (?), to convert select \"View All\"!";

std::string TextOf(const platform::Control& control) {
  if (const auto* field = dynamic_cast<const platform::TextField*>(&control)) return field->Text();
  if (const auto* combo = dynamic_cast<const platform::ComboBox*>(&control)) return combo->Text();
  return "";
}

// Choosers have no user-modified flag.
bool UserModified(const platform::Control& control) {
  const auto* field = dynamic_cast<const platform::TextField*>(&control);
  return field && field->Modified();
}

platform::TextField* FocusedField(FormModel& f) { return dynamic_cast<platform::TextField*>(f.Window.Focused()); }

bool HoldsValue(const std::string& text) { return !text.empty() && text != ResultMarker; }

}  // namespace

int ParamOfControl(const FormModel& f, const platform::Control& control) {
  for (int i = 0; i < ParamCount; ++i) {
    const auto& p = f.ParamTypes[static_cast<size_t>(i)];
    if (p && p->Edit == &control) return i;
  }
  return -1;
}

bool IsValidNumber(const std::string& text) { return ParseFieldNumber(text).has_value(); }

// No character is filtered by kind: whether the text is a number is decided when the field is
// left. What a key does here is end the solution on screen.
void NKeyPress(FormModel& f, const platform::Control& control, char& key) {
  if (f.Solved) PushSnapshot(f);
  MarkSolved(f, false);
  if (TextOf(control) == ResultMarker) {
    key = 0;
    ShowInputError(f, ResultRefused, f.cbSolveFor);
  }
}

void EditReynoKeyPress(char& key) { key = 0; }

void ClearStatusBar(FormModel& f, const platform::Control& control) {
  if (UserModified(control)) MarkSolved(f, false);
}

void EditExit(FormModel& f, platform::Control& control) {
  if (f.Solving) {
    PushSnapshot(f);
  } else if (UserModified(control)) {
    PushSnapshot(f);
    MarkSolved(f, false);
  }
  // The change is accounted for: without this, every later exit from the field would record
  // another undo point and end the solution on screen, though nobody typed.
  if (auto* field = dynamic_cast<platform::TextField*>(&control)) field->SetModified(false);

  const int index = ParamOfControl(f, control);
  if (index < 0) return;
  TParamType& p = f.P(index);
  const std::string text = p.Edit->Text();
  if (!HoldsValue(text)) return;
  shell::WindowFields fields(f);
  // The nominal diameter's field keeps its text as typed.
  if (!calc::CommitNumber(fields, index, index != NDia || f.RenderNominalDiameter)) {
    f.StatusBar.SetText(BadValueText);
    f.Outcome = {SolveOutcome::Kind::Refused, BadValueText, index};
    f.Outcome.notANumber = true;
    p.Edit->SetText("");
    if (f.Window.Shown() && p.Edit->CanFocus()) f.Window.SetFocus(*p.Edit);
  }
}

void EditFieldChange(FormModel& f, platform::TextField& field) {
  const int index = ParamOfControl(f, field);
  if (index < 0 || !HoldsValue(field.Text())) return;
  TParamType& p = f.P(index);
  const double s = SGFactor(f, index, p.UnitLabel->Caption());
  p.ParamValue = CheckedFloat(FieldNumber(field.Text()) / p.Factors[static_cast<size_t>(p.UnitIndex)] / s);
}

void EditContextPopup(FormModel& f, const platform::Control& control) {
  f.MenuParamIndex = ParamOfControl(f, control);
  if (f.MenuParamIndex < 0) return;
  const std::string decimals = std::to_string(f.P(f.MenuParamIndex).Decimals);
  for (platform::MenuItem* entry : f.DecimalsMenu.Entries()) entry->SetChecked(entry->Caption() == decimals);
}

void DispDecimalsClick(FormModel& f, const platform::MenuItem& chosen) {
  if (f.MenuParamIndex < 0) return;
  TParamType& p = f.P(f.MenuParamIndex);
  const std::string caption = chosen.Caption();
  for (platform::MenuItem* entry : f.DecimalsMenu.Entries()) {
    const bool match = entry->Caption() == caption;
    entry->SetChecked(match);
    if (match) p.Decimals = std::stoi(caption);
  }
  if (!HoldsValue(p.Edit->Text())) return;
  EditFieldChange(f, *p.Edit);
  FromBaseUnits(f, f.MenuParamIndex);
}

void Cut1Click(FormModel& f) {
  if (platform::TextField* field = FocusedField(f)) field->CutToClipboard();
}

void Copy1Click(FormModel& f) {
  if (platform::TextField* field = FocusedField(f)) field->CopyToClipboard();
}

void Paste1Click(FormModel& f) {
  if (platform::TextField* field = FocusedField(f)) field->PasteFromClipboard();
}

void ClearAllFields(FormModel& f) {
  PushSnapshot(f);
  // Under Hazen-Williams and Mannings the viscosity field holds the fixed viscosity those
  // equations read, disabled so nobody can type it again: it stays.
  const bool viscosityFixed = EquationOf(f.EquationText()) != Equation::DarcyWeisbach;
  for (int i = 0; i < ParamCount; ++i) {
    if (!f.ParamTypes[static_cast<size_t>(i)] || (i == Vis && viscosityFixed)) continue;
    platform::TextField& edit = *f.Edits[static_cast<size_t>(i)];
    if (edit.Text() != ResultMarker) edit.SetText("");
  }
  MarkSolved(f, false);
}

}  // namespace zynta::shell
