// The calculator window headless on the recording platform, on the data files beside the
// test binary, driven as a person drives it: the fixture of the unit tests that need the
// whole window.
#pragma once

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "calc/catalog.h"
#include "platform/recording.h"
#include "shell/frm_zynta.h"
#include "temp_folder.h"

namespace zynta::shell {

class WindowFixture : public ::testing::Test {
 protected:
  static std::filesystem::path ProgramDir() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
  }

  void SetUp() override {
    ui.folders.appData = folder_.Path().string();
    form = std::make_unique<TfrmZYNTA>(ui, ProgramDir());
    ASSERT_TRUE(form->FormCreate());
    form->Show();
  }

  void TearDown() override { form.reset(); }

  calc::TParamType& P(int index) { return form->P(index); }

  void PickEquation(const char* name) {
    if (!form->ComboEq.CanFocus()) PickProblem(0);
    ui.window.SetFocus(form->ComboEq);
    const auto items = form->ComboEq.Items();
    const auto it = std::find(items.begin(), items.end(), name);
    ASSERT_NE(it, items.end()) << name;
    ui.ComboBoxNamed("ComboEq").UserPick(static_cast<int>(it - items.begin()));
    ASSERT_EQ(form->EquationText(), name);
  }

  void PickProblem(int position) {
    ui.window.SetFocus(form->cbSolveFor);
    ui.ComboBoxNamed("cbSolveFor").UserPick(position);
    ASSERT_EQ(form->cbSolveFor.ItemIndex(), position);
  }

  // Focus, select all, type, leave the field (its exit commits the text).
  void Enter(int index, const std::string& text) {
    auto& field = ui.TextFieldNamed(calc::ParamTable[static_cast<size_t>(index)].edit);
    ui.window.SetFocus(field);
    ASSERT_EQ(ui.window.Focused(), &field) << calc::ParamTable[static_cast<size_t>(index)].id << " takes no focus";
    field.SelectAll();
    for (char c : text) field.UserKey(c);
    ui.window.SetFocus(form->cbSolveFor);
    ASSERT_NE(ui.status.Text(), "Bad value!") << text;
  }

  // A unit through the unit label's menu.
  void SetUnit(int index, const std::string& unit) {
    auto& label = ui.LabelNamed(calc::ParamTable[static_cast<size_t>(index)].unitLabel);
    auto& menu = ui.MenuNamed("UnitsPopupMenu");
    menu.open = false;
    label.UserRightClick();
    ASSERT_TRUE(menu.UserChoose(unit)) << unit;
    ASSERT_EQ(label.Caption(), unit);
  }

  // Decimal places through the field's menu.
  void SetDecimals(int index, int decimals) {
    auto& field = ui.TextFieldNamed(calc::ParamTable[static_cast<size_t>(index)].edit);
    field.UserRightClick();
    platform::RecMenu* places = ui.MenuNamed("EditPopupMenu").Submenu("Decimal places");
    ASSERT_NE(places, nullptr);
    ASSERT_TRUE(places->UserChoose(std::to_string(decimals)));
    ASSERT_EQ(P(index).Decimals, decimals);
  }

  void Solve() {
    form->Solve1.OnClick();
    ASSERT_TRUE(form->Solved) << ui.status.Text();
  }

  platform::RecordingPlatform ui;
  std::unique_ptr<TfrmZYNTA> form;

 private:
  zynta::testing::TempFolder folder_{"zynta-window"};
};

}  // namespace zynta::shell
