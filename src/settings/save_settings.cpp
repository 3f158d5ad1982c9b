#include "settings/save_settings.h"

#include "units/number_text.h"

namespace zynta::settings {

using namespace calc;

namespace {

// The field's text with its first "," made ".", so the file reads the same in every locale.
std::string StoredText(std::string text) {
  if (const size_t comma = text.find(','); comma != std::string::npos) text[comma] = '.';
  return text;
}

void WriteParameter(const TParamType& p, IniFile& ini) {
  ini.WriteInteger(p.Name, "UnitIndex", p.UnitIndex);
  ini.WriteInteger(p.Name, "Decimals", p.Decimals);
  ini.WriteString(p.Name, "Value", StoredText(p.Edit->Text()));
  ini.WriteString(p.Name, "ParamValue", units::InvariantFloatToStr(p.ParamValue));
  ini.WriteString(p.Name, "Color", p.Edit->FontColor() == clResult ? "clResult" : "clNormal");
}

}  // namespace

void WriteSettings(const FormModel& f, IniFile& ini) {
  for (const auto& p : f.ParamTypes) {
    if (p) WriteParameter(*p, ini);
  }
  ini.WriteInteger("MainForm", "Top", f.Window.Top());
  ini.WriteInteger("MainForm", "Left", f.Window.Left());
  ini.WriteInteger("MainForm", "Width", f.Window.Width());
  ini.WriteInteger("MainForm", "Height", f.Window.Height());
  ini.WriteBool("MainForm", "StartHidden", f.StartHidden1.Checked());
  ini.WriteBool("MainForm", "StayonTop", f.StayonTop1.Checked());
  ini.WriteString("MainForm", "HLEq", f.ComboEq.Text());
  ini.WriteBool("MainForm", "Solved", f.Solved);
  ini.WriteInteger("MainForm", "SolveFor", f.cbSolveFor.ItemIndex());
  ini.WriteInteger("MainForm", "PipeSpec", f.ComboSpec.ItemIndex());
  ini.WriteBool("MainForm", "Sound", f.SoundOn);
  ini.WriteBool("MainForm", "NoIntro", f.NoIntro);
  ini.WriteBool("MainForm", "Checkforupdates", f.Checkforupdates1.Checked());
}

void ReleaseState(FormModel& f) {
  for (auto& p : f.ParamTypes) p.reset();
  f.SnapshotStack.clear();
}

}  // namespace zynta::settings
