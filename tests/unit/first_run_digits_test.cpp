// The shipped first-run state against the two unit presets: every typical value of each
// parameter, shown after Set English Units or Set SI Units, keeps at least three significant
// digits (or shows exactly) and reads back, as the next solve reads it, within 0.5%.
#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calc/catalog.h"
#include "refdata/materials.h"
#include "shell/field_units.h"
#include "units/convert.h"
#include "units/number_text.h"
#include "window_fixture.h"

namespace zynta::shell {
namespace {

using namespace calc;

struct Case {
  int index;
  const char* equation;
  double base;  // the value in the parameter's base unit
  bool english;
};

std::ostream& operator<<(std::ostream& os, const Case& c) {
  return os << ParamTable[static_cast<size_t>(c.index)].id << " " << c.base << " (" << c.equation << ") "
            << (c.english ? "English" : "SI");
}

struct Typical {
  int index;
  const char* equation;
  std::vector<double> values;  // in the unit the engineer thinks in
  double toBase;               // that unit in the parameter's base unit
};

// The ranges an engineer types: inside diameter 0.25-60 in, length 1-50,000 ft, flow
// 1-100,000 gpm, head loss 0.1-1,000 ft, velocity 0.5-15 ft/s, viscosity 0.3-100 cSt,
// C 60-150, roughness 5e-6-0.03 ft; and every Manning's n of the material list.
std::vector<Case> Cases() {
  std::vector<Typical> table = {
      {IDia, DarcyWeisbach, {0.25, 0.364, 0.824, 2.067, 6.065, 23.25, 60}, 1.0},
      {Len, DarcyWeisbach, {1, 3.3, 12.5, 100, 987.6, 5280, 50000}, 12.0},
      {Flow, DarcyWeisbach, {1, 2.75, 7.5, 100, 2500, 33333, 100000}, 1.0},
      {HL, DarcyWeisbach, {0.1, 0.123, 0.75, 21.79, 456.7, 1000}, 1.0},
      {Vel, DarcyWeisbach, {0.5, 1.23456, 2.91, 9.56, 15}, 1.0},
      {Vis, DarcyWeisbach, {0.3, 0.6857, 1.13, 10, 45.6, 100}, 1.0},
      {Fric, DarcyWeisbach, {5e-6, 0.00015, 0.00085, 0.0035, 0.005, 0.03}, 1.0},
      {Fric, HazenWilliams, {60, 100, 120, 130, 140, 150}, 1.0},
      {Fric, Mannings, {}, 1.0},
  };
  for (const char* entry : refdata::MaterialsFor(Mannings))
    table.back().values.push_back(*units::ParseFieldNumber(refdata::MaterialValueText(entry)));
  std::vector<Case> cases;
  for (const Typical& t : table) {
    for (const double value : t.values) {
      for (const bool english : {true, false}) cases.push_back({t.index, t.equation, value * t.toBase, english});
    }
  }
  return cases;
}

class FirstRunDigits : public WindowFixture, public ::testing::WithParamInterface<Case> {
 protected:
  // The value in the first-run unit (View All: every field an entry), then the preset.
  // Returns the field's text afterwards.
  std::string ShowAfterPreset(const Case& c) {
    PickEquation(c.equation);
    PickProblem(6);
    P(c.index).ParamValue = c.base;
    shell::FromBaseUnits(*form, c.index);
    (c.english ? form->SetEnglishUnits1 : form->SetSIUnits1).OnClick();
    return form->Edits[static_cast<size_t>(c.index)]->Text();
  }

  // The text as the next solve reads it, back in the base unit.
  double ReadBack(int index, const std::string& text) {
    const TParamType& p = P(index);
    const std::optional<double> shown = units::ParseFieldNumber(text);
    if (!shown) return std::nan("");
    return *shown / p.Factors[static_cast<size_t>(p.UnitIndex)];
  }
};

TEST_P(FirstRunDigits, ShowsThreeDigitsAndReadsBackWithinHalfAPercent) {
  const Case& c = GetParam();
  const std::string text = ShowAfterPreset(c);
  const double back = ReadBack(c.index, text);
  const double error = std::fabs(back - c.base) / c.base;
  SCOPED_TRACE("shown \"" + text + "\" " + P(c.index).UnitLabel->Caption() + ", read back with relative error " +
               std::to_string(error));
  EXPECT_LE(error, 0.005);
  // A coefficient without unit (C, n) shows as typed; every other value keeps three digits.
  EXPECT_TRUE(units::SignificantDigits(text) >= 3 || back == c.base);
  if (std::string(c.equation) != DarcyWeisbach && c.index == Fric) {
    EXPECT_EQ(back, c.base);
  }
}

INSTANTIATE_TEST_SUITE_P(TypicalValues, FirstRunDigits, ::testing::ValuesIn(Cases()));

}  // namespace
}  // namespace zynta::shell
