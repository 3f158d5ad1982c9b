// The calculator window headless on the recording platform, on the data files beside the
// test binary, driven as a person drives it (the command line's headless calculator): the
// fixture of the unit tests that need the whole window.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "calc/catalog.h"
#include "cli/headless_calculator.h"
#include "platform/recording.h"
#include "shell/frm_zynta.h"

namespace zynta::shell {

class WindowFixture : public ::testing::Test {
 protected:
  calc::TParamType& P(int index) { return form->P(index); }

  void PickEquation(const char* name) {
    calc.PickEquation(name);
    ASSERT_EQ(form->EquationText(), name);
  }

  void PickProblem(int position) {
    calc.PickProblem(std::to_string(position));
    ASSERT_EQ(form->cbSolveFor.ItemIndex(), position);
  }

  // Focus, select all, type, leave the field (its exit commits the text). The field keeps the
  // decimals it has.
  void Enter(int index, const std::string& text) {
    ASSERT_EQ(calc.Enter(index, text, cli::HeadlessCalculator::Digits::AsChosen),
              cli::HeadlessCalculator::Entry::Done)
        << calc::ParamTable[static_cast<size_t>(index)].id << " = " << text;
  }

  // A unit through the unit label's menu.
  void SetUnit(int index, const std::string& unit) {
    ASSERT_TRUE(calc.SetUnit(index, unit)) << unit;
    ASSERT_EQ(form->UnitLabels[static_cast<size_t>(index)]->Caption(), unit);
  }

  // Decimal places through the field's menu.
  void SetDecimals(int index, int decimals) {
    ASSERT_TRUE(calc.SetDecimals(index, decimals));
    ASSERT_EQ(P(index).Decimals, decimals);
  }

  void Solve() {
    calc.Solve();
    ASSERT_TRUE(form->Solved) << ui.status.Text();
  }

  // The window on the recording platform, driven by the command line's calculator, with its
  // settings in a private folder.
  cli::HeadlessCalculator calc{std::filesystem::read_symlink("/proc/self/exe").parent_path()};
  platform::RecordingPlatform& ui = calc.Ui();
  TfrmZYNTA* form = &calc.Form();
};

}  // namespace zynta::shell
