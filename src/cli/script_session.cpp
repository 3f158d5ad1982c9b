#include "cli/script_session.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>

#include "calc/catalog.h"
#include "settings/ini_file.h"
#include "settings/settings_file.h"
#include "units/number_text.h"

namespace zynta::cli {

namespace fs = std::filesystem;
using namespace calc;

namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

bool YesNo(const std::string& word) {
  if (word == "yes") return true;
  if (word == "no") return false;
  throw LineError("expected yes or no, not " + word);
}

std::string YesNoText(bool value) { return value ? "yes" : "no"; }

double Number(const std::string& word) {
  double value = 0.0;
  const auto res = std::from_chars(word.data(), word.data() + word.size(), value);
  if (res.ec != std::errc() || res.ptr != word.data() + word.size()) throw LineError("not a number: " + word);
  return value;
}

int Integer(const std::string& word) {
  int value = 0;
  const auto res = std::from_chars(word.data(), word.data() + word.size(), value);
  if (res.ec != std::errc() || res.ptr != word.data() + word.size()) throw LineError("not a whole number: " + word);
  return value;
}

std::string NumberText(double v) {
  std::ostringstream s;
  s.precision(17);
  s << v;
  return s.str();
}

fs::path MakeRoot() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path root = fs::temp_directory_path() / ("zynta-script-" + std::to_string(rd()));
    if (fs::create_directory(root)) return root;
  }
  throw std::runtime_error("cannot make a temporary folder");
}

// The program folder's data files; the binaries beside them are not needed by a script.
void CopyProgramData(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (const auto& entry : fs::recursive_directory_iterator(from)) {
    const fs::path target = to / fs::relative(entry.path(), from);
    if (entry.is_directory()) {
      fs::create_directories(target);
    } else if (entry.is_regular_file() &&
               (entry.status().permissions() & fs::perms::owner_exec) == fs::perms::none) {
      fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
    }
  }
}

void WriteFile(const fs::path& path, const std::string& content) {
  fs::create_directories(path.parent_path());
  std::ofstream f(path, std::ios::binary);
  f << content;
  if (!f) throw LineError("cannot write " + path.string());
}

const char* RoleName(char role) {
  switch (role) {
    case RoleEntry: return "entry";
    case RoleResult: return "result";
    case RoleDisplay: return "display";
    case RoleHidden: return "hidden";
    default: return "unset";
  }
}

}  // namespace

Session::Session(fs::path file, const ScriptOptions& options, std::ostream& out, std::ostream& err)
    : file_(std::move(file)), out_(out), err_(err) {
  root_ = MakeRoot();
  programDir_ = root_ / "program";
  appdataDir_ = root_ / "appdata";
  CopyProgramData(options.programDir, programDir_);
  fs::create_directories(appdataDir_);
  units::SetDecimalSeparator('.');
}

Session::~Session() {
  form_.reset();
  ui_.reset();
  std::error_code ec;
  fs::remove_all(root_, ec);
  units::SetDecimalSeparator('.');
}

void Session::Run(const std::string& content) {
  lines_ = std::make_unique<ScriptLines>(content);
  std::string line;
  while (lines_->Next(line, line_)) {
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    try {
      RunLine(line, line_);
    } catch (const LineError& e) {
      err_ << file_.string() << ":" << line_ << ": error: " << e.what() << "\n";
      ++totals_.failed;
      return;
    } catch (const ScriptSyntaxError& e) {
      err_ << file_.string() << ":" << line_ << ": error: " << e.what() << "\n";
      ++totals_.failed;
      return;
    }
  }
}

void Session::RunLine(const std::string& line, int) {
  LineReader r(line);
  const std::string verb = r.Word();
  if (!started_ && Setup(verb, r)) return;
  if (!started_ && verb != "start") Start();
  if (verb == "start") {
    if (started_) throw LineError("the program is already started");
    Start();
  } else if (verb == "expect") {
    Expect(r);
  } else if (verb == "dump") {
    Dump(out_);
  } else if (verb == "web" || verb == "answer" || verb == "mail") {
    Setup(verb, r);
  } else {
    Action(verb, r);
  }
  if (!r.AtEnd()) throw LineError("unexpected words: " + r.Rest());
}

std::string Session::TextArg(LineReader& r, bool crlf) {
  const std::string raw = r.Rest();
  if (auto word = HeredocWord(raw)) {
    r.Text();
    std::string text;
    for (const std::string& l : lines_->TakeHeredoc(*word)) {
      if (crlf) {
        text += l + "\r\n";
      } else {
        text += l + "\n";
      }
    }
    if (!crlf && !text.empty()) text.pop_back();  // joined with LF, no final one
    return text;
  }
  return r.Text();
}

bool Session::Setup(const std::string& verb, LineReader& r) {
  if (verb == "locale") {
    const std::string sep = r.Word();
    if (sep != "." && sep != ",") throw LineError("locale takes . or ,");
    units::SetDecimalSeparator(sep[0]);
  } else if (verb == "program" || verb == "appdata") {
    const std::string name = r.Word();
    WriteFile(verb == "program" ? programDir_ / name : AppdataFile(name), TextArg(r));
  } else if (verb == "remove") {
    const std::string where = r.Word();
    if (where != "program" && where != "appdata") throw LineError("remove takes program or appdata");
    const std::string name = r.Word();
    std::error_code ec;
    fs::remove(where == "program" ? programDir_ / name : AppdataFile(name), ec);
  } else if (verb == "web") {
    const std::string text = TextArg(r);
    webFails_ = text == "fail";
    webBody_ = webFails_ ? "" : text;
  } else if (verb == "intro") {
    introClose_ = r.Word();
    if (introClose_ != "ok" && introClose_ != "ok-checked" && introClose_ != "close" &&
        introClose_ != "close-checked")
      throw LineError("unknown intro answer " + introClose_);
  } else if (verb == "answer") {
    const std::string answer = r.Word();
    if (answer != "ok" && answer != "cancel") throw LineError("answer takes ok or cancel");
    nextAnswerOk_ = answer == "ok";
    if (ui_) ui_->boxes.nextAnswer = nextAnswerOk_;
  } else if (verb == "mail") {
    const std::string how = r.Word();
    if (how == "ok") {
      mailFailCode_ = 0;
    } else if (how == "fail") {
      mailFailCode_ = Integer(r.Word());
    } else {
      throw LineError("mail takes ok or fail N");
    }
  } else {
    return false;
  }
  return true;
}

// The per-user settings folder, where `appdata` lines write and `settings` names the file.
fs::path Session::SettingsFolder() const { return appdataDir_ / settings::SettingsSubfolder; }

fs::path Session::AppdataFile(const std::string& name) const {
  return SettingsFolder() / (name == "settings" ? "zynta.ini" : name);
}

void Session::Start() {
  started_ = true;
  form_.reset();
  ui_ = std::make_unique<platform::RecordingPlatform>();
  ui_->boxes.nextAnswer = nextAnswerOk_;
  ui_->folders.appData = appdataDir_.string();
  beepsSeen_ = messagesSeen_ = captionsSeen_ = 0;
  form_ = std::make_unique<shell::TfrmZYNTA>(*ui_, programDir_);
  running_ = form_->FormCreate();
  if (running_ && !form_->StartHidden1.Checked()) form_->Show();
}

// The program has ended: what the platform recorded stays readable for the expectations.
void Session::Stop() { running_ = false; }

void Session::RequireShown() const {
  if (!running_ || !ui_->window.Shown()) throw LineError("the window is not on screen");
}

void Session::Check(bool ok, const std::string& expected, const std::string& got) {
  if (ok) {
    ++totals_.passed;
    return;
  }
  ++totals_.failed;
  err_ << file_.string() << ":" << line_ << ": expected " << expected << ", got " << got << "\n";
}

const TParamType& Session::Record(int index) const {
  if (!form_ || !form_->ParamTypes[static_cast<size_t>(index)]) throw LineError("the program is not running");
  return *form_->ParamTypes[static_cast<size_t>(index)];
}

int Session::ParamNamed(const std::string& param) const {
  const int index = ParamIndexOf(param);
  if (index < 0) throw LineError("unknown parameter " + param);
  return index;
}

platform::TextField& Session::FieldOf(const std::string& param) const {
  return *form_->Edits[static_cast<size_t>(ParamNamed(param))];
}

platform::Control& Session::ControlNamed(const std::string& name) const {
  const int index = ParamIndexOf(name);
  if (index >= 0) return *form_->Edits[static_cast<size_t>(index)];
  if (platform::Control* c = ui_->FindControl(name)) return *c;
  throw LineError("unknown control " + name);
}

std::string Session::NameOf(const platform::Control* control) const {
  if (!control) return "none";
  for (int i = 0; i < ParamCount; ++i) {
    if (form_->Edits[static_cast<size_t>(i)] == control) return ParamTable[static_cast<size_t>(i)].id;
  }
  return control->Name();
}

std::string Session::TextOf(const std::string& name) const {
  if (name == "status") return ui_->status.Text();
  if (name == "window") return ui_->window.Caption();
  if (platform::MenuItem* item = ui_->FindMenuItem(name)) return item->Caption();
  platform::Control& c = ControlNamed(name);
  if (auto* field = dynamic_cast<platform::TextField*>(&c)) return field->Text();
  if (auto* combo = dynamic_cast<platform::ComboBox*>(&c)) return combo->Text();
  if (auto* label = dynamic_cast<platform::Label*>(&c)) return label->Caption();
  throw LineError(name + " has no text");
}

void Session::Focus(platform::Control& control) {
  if (dynamic_cast<platform::Label*>(&control) || !control.CanFocus())
    throw LineError(NameOf(&control) + " cannot take the focus");
  ui_->window.SetFocus(control);
}

void Session::TypeInto(platform::TextField& field, const std::string& text, bool selectAll) {
  Focus(field);
  if (ui_->window.Focused() != &field) return;  // an exit handler sent the focus elsewhere
  if (selectAll) {
    field.SelectAll();
  } else {
    field.SetSelection(static_cast<int>(field.Text().size()), 0);
  }
  auto& rec = dynamic_cast<platform::RecTextField&>(field);
  for (char c : text) {
    if (ui_->window.Focused() != &field) return;  // the rest is dropped
    rec.UserKey(c);
  }
}

void Session::Pick(platform::ComboBox& combo, const std::string& entry) {
  Focus(combo);
  const auto items = combo.Items();
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == entry) {
      dynamic_cast<platform::RecComboBox&>(combo).UserPick(static_cast<int>(i));
      return;
    }
  }
  throw LineError("no entry " + Quoted(entry) + " in " + combo.Name());
}

void Session::OpenListAndPick(platform::ComboBox& list, const std::string& entry, bool beforeEquals) {
  Focus(list);
  auto& rec = dynamic_cast<platform::RecComboBox&>(list);
  rec.UserDropDown();
  const auto items = list.Items();
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == entry || (beforeEquals && items[i].substr(0, items[i].find('=')) == entry)) {
      rec.UserPick(static_cast<int>(i));
      rec.UserCloseUp();
      return;
    }
  }
  throw LineError("no entry " + Quoted(entry) + " in " + list.Name());
}

void Session::Action(const std::string& verb, LineReader& r) {
  if (verb == "exit" || verb == "session-end") {
    if (!running_) throw LineError("the program is not running");
    if (verb == "exit") {
      form_->FormClose();
    } else {
      form_->SessionEndQuery();
    }
    Stop();
    return;
  }
  if (verb == "restart") {
    Start();  // a run still going is dropped unsaved, as when its process is killed
    return;
  }
  RequireShown();
  if (verb == "spec") {
    Pick(form_->ComboSpec, TextArg(r));
  } else if (verb == "spec-type") {
    Focus(form_->ComboSpec);
    dynamic_cast<platform::RecComboBox&>(form_->ComboSpec).UserTypeAll(TextArg(r));
  } else if (verb == "size") {
    OpenListAndPick(form_->NDiaList, TextArg(r), false);
  } else if (verb == "fluid") {
    OpenListAndPick(form_->cbVisList, TextArg(r), false);
  } else if (verb == "material") {
    OpenListAndPick(form_->cbFricList, TextArg(r), true);
  } else if (verb == "focus") {
    Focus(ControlNamed(r.Word()));
  } else if (verb == "leave") {
    Focus(form_->cbSolveFor);
  } else if (verb == "click") {
    platform::Control& c = ControlNamed(r.Word());
    if (!dynamic_cast<platform::Label*>(&c)) Focus(c);
    if (c.OnClick) c.OnClick();
  } else if (verb == "type" || verb == "append") {
    platform::TextField& field = FieldOf(r.Word());
    TypeInto(field, TextArg(r), verb == "type");
  } else if (verb == "paste") {
    platform::TextField& field = FieldOf(r.Word());
    ui_->clipboard.SetText(TextArg(r));
    Focus(field);
    field.SelectAll();
    form_->EditPopupMenu.Entries()[2]->OnClick();  // the field menu's Paste
  } else if (verb == "cut" || verb == "copytext") {
    platform::TextField& field = FieldOf(r.Word());
    Focus(field);
    field.SelectAll();
    form_->EditPopupMenu.Entries()[verb == "cut" ? 0 : 1]->OnClick();
  } else if (verb == "equation") {
    Pick(form_->ComboEq, TextArg(r));
  } else if (verb == "equation-type") {
    Focus(form_->ComboEq);
    dynamic_cast<platform::RecComboBox&>(form_->ComboEq).UserTypeAll(TextArg(r));
  } else if (verb == "problem") {
    const std::string which = TextArg(r);
    const bool isNumber = !which.empty() && which.find_first_not_of("0123456789") == std::string::npos;
    if (!isNumber) {
      Pick(form_->cbSolveFor, which);
    } else {
      Focus(form_->cbSolveFor);
      const int n = Integer(which);
      if (n >= static_cast<int>(form_->cbSolveFor.Items().size())) throw LineError("no problem at " + which);
      dynamic_cast<platform::RecComboBox&>(form_->cbSolveFor).UserPick(n);
    }
  } else if (verb == "unit" || verb == "unit-menu") {
    const int index = ParamNamed(r.Word());
    auto& label = dynamic_cast<platform::RecLabel&>(*form_->UnitLabels[static_cast<size_t>(index)]);
    platform::RecMenu& menu = ui_->MenuNamed("UnitsPopupMenu");
    menu.open = false;
    label.UserRightClick();
    if (!menu.open) throw LineError(label.Name() + " has no unit menu");
    if (verb == "unit-menu") {
      menu.open = false;
    } else {
      const std::string unit = TextArg(r);
      if (!menu.UserChoose(unit)) throw LineError("no unit " + Quoted(unit) + " in the menu");
    }
  } else if (verb == "decimals") {
    auto& field = dynamic_cast<platform::RecTextField&>(FieldOf(r.Word()));
    const std::string n = r.Word();
    platform::RecMenu& menu = ui_->MenuNamed("EditPopupMenu");
    menu.open = false;
    field.UserRightClick();
    if (!menu.open) throw LineError(NameOf(&field) + " has no field menu");
    menu.open = false;
    if (!menu.Submenu("Decimal places")->UserChoose(n)) throw LineError("no decimal places entry " + n);
  } else if (verb == "solve") {
    form_->Solve1.OnClick();
  } else if (verb == "undo") {
    form_->Undo1.OnClick();
  } else if (verb == "copy") {
    form_->CopytoClipboard2.OnClick();
  } else if (verb == "clear") {
    form_->ClearFields2.OnClick();
  } else if (verb == "english") {
    form_->SetEnglishUnits1.OnClick();
  } else if (verb == "si") {
    form_->SetSIUnits1.OnClick();
  } else if (verb == "toggle") {
    const std::string item = r.Word();
    if (item != "Sound1") throw LineError("toggle " + item + " is not built yet");
    form_->Sound1.OnClick();
  } else {
    throw LineError("unknown or not yet built verb " + verb);
  }
}

void Session::Expect(LineReader& r) {
  const std::string what = r.Word();
  if (what == "beeps" || what == "messages" || what == "captions" || what == "clipboard" ||
      what == "file" || what == "running" || what == "shown" || what == "ini") {
    ExpectRecorded(what, r);
  } else {
    ExpectState(what, r);
  }
}

void Session::ExpectState(const std::string& what, LineReader& r) {
  if (what == "text" || what == "status") {
    const std::string name = what == "status" ? "status" : r.Word();
    const std::string want = TextArg(r);
    const std::string got = TextOf(name);
    Check(got == want, what + " " + name + " " + Quoted(want), Quoted(got));
  } else if (what == "value") {
    const int index = ParamNamed(r.Word());
    const double want = Number(r.Word());
    const auto tolWord = r.OptionalWord();
    const double tol = tolWord ? Number(*tolWord) : 1e-9;
    const double got = Record(index).ParamValue;
    const bool ok = want == 0.0 ? std::fabs(got) <= tol : std::fabs(got - want) <= tol * std::fabs(want);
    Check(ok, "value " + NumberText(want), NumberText(got));
  } else if (what == "unit") {
    const int index = ParamNamed(r.Word());
    const std::string want = TextArg(r);
    const std::string got = form_->UnitLabels[static_cast<size_t>(index)]->Caption();
    Check(got == want, "unit " + Quoted(want), Quoted(got));
  } else if (what == "unit-index" || what == "decimals") {
    const TParamType& p = Record(ParamNamed(r.Word()));
    const int want = Integer(r.Word());
    const int got = what == "decimals" ? p.Decimals : p.UnitIndex;
    Check(got == want, what + " " + std::to_string(want), std::to_string(got));
  } else if (what == "color") {
    const TParamType& p = Record(ParamNamed(r.Word()));
    const std::string want = r.Word();
    const platform::Color c = p.Edit->FontColor();
    const std::string got = c == clResult ? "result" : c == clNormal ? "normal" : std::to_string(c);
    Check(got == want, "color " + want, got);
  } else if (what == "role") {
    const TParamType& p = Record(ParamNamed(r.Word()));
    const std::string want = r.Word();
    Check(want == RoleName(p.Role), "role " + want, RoleName(p.Role));
  } else if (what == "visible" || what == "enabled" || what == "checked") {
    const std::string name = r.Word();
    const bool want = YesNo(r.Word());
    bool got;
    if (what == "visible" && name == "window") {
      got = ui_->window.Shown();
    } else if (platform::MenuItem* item = ui_->FindMenuItem(name)) {
      if (what == "visible") throw LineError("a menu item has no visibility here");
      got = what == "checked" ? item->Checked() : item->Enabled();
    } else {
      if (what == "checked") throw LineError(name + " is not a menu item");
      platform::Control& c = ControlNamed(name);
      got = what == "visible" ? c.Visible() : c.Enabled();
    }
    Check(got == want, what + " " + name + " " + YesNoText(want), YesNoText(got));
  } else if (what == "focus") {
    const std::string name = r.Word();
    const std::string got = NameOf(ui_->window.Focused());
    Check(got == NameOf(&ControlNamed(name)), "focus " + name, got);
  } else if (what == "solved") {
    const bool want = YesNo(r.Word());
    Check(form_->Solved == want, "solved " + YesNoText(want), YesNoText(form_->Solved));
  } else if (what == "undo") {
    const int want = Integer(r.Word());
    const int got = static_cast<int>(form_->SnapshotStack.size());
    Check(got == want, "undo " + std::to_string(want), std::to_string(got));
  } else if (what == "decimal-check") {
    const std::string want = r.Word();
    std::string got = "none";
    for (platform::MenuItem* entry : form_->DecimalsMenu.Entries()) {
      if (entry->Checked()) got = entry->Caption();
    }
    Check(got == want, "decimal-check " + want, got);
  } else if (what == "items" && ui_->FindMenu(r.Rest().substr(0, r.Rest().find(' ')))) {
    platform::RecMenu& menu = *ui_->FindMenu(r.Word());
    const std::string want = TextArg(r);
    const std::string got = Join(menu.Captions(), "|");
    Check(got == want, "items " + Quoted(want), Quoted(got));
  } else if (what == "items" || what == "index") {
    const std::string name = r.Word();
    auto* combo = dynamic_cast<platform::ComboBox*>(&ControlNamed(name));
    if (!combo) throw LineError(name + " has no entries");
    if (what == "items") {
      const std::string want = TextArg(r);
      const std::string got = Join(combo->Items(), "|");
      Check(got == want, "items " + Quoted(want), Quoted(got));
    } else {
      const int want = Integer(r.Word());
      Check(combo->ItemIndex() == want, "index " + std::to_string(want), std::to_string(combo->ItemIndex()));
    }
  } else {
    throw LineError("unknown or not yet built expectation " + what);
  }
}

void Session::ExpectRecorded(const std::string& what, LineReader& r) {
  if (what == "beeps") {
    const std::string want = TextArg(r);
    std::vector<std::string> codes;
    for (size_t i = beepsSeen_; i < ui_->beeper.beeps.size(); ++i) codes.push_back(std::to_string(ui_->beeper.beeps[i]));
    beepsSeen_ = ui_->beeper.beeps.size();
    const std::string got = codes.empty() ? "none" : Join(codes, ",");
    Check(got == want, "beeps " + want, got);
  } else if (what == "messages" || what == "captions") {
    const std::string want = TextArg(r);
    size_t& seen = what == "messages" ? messagesSeen_ : captionsSeen_;
    std::vector<std::string> texts;
    for (size_t i = seen; i < ui_->boxes.shown.size(); ++i) {
      const auto& box = ui_->boxes.shown[i];
      texts.push_back(what == "messages" ? box.text : (box.caption.empty() ? shell::AppTitle : box.caption));
    }
    seen = ui_->boxes.shown.size();
    const std::string got = texts.empty() ? "none" : Join(texts, "|");
    Check(got == want, what + " " + Quoted(want), Quoted(got));
  } else if (what == "clipboard") {
    const std::string want = TextArg(r, true);
    const std::string got = ui_->clipboard.Text();
    Check(got == want, "clipboard " + Quoted(want), Quoted(got));
  } else if (what == "file") {
    const std::string where = r.Word();
    if (where != "program" && where != "appdata") throw LineError("expect file takes program or appdata");
    const std::string name = r.Word();
    const bool want = YesNo(r.Word());
    const fs::path path = where == "program" ? programDir_ / name : AppdataFile(name);
    const bool got = fs::exists(path);
    Check(got == want, "file " + name + " " + YesNoText(want), YesNoText(got));
  } else if (what == "ini") {
    const std::string section = r.Word();
    const std::string key = r.Word();
    const std::string want = TextArg(r);
    const fs::path path = AppdataFile("settings");
    const std::string missing = "\x01<missing>";
    std::string got = fs::exists(path) ? settings::IniFile(path).ReadString(section, key, missing) : missing;
    if (got == missing) got = "<missing>";
    const bool ok = want == "<any>" ? got != "<missing>" : got == want;
    Check(ok, "ini " + section + " " + key + " " + Quoted(want), Quoted(got));
  } else if (what == "running" || what == "shown") {
    const bool want = YesNo(r.Word());
    const bool got = what == "running" ? running_ : running_ && ui_->window.Shown();
    Check(got == want, what + " " + YesNoText(want), YesNoText(got));
  }
}

}  // namespace zynta::cli
