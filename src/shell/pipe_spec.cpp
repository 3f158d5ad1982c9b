#include "shell/pipe_spec.h"

#include "shell/field_units.h"
#include "shell/solve.h"
#include "shell/undo.h"
#include "units/convert.h"
#include "units/errors.h"
#include "units/number_text.h"

namespace zynta::shell {

using namespace refdata;

using namespace calc;
using shell::PushSnapshot;

namespace {

constexpr const char* NoSize = "NA";

void ShowNominalRow(FormModel& f, bool shown) {
  f.NameLabels[NDia]->SetVisible(shown);
  f.Edits[NDia]->SetVisible(shown);
  f.UnitLabels[NDia]->SetVisible(shown);
  f.NDiaList.SetVisible(shown);
}

// Makes the size row of pick-list entry i current (the first row when nothing is selected).
bool SeekSelectedSize(FormModel& f) {
  if (!f.cdsPipeSize->FindKey({f.CurrentSpecIndex})) return false;
  for (int i = f.NDiaList.ItemIndex(); i > 0; --i) f.cdsPipeSize->Next();
  return true;
}

void ListSizes(FormModel& f) {
  for (f.cdsPipeSize->First(); !f.cdsPipeSize->Eof(); f.cdsPipeSize->Next())
    f.NDiaList.AddItem(SizeEntryText(f, f.cdsPipeSize->AsFloat("NomSize")));
}

void ShowInsideDiameter(FormModel& f) {
  f.Edits[IDia]->SetText(InsideDiameterText(f, f.cdsPipeSize->AsFloat("InDia")));
}

// Selects the size for a newly chosen pipe spec and shows its inside diameter.
void ChooseSize(FormModel& f, int keepSize) {
  if (f.NDiaList.Text() == NoSize) {  // no pipe spec was chosen before: the smallest size
    // A pipe spec without sizes leaves the inside diameter as it is.
    if (f.cdsPipeSize->FindKey({f.CurrentSpecIndex})) {
      f.NDiaList.SetItemIndex(0);
      ShowInsideDiameter(f);
    }
    return;
  }
  const int count = static_cast<int>(f.NDiaList.Items().size());
  if (keepSize >= 0 && keepSize < count) {
    f.NDiaList.SetItemIndex(keepSize);
    if (SeekSelectedSize(f)) ShowInsideDiameter(f);
  } else if (f.cdsPipeSize->FindKey({f.CurrentSpecIndex, f.NDiaList.Text()})) {
    const auto items = f.NDiaList.Items();
    for (int i = 0; i < count; ++i) {
      if (items[static_cast<size_t>(i)] == f.NDiaList.Text()) f.NDiaList.SetItemIndex(i);
    }
    ShowInsideDiameter(f);
  } else if (count > 0) {
    f.NDiaList.SetItemIndex(-1);
    f.NDiaList.SetText(f.NDiaList.Items().front());
  }
  NDiaListChange(f);
}

}  // namespace

std::string SizeEntryText(const FormModel& f, double nomSize) {
  const TParamType& p = *f.ParamTypes[NDia];
  const int expDigits = p.Decimals <= 4 ? p.Decimals : 0;
  return units::FormatGeneral(nomSize * p.Factors[static_cast<size_t>(p.UnitIndex)], 5, expDigits,
                              units::DecimalSeparator());
}

std::string InsideDiameterText(const FormModel& f, double inDia) {
  const TParamType& p = *f.ParamTypes[IDia];
  return units::FormatFixed7(units::CheckedFloat(inDia * p.Factors[static_cast<size_t>(p.UnitIndex)]), p.Decimals,
                             units::DecimalSeparator());
}

void FillPipeSpecs(FormModel& f, int savedIndex) {
  f.ComboSpec.ClearItems();
  f.ComboSpec.AddItem(NoSpec);
  for (f.cdsPipeSpec->First(); !f.cdsPipeSpec->Eof(); f.cdsPipeSpec->Next())
    f.ComboSpec.AddItem(f.cdsPipeSpec->AsString("Description"));
  f.ComboSpec.SetItemIndex(savedIndex);
}

void cbPipeSpecChange(FormModel& f, int keepSize) {
  PushSnapshot(f);
  if (f.Window.Shown()) MarkSolved(f, false);
  f.NDiaList.ClearItems();
  if (!f.cdsPipeSpec->Locate("Description", f.ComboSpec.Text())) {
    f.NDiaList.SetText(NoSize);
    f.CurrentSpecIndex = NoSpec;
  } else {
    f.CurrentSpecIndex = f.cdsPipeSpec->AsString("Index").substr(0, 4);
    ListSizes(f);
    ChooseSize(f, keepSize);
  }
  if (f.Window.Shown()) {
    const std::string before = f.Edits[NDia]->Text();
    f.Edits[NDia]->SetText(f.NDiaList.Text());
    // The same size carried to another pipe spec changes no text, but the inside
    // diameter's value must still follow the new pipe spec's table.
    if (f.Edits[NDia]->Text() == before) EditNDiaChange(f);
  }
  const bool none = f.ComboSpec.Text() == NoSpec;
  f.NDiaList.SetStyle(none ? platform::ComboStyle::Simple : platform::ComboStyle::Editable);
  if (none) f.Edits[NDia]->SetText("");
  ShowNominalRow(f, !none);
}

void NDiaListSelect(FormModel& f) {
  PushSnapshot(f);
  MarkSolved(f, false);
  const int i = f.NDiaList.ItemIndex();
  if (i < 0) return;
  const std::string before = f.Edits[NDia]->Text();
  f.Edits[NDia]->SetText(f.NDiaList.Items()[static_cast<size_t>(i)]);
  // Picking the size already shown sets the inside diameter from the table all the same.
  if (f.Edits[NDia]->Text() == before) EditNDiaChange(f);
  f.P(NDia).ParamValue = units::FieldNumber(f.Edits[NDia]->Text());
  shell::FromBaseUnits(f, NDia);
}

void NDiaListChange(FormModel& f) { SeekSelectedSize(f); }

void EditNDiaChange(FormModel& f) {
  if (f.Edits[NDia]->Text().empty() || f.ComboSpec.Text() == NoSpec || !f.ParamTypes[IDia]) return;
  if (!SeekSelectedSize(f)) return;
  f.P(IDia).ParamValue = f.cdsPipeSize->AsFloat("InDia");
  shell::FromBaseUnits(f, IDia);
}

}  // namespace zynta::shell
