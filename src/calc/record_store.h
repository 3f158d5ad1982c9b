#pragma once
// The twelve fields as plain records, without controls, events or undo: the solvers' fields
// for the batch and every caller that needs a number rather than a window. A solve on the
// store follows the window's Solve step for step (results "?" first, the same reads, writes and
// messages) and returns what happened instead of showing it.

#include <array>
#include <optional>
#include <string>

#include "calc/fields.h"
#include "calc/outcome.h"
#include "calc/params.h"

namespace zynta::calc {

struct FieldRecord {
  std::string text;
  std::string unit;  // the unit's name as its label shows it; "" for none
  double factor = 1.0;
  int decimals = 2;
  double value = 0.0;  // in the base unit
  char role = RoleHidden;
  bool visible = false;  // the row is on screen
  bool input = false;    // an entry the user can type into (shown and enabled)

  mutable ShownNumber shown;  // what the text was last shown as by the display rule (a cache)
};

class RecordStore final : public Fields {
 public:
  Equation equation = Equation::HazenWilliams;
  int problem = 0;
  std::array<FieldRecord, ParamCount> fields;
  // The last field the solve pointed at or refused, for the window's focus.
  int focus = -1;
  // The regime label's visibility as the solve last set it.
  std::optional<bool> regimeShown;

  Equation Solving() const override { return equation; }
  std::string Text(int index) const override { return Field(index).text; }
  void SetText(int index, const std::string& text) override { Field(index).text = text; }
  std::optional<double> Number(int index) const override;
  void ShowNumber(int index, double v, double value, int decimals) override;
  void KeepRead(int index, double gravity) override;
  std::optional<double> Reread(int index, double gravity) const override;
  std::string UnitName(int index) const override { return Field(index).unit; }
  double Factor(int index) const override { return Field(index).factor; }
  int Decimals(int index) const override { return Field(index).decimals; }
  void SetDecimals(int index, int decimals) override { Field(index).decimals = decimals; }
  double Value(int index) const override { return Field(index).value; }
  void SetValue(int index, double value) override { Field(index).value = value; }
  void MarkResult(int) override {}
  void ShowRegime(bool shown) override { regimeShown = shown; }
  void UpdateRegime() override {}
  void Point(int index) override { focus = index; }
  [[noreturn]] void Refuse(const std::string& message, int index) override;

  FieldRecord& Field(int index) { return fields[static_cast<size_t>(index)]; }
  const FieldRecord& Field(int index) const { return fields[static_cast<size_t>(index)]; }

  // The message of the last refusal.
  const std::string& Refusal() const { return refusal_; }

 private:
  std::string refusal_;
};

// A text typed into an input and the field left: the value it gives in the field's unit,
// shown again by the display rule. Refused (the text kept, the value not) when the unit needs a
// specific gravity that its field does not hold; Bad value! (the field emptied) when the text
// is no number. A floating-point fault comes as Fault.
SolveOutcome CommitText(RecordStore& store, int index, const std::string& text);

// F2 on the store's problem (0 to 5): the results show "?", the solver runs, and on success
// every result not written is emptied, as the window shows them.
SolveOutcome SolveStore(RecordStore& store);

}  // namespace zynta::calc
