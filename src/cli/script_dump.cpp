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
  const startup::ZyntaProgram* program = started_ ? driver_->Program() : nullptr;
  state.Add("running", Json(running_));
  state.Add("shown", Json(running_ && started_ && driver_->WindowShown()));
  if (!program || !program->HasForm()) {
    out << state.Object() << "\n";
    return;
  }
  const ScriptDriver& d = *driver_;
  state.Add("status", Json(d.StatusText()));
  state.Add("solved", Json(program->Form().Solved));
  state.Add("focus", Json(NameOf(d.Focused())));
  state.Add("undo", std::to_string(program->Form().SnapshotStack.size()));
  Members controls;
  for (int i = 0; i < ParamCount; ++i) {
    if (!program->Form().ParamTypes[static_cast<size_t>(i)]) continue;
    const TParamType& p = *program->Form().ParamTypes[static_cast<size_t>(i)];
    Members m;
    m.Add("text", Json(d.Text(*p.Edit)));
    m.Add("value", Json(p.ParamValue));
    m.Add("unit", Json(d.Caption(*p.UnitLabel)));
    m.Add("unitIndex", std::to_string(p.UnitIndex));
    m.Add("decimals", std::to_string(p.Decimals));
    m.Add("color", Json(std::string(d.FontColor(*p.Edit) == clResult ? "result" : "normal")));
    m.Add("role", Json(std::string(RoleName(p.Role))));
    m.Add("visible", Json(d.Visible(*p.Edit)));
    m.Add("enabled", Json(d.Enabled(*p.Edit)));
    controls.Add(ParamTable[static_cast<size_t>(i)].id, m.Object());
  }
  for (platform::Control* c : d.Controls()) {
    if (NameOf(c) != c->Name()) continue;  // a parameter's field, listed above
    Members m;
    if (auto* combo = dynamic_cast<platform::ComboBox*>(c)) {
      m.Add("text", Json(d.Text(*combo)));
      m.Add("items", JsonList(d.Items(*combo)));
      m.Add("index", std::to_string(d.Index(*combo)));
    } else if (auto* label = dynamic_cast<platform::Label*>(c)) {
      m.Add("text", Json(d.Caption(*label)));
    }
    m.Add("visible", Json(d.Visible(*c)));
    m.Add("enabled", Json(d.Enabled(*c)));
    controls.Add(c->Name(), m.Object());
  }
  for (const char* name : {"Solve1", "Undo1", "CopytoClipboard2", "ClearFields2", "SetEnglishUnits1",
                           "SetSIUnits1", "StayonTop1", "Sound1", "StartHidden1", "Checkforupdates1"}) {
    if (platform::MenuItem* item = d.FindMenuItem(name)) {
      Members m;
      m.Add("text", Json(d.Caption(*item)));
      m.Add("checked", Json(d.Checked(*item)));
      m.Add("enabled", Json(d.Enabled(*item)));
      controls.Add(name, m.Object());
    }
  }
  Members status;
  status.Add("text", Json(d.StatusText()));
  controls.Add("status", status.Object());
  Members window;
  window.Add("text", Json(d.WindowCaption()));
  window.Add("visible", Json(d.WindowShown()));
  controls.Add("window", window.Object());
  state.Add("controls", controls.Object());
  out << state.Object() << "\n";
}

}  // namespace zynta::cli
