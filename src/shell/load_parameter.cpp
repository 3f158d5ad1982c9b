#include "shell/load_parameter.h"

#include <algorithm>
#include <string>

#include "shell/field_units.h"
#include "units/convert.h"
#include "units/errors.h"
#include "units/number_text.h"

namespace zynta::shell {

using namespace settings;

using namespace calc;

namespace {

bool HasCatalog(int index) { return ParamTable[static_cast<size_t>(index)].catalog[0] != '\0'; }

// A catalog holds at most twelve units; further keys are ignored. A section without keys gets
// one unit of factor 1 with an empty name, so the parameter still has its unit 0.
void LoadCatalog(TParamType& p, const IniFile& ini, const char* section) {
  std::vector<std::string> keys = ini.ReadSection(section);
  if (keys.size() > static_cast<size_t>(MaxUnits)) keys.resize(MaxUnits);
  if (keys.empty()) {
    p.Units = {""};
    p.Factors[0] = 1.0;
    return;
  }
  for (size_t j = 0; j < keys.size(); ++j) {
    p.Factors[j] = units::InvariantStrToFloat(ini.ReadString(section, keys[j], "-1.0"));
  }
  p.Units = std::move(keys);
}

void LoadUnitAndDecimals(TParamType& p, const IniFile& ini, int index) {
  const ParamInfo& info = ParamTable[static_cast<size_t>(index)];
  p.UnitIndex = HasCatalog(index) ? ini.ReadInteger(p.Name, "UnitIndex", info.defaultUnitIndex) : 0;
  p.Decimals = index == ReyNo ? 0 : ini.ReadInteger(p.Name, "Decimals", info.defaultDecimals);
  // The display rule is defined for 0 to 18 decimals; other counts only come from an edited file.
  p.Decimals = std::clamp(p.Decimals, 0, 18);
}

// Shows the value. A specific gravity that cannot be read while loading leaves the field as it
// is (its message stays in the status bar); a stored value that cannot be shown at all (one
// that overflows in its unit) is dropped for the default, an empty field. The load goes on.
void Display(FormModel& f, int index) {
  try {
    shell::FromBaseUnits(f, index);
  } catch (const units::InputAbort&) {
  } catch (const units::CalcError&) {
    f.P(index).ParamValue = 0.0;
    f.Edits[static_cast<size_t>(index)]->SetText("");
  }
}

}  // namespace

void LoadParameter(FormModel& f, const IniFile& ini, int index) {
  const ParamInfo& info = ParamTable[static_cast<size_t>(index)];
  auto record = std::make_unique<TParamType>();
  TParamType& p = *record;
  f.ParamTypes[static_cast<size_t>(index)] = std::move(record);
  p.Name = info.name;
  if (HasCatalog(index)) {
    LoadCatalog(p, ini, info.catalog);
  } else {
    p.Factors[0] = 1.0;
  }
  LoadUnitAndDecimals(p, ini, index);
  p.Edit = f.Edits[static_cast<size_t>(index)];
  p.NameLabel = f.NameLabels[static_cast<size_t>(index)];
  p.UnitLabel = f.UnitLabels[static_cast<size_t>(index)];
  if (HasCatalog(index)) {
    if (p.UnitIndex < 0 || p.UnitIndex >= static_cast<int>(p.Units.size())) p.UnitIndex = 0;
    p.UnitLabel->SetCaption(p.Units[static_cast<size_t>(p.UnitIndex)]);
  }
  p.Edit->SetFontColor(ini.ReadString(p.Name, "Color", "clNormal") == "clResult" ? clResult : clNormal);
  if (index != Vis) ShowLoadedValue(f, ini, index);
}

void ShowLoadedValue(FormModel& f, const IniFile& ini, int index) {
  TParamType& p = f.P(index);
  const std::string value = ini.ReadString(p.Name, "Value", "");
  if (index == NDia) {
    p.Edit->SetText(value);
  } else if (value == ResultMarker) {
    p.Edit->SetText(ResultMarker);
  } else if (!value.empty()) {
    const bool valueIsNumber = index == ReyNo || index == FricFact;
    p.ParamValue = units::InvariantStrToFloat(valueIsNumber ? value : ini.ReadString(p.Name, "ParamValue", ""));
    Display(f, index);
  }
}

}  // namespace zynta::shell
