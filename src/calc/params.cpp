#include "calc/params.h"

#include "units/number_text.h"

namespace zynta::calc {

// Base units: inch (diameters, length), square inch, foot (roughness), centistoke, US gallon
// per minute, foot of the flowing liquid, foot per second; SG, ReyNo and FricFact have none.
const std::array<ParamInfo, ParamCount> ParamTable = {{
    {"NDia", "Nominal Diameter", "EditNDia", "lbNDia", "Nom Dia: ", "lbNDiaUn", "UnitsLength/Diameter", 0, 2},
    {"IDia", "Inside Diameter", "EditIDia", "lbIDia", "Inside Dia (D): ", "lbIDiaUn", "UnitsLength/Diameter", 0,
     2},
    {"Area", "Area", "EditArea", "lbArea", "Area (A): ", "lbAreaUn", "UnitsArea", 0, 2},
    {"Len", "Length", "EditLen", "lbLen", "Length (L): ", "lbLenUn", "UnitsLength/Diameter", 0, 2},
    {"Fric", "Friction", "EditFric", "lbFric", "", "lbFricUn", "UnitsFriction", 0, 2},
    {"Vis", "Viscosity", "EditVis", "lbVis", "Viscosity (Vis): ", "LbVisUn", "UnitsViscosity", 0, 2},
    {"SG", "Specific Gravity", "EditSG", "lbSG", "Spec Grav (SG): ", "lbSGUn", "", 0, 2},
    {"Flow", "Flow", "EditFlow", "lbFlow", "Flow (Q): ", "lbFlowUn", "UnitsFlow", 1, 2},
    {"HL", "Head Loss", "EditHL", "lbHL", "Headloss (HL): ", "lbHLUn", "UnitsPressure/Headloss", 0, 2},
    {"Vel", "Velocity", "EditVel", "lbVel", "Velocity (Vel): ", "lbVelUn", "UnitsVelocity", 0, 2},
    {"ReyNo", "ReyNo", "EditReyno", "lbReyno", "Reynolds # (Nr): ", "lbReyNoUn", "", 0, 0},
    {"FricFact", "FricFact", "EditFricFact", "lbFricFact", "Friction Factor (f): ", "lbFricFactUn", "", 0, 3},
}};

const char* RoleName(char role) {
  switch (role) {
    case RoleEntry: return "entry";
    case RoleResult: return "result";
    case RoleDisplay: return "display";
    case RoleHidden: return "hidden";
    default: return "unset";
  }
}

int ParamIndexOf(const std::string& id) {
  for (int i = 0; i < ParamCount; ++i) {
    if (id == ParamTable[i].id) return i;
  }
  return -1;
}

const std::string& ShownNumber::Show(double shownV, double shownValue, int shownDecimals, char shownSeparator) {
  if (shownV == v && shownValue == value && shownDecimals == decimals && shownSeparator == separator) return text;
  v = shownV;
  value = shownValue;
  decimals = shownDecimals;
  separator = shownSeparator;
  readKept = false;  // the kept read gave another value
  std::string shown = units::DisplayText(shownV, shownValue, shownDecimals, shownSeparator);
  // Another number with the same text (an input read again after its rewrite): what the text
  // reads as stays.
  if (shown == text) return text;
  text = std::move(shown);
  number.reset();
  numberRead = false;
  readShown = false;
  return text;
}

std::optional<double> ShownNumber::Read(const std::string& fieldText) {
  readShown = fieldText == text;
  if (!readShown) return units::ParseFieldNumber(fieldText);
  if (!numberRead) {
    number = units::ParseFieldNumber(text);
    numberRead = true;
  }
  return number;
}

std::string UnitName(const TParamType& p, int unitIndex) {
  if (unitIndex < 0 || unitIndex >= static_cast<int>(p.Units.size())) return "";
  return p.Units[static_cast<size_t>(unitIndex)];
}

}  // namespace zynta::calc
