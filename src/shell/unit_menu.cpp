#include "shell/unit_menu.h"

#include <array>
#include <cctype>

#include "calc/catalog.h"
#include "shell/field_units.h"
#include "shell/pipe_spec.h"
#include "shell/undo.h"
#include "units/convert.h"

namespace zynta::shell {

using namespace units;

using namespace calc;
using shell::PushSnapshot;

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

bool HoldsValue(const std::string& text) { return !text.empty() && text != ResultMarker; }

// Steps shared by both unit handlers: the label shows the chosen caption, the unit is the
// first menu entry of that name in any letter case. Returns the old unit, or -1 when the
// choice changes nothing.
int SwitchUnit(FormModel& f, const std::string& caption) {
  if (f.MenuUnitLabel) f.MenuUnitLabel->SetCaption(caption);
  if (f.MenuParamIndex < 0) return -1;
  TParamType& p = f.P(f.MenuParamIndex);
  const int old = p.UnitIndex;
  int chosen = -1;
  const auto entries = f.UnitsPopupMenu.Entries();
  for (size_t i = 0; i < entries.size() && chosen < 0; ++i) {
    if (SameIgnoringCase(entries[i]->Caption(), caption)) chosen = static_cast<int>(i);
  }
  if (chosen < 0 || chosen == old) return -1;
  PushSnapshot(f);
  p.UnitIndex = chosen;
  return old;
}

struct NominalRendering {
  explicit NominalRendering(FormModel& f) : f(f) { f.RenderNominalDiameter = true; }
  ~NominalRendering() { f.RenderNominalDiameter = false; }
  FormModel& f;
};

// The nominal diameter's field is shown only as picked or typed; a change of its unit is the
// one time it is converted. The size list is then rebuilt in the new unit, keeping the size
// that was selected: its converted text is no nominal size to look up.
void ConvertNominalField(FormModel& f, int oldUnit) {
  const int selectedSize = f.NDiaList.ItemIndex();
  if (HoldsValue(f.Edits[NDia]->Text())) {
    ToBaseUnits(f, NDia, oldUnit);
    {
      NominalRendering on(f);
      FromBaseUnits(f, NDia);
    }
    f.NDiaList.SetText(f.Edits[NDia]->Text());
  }
  shell::cbPipeSpecChange(f, selectedSize);
}

struct PresetRow {
  int index;
  int english;
  int si;
};

// Catalog positions of the standard English and SI units, in the order they are applied.
constexpr std::array<PresetRow, 9> PresetTable = {{
    {NDia, 0, 0},
    {IDia, 0, 2},
    {Area, 0, 2},
    {Len, 1, 3},
    {Fric, 0, 1},
    {Vis, 2, 3},
    {Flow, 0, 6},
    {HL, 0, 3},
    {Vel, 0, 1},
}};

// The friction has a unit only as a roughness: a Hazen-Williams C or a Manning's n keeps its
// unit, so that no later redisplay (an undo) shows the coefficient through a length factor.
bool PresetSkips(const FormModel& f, int index) {
  return index == Fric && EquationOf(f.EquationText()) != Equation::DarcyWeisbach;
}

bool RerenderAfterPreset(FormModel& f, int index) {
  const std::string text = f.Edits[static_cast<size_t>(index)]->Text();
  if (index == Fric) return !text.empty();
  return HoldsValue(text);
}

void ApplyPreset(FormModel& f, bool english) {
  PushSnapshot(f);
  for (const PresetRow& row : PresetTable) {
    if (PresetSkips(f, row.index)) continue;
    TParamType& p = f.P(row.index);
    const int position = english ? row.english : row.si;
    // A catalog too short for the preset keeps its unit.
    if (position >= static_cast<int>(p.Units.size())) continue;
    const int old = p.UnitIndex;
    p.UnitIndex = position;
    p.UnitLabel->SetCaption(p.Units[static_cast<size_t>(position)]);
    if (row.index == NDia) {
      if (old != position) ConvertNominalField(f, old);
    } else if (RerenderAfterPreset(f, row.index)) {
      FromBaseUnitsKeepingDigits(f, row.index);
    }
  }
}

}  // namespace

void UnitsContextPopup(FormModel& f, platform::Label& label, bool& handled) {
  f.UnitsPopupMenu.Clear();
  f.MenuUnitLabel = &label;
  for (int i = 0; i < ParamCount; ++i) {
    if (!f.ParamTypes[static_cast<size_t>(i)] || f.P(i).UnitLabel != &label) continue;
    f.MenuParamIndex = i;
    for (const std::string& unit : f.P(i).Units) {
      platform::MenuItem& entry = f.UnitsPopupMenu.Add(unit);
      entry.OnClick = [&f, i, &entry] {
        if (i == NDia) {
          NDiaUnitsClick(f, entry.Caption());
        } else {
          UnitsClick(f, entry.Caption());
        }
      };
    }
  }
  f.UnitsPopupMenu.Popup();
  handled = true;
}

void UnitsClick(FormModel& f, const std::string& caption) {
  const int old = SwitchUnit(f, caption);
  if (old < 0) return;
  const int index = f.MenuParamIndex;
  if (!HoldsValue(f.Edits[static_cast<size_t>(index)]->Text())) return;
  // From the displayed text, as rounded, not from the stored value.
  ToBaseUnits(f, index, old);
  FromBaseUnitsKeepingDigits(f, index);
}

void NDiaUnitsClick(FormModel& f, const std::string& caption) {
  const int old = SwitchUnit(f, caption);
  if (old < 0) return;
  ConvertNominalField(f, old);
}

void sbSetEnglishUnitsClick(FormModel& f) { ApplyPreset(f, true); }
void sbSetSIUnitsClick(FormModel& f) { ApplyPreset(f, false); }

}  // namespace zynta::shell
