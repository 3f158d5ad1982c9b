#include "calc/record_store.h"

#include "calc/field_io.h"
#include "calc/solvers.h"
#include "units/errors.h"
#include "units/number_text.h"

namespace zynta::calc {

namespace {

// The window's result marker: every "?" goes, then each result of an unsolved problem shows it.
void ApplyResultMarkers(RecordStore& s, bool solved) {
  for (int i = 0; i < ParamCount; ++i) {
    const FieldRecord& field = s.Field(i);
    if (!solved && field.role == RoleResult) {
      if (field.text != ResultMarker) s.SetText(i, ResultMarker);
    } else if (field.text == ResultMarker) {
      s.SetText(i, "");
    }
  }
}

SolveOutcome Refused(const RecordStore& s, int index) { return {SolveOutcome::Kind::Refused, s.Refusal(), index}; }

}  // namespace

void RecordStore::Refuse(const std::string& message, int index) {
  refusal_ = message;
  focus = index;
  throw units::InputAbort{};
}

void RecordStore::ShowNumber(int index, double v, double value, int decimals) {
  FieldRecord& field = Field(index);
  field.text = field.shown.Show(v, value, decimals, units::DecimalSeparator());
}

void RecordStore::KeepRead(int index, double gravity) {
  FieldRecord& field = Field(index);
  field.shown.KeepRead(field.factor, gravity);
}

std::optional<double> RecordStore::Reread(int index, double gravity) const {
  const FieldRecord& field = Field(index);
  return field.shown.Reread(field.text, field.factor, gravity, field.decimals, units::DecimalSeparator());
}

std::optional<double> RecordStore::Number(int index) const {
  const FieldRecord& field = Field(index);
  return field.shown.Read(field.text);
}

SolveOutcome CommitText(RecordStore& store, int index, const std::string& text) {
  store.SetText(index, text);
  if (text.empty() || text == ResultMarker) return {SolveOutcome::Kind::Solved, "", index};
  units::ClearFloatFaults();
  try {
    if (!CommitNumber(store, index, true)) {
      store.SetText(index, "");
      store.focus = index;
      SolveOutcome refused{SolveOutcome::Kind::Refused, BadValueText, index};
      refused.notANumber = true;
      return refused;
    }
  } catch (const units::InputAbort&) {
    return Refused(store, store.focus);
  } catch (const units::CalcError& e) {
    return {SolveOutcome::Kind::Fault, e.what(), index};
  }
  return {SolveOutcome::Kind::Solved, "", index};
}

SolveOutcome SolveStore(RecordStore& store) {
  ApplyResultMarkers(store, false);
  store.focus = -1;
  store.regimeShown.reset();
  units::ClearFloatFaults();
  try {
    SolveProblem(store, store.problem);
  } catch (const units::InputAbort&) {
    return Refused(store, store.focus);
  } catch (const units::CalcError& e) {
    return {SolveOutcome::Kind::Fault, e.what(), -1};
  }
  const FieldRecord& reyno = store.Field(ReyNo);
  SolveOutcome solved = SolvedOutcome(store.equation, reyno.visible, reyno.text);
  ApplyResultMarkers(store, true);
  return solved;
}

}  // namespace zynta::calc
