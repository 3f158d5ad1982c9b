#include "shell/window_fields.h"

#include "calc/solvers.h"
#include "shell/solve.h"
#include "units/errors.h"
#include "units/number_text.h"

namespace zynta::shell {

using namespace calc;

Equation WindowFields::Solving() const { return EquationOf(f_.EquationText()); }

std::string WindowFields::Text(int index) const { return f_.P(index).Edit->Text(); }

void WindowFields::SetText(int index, const std::string& text) { f_.P(index).Edit->SetText(text); }

std::optional<double> WindowFields::Number(int index) const {
  TParamType& p = f_.P(index);
  if (p.Edit->TextIs(p.Shown.text)) return p.Shown.Read(p.Shown.text);
  return p.Shown.Read(p.Edit->Text());
}

// The same number shows as the same text, written out once: a result shown again after "?",
// an input read again.
void WindowFields::ShowNumber(int index, double v, double value, int decimals) {
  TParamType& p = f_.P(index);
  p.Edit->SetText(p.Shown.Show(v, value, decimals, units::DecimalSeparator()));  // nothing when shown already
}

void WindowFields::KeepRead(int index, double gravity) {
  TParamType& p = f_.P(index);
  p.Shown.KeepRead(p.Factors[static_cast<size_t>(p.UnitIndex)], gravity);
}

std::optional<double> WindowFields::Reread(int index, double gravity) const {
  const TParamType& p = f_.P(index);
  const std::optional<double> kept = p.Shown.Reread(p.Shown.text, p.Factors[static_cast<size_t>(p.UnitIndex)],
                                                    gravity, p.Decimals, units::DecimalSeparator());
  if (kept && !p.Edit->TextIs(p.Shown.text)) return std::nullopt;
  return kept;
}

std::string WindowFields::UnitName(int index) const { return f_.P(index).UnitLabel->Caption(); }

double WindowFields::Factor(int index) const {
  const TParamType& p = f_.P(index);
  return p.Factors[static_cast<size_t>(p.UnitIndex)];
}

int WindowFields::Decimals(int index) const { return f_.P(index).Decimals; }

void WindowFields::SetDecimals(int index, int decimals) { f_.P(index).Decimals = decimals; }

double WindowFields::Value(int index) const { return f_.P(index).ParamValue; }

void WindowFields::SetValue(int index, double value) { f_.P(index).ParamValue = value; }

void WindowFields::MarkResult(int index) { f_.P(index).Edit->SetFontColor(clResult); }

void WindowFields::ShowRegime(bool shown) { f_.lbReyNoUn.SetVisible(shown); }

void WindowFields::UpdateRegime() {
  EditReynoChange(f_);
  f_.lbReyNoUn.Repaint();
}

void WindowFields::Point(int index) {
  platform::TextField& field = *f_.P(index).Edit;
  if (f_.Window.Shown() && field.CanFocus()) f_.Window.SetFocus(field);
}

void WindowFields::Refuse(const std::string& message, int index) {
  ShowInputError(f_, message, *f_.P(index).Edit);
  throw units::InputAbort{};
}

void EditReynoChange(FormModel& f) {
  const platform::TextField& reyno = *f.Edits[ReyNo];
  if (f.ParamTypes[ReyNo] && f.P(ReyNo).Role == RoleHidden) return;
  if (reyno.TextIs("") || reyno.TextIs(ResultMarker) || !reyno.Visible()) return;
  const std::string text = reyno.Text();
  const std::string regime = RegimeOf(text);  // only computed values reach this field
  if (!regime.empty()) f.lbReyNoUn.SetCaption(regime);
}

}  // namespace zynta::shell
