#pragma once
// The calculator window's parameter rows as the solvers' fields: texts, units and values of the
// controls and records, with the window's own way of reporting a refused input (status bar,
// beep, focus).

#include "calc/fields.h"
#include "shell/form_model.h"

namespace zynta::shell {

class WindowFields final : public calc::Fields {
 public:
  explicit WindowFields(FormModel& f) : f_(f) {}

  calc::Equation Solving() const override;
  std::string Text(int index) const override;
  void SetText(int index, const std::string& text) override;
  std::optional<double> Number(int index) const override;
  void ShowNumber(int index, double v, double value, int decimals) override;
  void KeepRead(int index, double gravity) override;
  std::optional<double> Reread(int index, double gravity) const override;
  std::string UnitName(int index) const override;
  double Factor(int index) const override;
  int Decimals(int index) const override;
  void SetDecimals(int index, int decimals) override;
  double Value(int index) const override;
  void SetValue(int index, double value) override;
  void MarkResult(int index) override;
  void ShowRegime(bool shown) override;
  void UpdateRegime() override;
  void Point(int index) override;
  [[noreturn]] void Refuse(const std::string& message, int index) override;

 private:
  FormModel& f_;
};

// Sets the flow-regime label from the displayed Reynolds number.
void EditReynoChange(FormModel& f);

}  // namespace zynta::shell
