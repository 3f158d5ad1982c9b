#include "calc/field_io.h"

#include "calc/params.h"
#include "units/convert.h"
#include "units/errors.h"
#include "units/number_text.h"

namespace zynta::calc {

namespace {

// 1.0, or the specific gravity read from its field.
double GravityFactor(Fields& f, int index) {
  if (index != HL && index != Vis) return 1.0;  // no other parameter has such units
  const bool needed = units::NeedsSpecificGravity(ParamTable[static_cast<size_t>(index)].name, f.UnitName(index));
  return needed ? ReadSpecGrav(f) : 1.0;
}

}  // namespace

std::string InvalidInputMessage(Equation equation, int index) {
  switch (index) {
    case Len: return "Invalid Length!";
    case Flow: return "Invalid Flow!";
    case HL: return "Invalid Headloss!";
    case IDia: return "Invalid Inside Diameter!";
    case Vis: return "Invalid Viscosity!";
    case Vel: return "Invalid Velocity!";
    case Fric:
      switch (equation) {
        case Equation::DarcyWeisbach: return "Invalid Specific Roughness!";
        case Equation::HazenWilliams: return "Invalid H-W Coefficient!";
        case Equation::Mannings: return "Invalid Manning's n!";
      }
  }
  return "Invalid input!";
}

std::optional<double> Fields::Number(int index) const { return units::ParseFieldNumber(Text(index)); }

void Fields::ShowNumber(int index, double v, double value, int decimals) {
  SetText(index, units::DisplayText(v, value, decimals, units::DecimalSeparator()));
}

namespace {

// ShowValue with the specific-gravity factor s already read: reading it again between a read
// of the value and its display would give the same factor, as nothing changes the SG field.
void ShowValueWith(Fields& f, int index, double s, int keepSignificant = 0) {
  const double value = f.Value(index);
  const double v = units::CheckedFloat(value * f.Factor(index) * s);
  if (keepSignificant > 0)
    f.SetDecimals(index,
                  units::DecimalsShowing(v, value, f.Decimals(index), keepSignificant, units::DecimalSeparator()));
  f.ShowNumber(index, v, value, f.Decimals(index));
}

}  // namespace

void ShowValue(Fields& f, int index, int keepSignificant) {
  ShowValueWith(f, index, GravityFactor(f, index), keepSignificant);
}

bool CommitNumber(Fields& f, int index, bool show) {
  const auto number = f.Number(index);
  if (!number) return false;
  const double s = GravityFactor(f, index);
  f.SetValue(index, units::CheckedFloat(*number / f.Factor(index) / s));
  if (show) {
    ShowValueWith(f, index, s);
    f.KeepRead(index, s);
  }
  return true;
}

double ReadInput(Fields& f, int index) {
  // The specific gravity comes first, so an invalid one is reported before the value itself.
  const double s = GravityFactor(f, index);
  if (const auto kept = f.Reread(index, s)) {
    // The read below, of a text its rewrite leaves as it is: the same value, and the same
    // test of the floating-point flags.
    f.SetValue(index, units::CheckedFloat(*kept));
    if (!(*kept > 0.0)) f.Refuse(InvalidInputMessage(f.Solving(), index), index);
    return *kept;
  }
  const auto number = f.Number(index);
  if (!number) f.Refuse(InvalidInputMessage(f.Solving(), index), index);
  f.SetValue(index, units::CheckedFloat(*number / f.Factor(index) / s));
  // Later reads of this parameter within the solve see the rewritten, rounded text.
  ShowValueWith(f, index, s);
  f.KeepRead(index, s);
  const double value = f.Value(index);
  if (!(value > 0.0)) f.Refuse(InvalidInputMessage(f.Solving(), index), index);
  return value;
}

double ReadSpecGrav(Fields& f) {
  const auto number = f.Number(SG);
  if (number) f.SetValue(SG, *number);
  if (!number || !(*number > 0.0)) f.Refuse("Invalid Spec Grav!", SG);
  return *number;
}

double ReadReynolds(Fields& f) {
  const double re = f.Value(ReyNo);
  if (!(re > 0.0)) f.Refuse("Error getting Reynolds #", Vel);
  return re;
}

void WriteResult(Fields& f, int index, double value) {
  f.SetValue(index, units::CheckedFloat(value));
  f.MarkResult(index);
  ShowValue(f, index);
  if (index == ReyNo) f.ShowRegime(true);
}

}  // namespace zynta::calc
