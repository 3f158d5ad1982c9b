#include "units/field_entry.h"

#include "calc/errors.h"
#include "units/convert.h"
#include "units/number_text.h"

namespace zynta::units {

using namespace calc;

int ParamOfControl(const FormModel& f, const platform::Control& control) {
  for (int i = 0; i < ParamCount; ++i) {
    const auto& p = f.ParamTypes[static_cast<size_t>(i)];
    if (p && p->Edit == &control) return i;
  }
  return -1;
}

bool IsValidNumber(const std::string& text) { return ParseFieldNumber(text).has_value(); }

void NKeyPress(FormModel&, platform::Control&, char&) {
  // Every character passes; whether the text is a number is decided when the field is left.
}

void EditReynoKeyPress(char& key) { key = 0; }

void EditExit(FormModel& f, platform::Control& control) {
  const int index = ParamOfControl(f, control);
  if (index < 0) return;
  TParamType& p = f.P(index);
  const std::string text = p.Edit->Text();
  if (text.empty() || text == ResultMarker) return;
  if (const auto number = ParseFieldNumber(text)) {
    const double s = SGFactor(f, index, p.UnitLabel->Caption());
    p.ParamValue = CheckedFloat(*number / p.Factors[static_cast<size_t>(p.UnitIndex)] / s);
    FromBaseUnits(f, index);
  } else {
    f.StatusBar.SetText("Bad value!");
    p.Edit->SetText("");
    if (f.Window.Shown() && p.Edit->CanFocus()) f.Window.SetFocus(*p.Edit);
  }
}

}  // namespace zynta::units
