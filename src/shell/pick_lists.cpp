#include "shell/pick_lists.h"

#include "refdata/materials.h"
#include "shell/field_units.h"
#include "shell/solve.h"
#include "shell/undo.h"
#include "units/convert.h"
#include "units/number_text.h"

namespace zynta::shell {

using namespace calc;

namespace {

// A table value as the field first takes it: general format, 15 digits, the user's separator.
std::string TableNumberText(double v) { return units::FormatGeneral(v, 15, 0, units::DecimalSeparator()); }

void FillFromTable(FormModel& f, int index, const char* column) {
  f.Edits[static_cast<size_t>(index)]->SetText(TableNumberText(f.cdsLiq_Prop->AsFloat(column)));
  f.P(index).ParamValue = units::FieldNumber(f.Edits[static_cast<size_t>(index)]->Text());
  shell::FromBaseUnitsKeepingDigits(f, index);
}

}  // namespace

void FillFluids(FormModel& f) {
  f.cbVisList.ClearItems();
  for (f.cdsLiq_Prop->First(); !f.cdsLiq_Prop->Eof(); f.cdsLiq_Prop->Next())
    f.cbVisList.AddItem(f.cdsLiq_Prop->AsString("Description"));
}

void cbVisListSelect(FormModel& f) {
  PushSnapshot(f);
  MarkSolved(f, false);
  if (!f.cdsLiq_Prop->FindKey({f.cbVisList.Text()})) return;
  // The specific gravity first: a viscosity in "cpoises" converts through it.
  FillFromTable(f, SG, "Spec_Grav");
  FillFromTable(f, Vis, "Kin_Viscosity");
}

void cbFricListDropDown(FormModel& f) {
  f.cbFricList.ClearItems();
  for (const char* entry : refdata::MaterialsFor(f.EquationText())) f.cbFricList.AddItem(entry);
}

void cbFricListSelect(FormModel& f) {
  PushSnapshot(f);
  MarkSolved(f, false);
  platform::TextField& field = *f.Edits[Fric];
  field.SetText(refdata::MaterialValueText(f.cbFricList.Text()));
  // The lists write "." whatever the user's separator.
  f.P(Fric).ParamValue = units::InvariantStrToFloat(field.Text());
  // Concrete's 0.005 ft would show, and solve, as 0.01 with two decimals.
  shell::FromBaseUnitsKeepingDigits(f, Fric);
}

}  // namespace zynta::shell
