#include "shell/report.h"

#include <cstdio>

namespace zynta::shell {

using namespace calc;

namespace {

// "%21s%12s": right-aligned in 21 and 12 characters; longer texts are kept whole.
std::string RightAligned(const std::string& text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string ParameterLine(const FormModel& f, int index) {
  const platform::Label& unit = *f.UnitLabels[static_cast<size_t>(index)];
  return RightAligned(f.NameLabels[static_cast<size_t>(index)]->Caption(), 21) +
         RightAligned(f.Edits[static_cast<size_t>(index)]->Text(), 12) + " " +
         (unit.Visible() ? unit.Caption() : "");
}

}  // namespace

std::string BuildReport(const FormModel& f) {
  std::string report;
  auto line = [&report](const std::string& text) { report += text + "\r\n"; };
  line("");
  line(f.Solved ? "System is solved!" : "System is NOT solved!");
  line("");
  line("Solve for: " + f.cbSolveFor.Text());
  if (f.ComboEq.Visible()) line("Using " + f.ComboEq.Text() + " equation");
  if (f.ComboSpec.Visible() && f.ComboSpec.Text() != "None") line("Pipe Spec: " + f.ComboSpec.Text());
  line("");
  for (int i = 0; i < ParamCount; ++i) {
    const platform::TextField& edit = *f.Edits[static_cast<size_t>(i)];
    if (edit.Visible() && !edit.Text().empty()) line(ParameterLine(f, i));
  }
  line("");
  return report;
}

void sbCopyToClipboardClick(FormModel& f) {
  f.MemoClipbrd.SetText("");
  f.MemoClipbrd.SetText(BuildReport(f));
  f.ui.GetClipboard().SetText(f.MemoClipbrd.Text());
}

}  // namespace zynta::shell
