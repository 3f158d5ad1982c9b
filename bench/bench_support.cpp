#include "bench_support.h"

#include <algorithm>

namespace zynta::bench {

namespace {
std::filesystem::path ProgramDir() { return std::filesystem::read_symlink("/proc/self/exe").parent_path(); }
}  // namespace

// The settings go to a folder of the benchmark's own, never the user's.
Calculator::Calculator() {
  ui.folders.appData = (std::filesystem::temp_directory_path() / "zynta-bench-settings").string();
  form = std::make_unique<shell::TfrmZYNTA>(ui, ProgramDir());
  form->FormCreate();
  form->Show();
}

void Calculator::PickEquation(const char* name) {
  ui.window.SetFocus(form->ComboEq);
  const auto items = form->ComboEq.Items();
  const auto it = std::find(items.begin(), items.end(), name);
  ui.ComboBoxNamed("ComboEq").UserPick(static_cast<int>(it - items.begin()));
}

void Calculator::PickProblem(int position) {
  ui.window.SetFocus(form->cbSolveFor);
  ui.ComboBoxNamed("cbSolveFor").UserPick(position);
}

}  // namespace zynta::bench
