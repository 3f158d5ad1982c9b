// The state of the calculator as one JSON object, for `dump` and --dump.
#include <ostream>

#include "cli/json_report.h"
#include "cli/script_session.h"

namespace zynta::cli {

using namespace calc;

namespace {

std::string Json(const std::string& text) { return JsonString(text); }

std::string Json(bool value) { return value ? "true" : "false"; }

std::string Json(double value) { return JsonNumber(value); }

std::string JsonList(const std::vector<std::string>& items) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) out += (i ? "," : "") + Json(items[i]);
  return out + "]";
}

class Members {
 public:
  void Add(const std::string& name, const std::string& json) {
    text_ += (text_.empty() ? "" : ",") + Json(name) + ":" + json;
  }
  std::string Object() const { return "{" + text_ + "}"; }

 private:
  std::string text_;
};

}  // namespace

void Session::Dump(std::ostream& out) const {
  Members state;
  state.Add("running", Json(running_));
  state.Add("shown", Json(running_ && ui_ && ui_->window.Shown()));
  if (!ui_ || !program_ || !program_->HasForm()) {
    out << state.Object() << "\n";
    return;
  }
  state.Add("status", Json(ui_->status.Text()));
  state.Add("solved", Json(program_->Form().Solved));
  state.Add("focus", Json(NameOf(ui_->window.Focused())));
  state.Add("undo", std::to_string(program_->Form().SnapshotStack.size()));
  Members controls;
  for (int i = 0; i < ParamCount; ++i) {
    if (!program_->Form().ParamTypes[static_cast<size_t>(i)]) continue;
    const TParamType& p = *program_->Form().ParamTypes[static_cast<size_t>(i)];
    Members m;
    m.Add("text", Json(p.Edit->Text()));
    m.Add("value", Json(p.ParamValue));
    m.Add("unit", Json(p.UnitLabel->Caption()));
    m.Add("unitIndex", std::to_string(p.UnitIndex));
    m.Add("decimals", std::to_string(p.Decimals));
    m.Add("color", Json(std::string(p.Edit->FontColor() == clResult ? "result" : "normal")));
    m.Add("role", Json(std::string(RoleName(p.Role))));
    m.Add("visible", Json(p.Edit->Visible()));
    m.Add("enabled", Json(p.Edit->Enabled()));
    controls.Add(ParamTable[static_cast<size_t>(i)].id, m.Object());
  }
  for (platform::Control* c : ui_->Controls()) {
    if (NameOf(c) != c->Name()) continue;  // a parameter's field, listed above
    Members m;
    if (auto* combo = dynamic_cast<platform::ComboBox*>(c)) {
      m.Add("text", Json(combo->Text()));
      m.Add("items", JsonList(combo->Items()));
      m.Add("index", std::to_string(combo->ItemIndex()));
    } else if (auto* label = dynamic_cast<platform::Label*>(c)) {
      m.Add("text", Json(label->Caption()));
    }
    m.Add("visible", Json(c->Visible()));
    m.Add("enabled", Json(c->Enabled()));
    controls.Add(c->Name(), m.Object());
  }
  for (const char* name : {"Solve1", "Undo1", "CopytoClipboard2", "ClearFields2", "SetEnglishUnits1",
                           "SetSIUnits1", "StayonTop1", "Sound1", "StartHidden1", "Checkforupdates1"}) {
    if (platform::MenuItem* item = ui_->FindMenuItem(name)) {
      Members m;
      m.Add("text", Json(item->Caption()));
      m.Add("checked", Json(item->Checked()));
      m.Add("enabled", Json(item->Enabled()));
      controls.Add(name, m.Object());
    }
  }
  Members status;
  status.Add("text", Json(ui_->status.Text()));
  controls.Add("status", status.Object());
  Members window;
  window.Add("text", Json(ui_->window.Caption()));
  window.Add("visible", Json(ui_->window.Shown()));
  controls.Add("window", window.Object());
  state.Add("controls", controls.Object());
  out << state.Object() << "\n";
}

}  // namespace zynta::cli
