#include "shell/save_settings.h"

#include "units/number_text.h"

namespace zynta::shell {

using namespace settings;

using namespace calc;

namespace {

// The field's text with its first "," made ".", so the file reads the same in every locale.
std::string StoredText(std::string text) {
  if (const size_t comma = text.find(','); comma != std::string::npos) text[comma] = '.';
  return text;
}

void WriteParameter(const TParamType& p, IniDocument& doc) {
  doc.SetInteger(p.Name, "UnitIndex", p.UnitIndex);
  doc.SetInteger(p.Name, "Decimals", p.Decimals);
  doc.Set(p.Name, "Value", StoredText(p.Edit->Text()));
  doc.Set(p.Name, "ParamValue", units::InvariantFloatToStr(p.ParamValue));
  doc.Set(p.Name, "Color", p.Edit->FontColor() == clResult ? "clResult" : "clNormal");
}

void WriteMainForm(const FormModel& f, IniDocument& doc) {
  doc.SetInteger("MainForm", "Top", f.Window.Top());
  doc.SetInteger("MainForm", "Left", f.Window.Left());
  doc.SetInteger("MainForm", "Width", f.Window.Width());
  doc.SetInteger("MainForm", "Height", f.Window.Height());
  doc.SetBool("MainForm", "StartHidden", f.StartHidden1.Checked());
  doc.SetBool("MainForm", "StayonTop", f.StayonTop1.Checked());
  doc.Set("MainForm", "HLEq", f.ComboEq.Text());
  doc.SetBool("MainForm", "Solved", f.Solved);
  doc.SetInteger("MainForm", "SolveFor", f.cbSolveFor.ItemIndex());
  doc.SetInteger("MainForm", "PipeSpec", f.ComboSpec.ItemIndex());
  doc.SetBool("MainForm", "Sound", f.SoundOn);
  doc.SetBool("MainForm", "NoIntro", f.NoIntro);
  doc.SetBool("MainForm", "Checkforupdates", f.Checkforupdates1.Checked());
}

}  // namespace

// One replacement of the whole file: a save cut short leaves the last one complete.
void WriteSettings(const FormModel& f, IniFile& ini) {
  ini.Update([&f](IniDocument& doc) {
    for (const auto& p : f.ParamTypes) {
      if (p) WriteParameter(*p, doc);
    }
    WriteMainForm(f, doc);
    WritePumpPanel(f.Pumps, doc);
  });
}

void ReleaseState(FormModel& f) {
  for (auto& p : f.ParamTypes) p.reset();
  f.SnapshotStack.clear();
}

}  // namespace zynta::shell
