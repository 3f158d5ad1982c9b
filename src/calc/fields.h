#pragma once
// The twelve fields as the solvers see them. The solvers read and write only through this
// interface, so that one solver serves both the calculator window (its controls, with their
// change events and focus) and a plain record store (the batch, the plots, the tests).

#include <optional>
#include <string>

#include "calc/catalog.h"

namespace zynta::calc {

class Fields {
 public:
  virtual ~Fields() = default;

  virtual Equation Solving() const = 0;  // the equation of the problem being solved

  // A field's text, and the name, factor and decimals of the unit it is shown in (its unit
  // label's caption and the factor of the selected unit: they differ only for catalogs with
  // two names in different letter case).
  virtual std::string Text(int index) const = 0;
  virtual void SetText(int index, const std::string& text) = 0;
  // The text read as a field number; nullopt when it is none.
  virtual std::optional<double> Number(int index) const;
  virtual std::string UnitName(int index) const = 0;
  virtual double Factor(int index) const = 0;
  virtual int Decimals(int index) const = 0;
  virtual void SetDecimals(int index, int decimals) = 0;

  // The value in the base unit.
  virtual double Value(int index) const = 0;
  virtual void SetValue(int index, double value) = 0;

  // The field shows v, a value in the field's unit whose base-unit value is `value`, by the
  // display rule with `decimals` decimals.
  virtual void ShowNumber(int index, double v, double value, int decimals);

  // An input read by the field's factor and the specific-gravity factor `gravity` that leaves
  // the field as it is, kept where the implementation can (ShownNumber): KeepRead after a read
  // and its rewrite; Reread gives that read's value while the field, its unit and decimals stay
  // as they were, nullopt otherwise.
  virtual void KeepRead(int, double) {}
  virtual std::optional<double> Reread(int, double) const { return std::nullopt; }

  // A result is about to be written into the field (its colour).
  virtual void MarkResult(int index) = 0;
  // The flow-regime label beside the Reynolds number: hidden when there is no Reynolds
  // number, shown once one is written; its text follows the Reynolds number's field, and is
  // set from it again on request.
  virtual void ShowRegime(bool shown) = 0;
  virtual void UpdateRegime() = 0;
  // The field the user looks at next, where the window can give it the focus.
  virtual void Point(int index) = 0;

  // An input refused: the message is reported with the field it concerns, and the action ends
  // (InputAbort).
  [[noreturn]] virtual void Refuse(const std::string& message, int index) = 0;
};

}  // namespace zynta::calc
