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
#include "startup/update_check.h"
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
  program_.reset();
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
    running_ = running_ && program_ && program_->Running();
  }
  if (!r.AtEnd()) throw LineError("unexpected words: " + r.Rest());
}

std::string Session::TextArg(LineReader& r, bool crlf) {
  const std::string text = RawTextArg(r, crlf);
  return expecting_ ? Expanded(text) : text;
}

std::string Session::RawTextArg(LineReader& r, bool crlf) {
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
    if (ui_) ui_->http.body = webFails_ ? std::nullopt : std::optional<std::string>(webBody_);
  } else if (verb == "intro") {
    introClose_ = r.Word();
    if (introClose_ != "ok" && introClose_ != "ok-checked" && introClose_ != "close" &&
        introClose_ != "close-checked")
      throw LineError("unknown intro answer " + introClose_);
  } else if (verb == "answer") {
    const std::string answer = r.Word();
    if (answer != "ok" && answer != "cancel") throw LineError("answer takes ok or cancel");
    nextAnswerOk_ = answer == "ok";
    if (ui_) {
      ui_->boxes.nextAnswer = nextAnswerOk_;
      nextAnswerOk_ = true;
    }
  } else if (verb == "mail") {
    const std::string how = r.Word();
    if (how == "ok") {
      mailFailCode_ = 0;
    } else if (how == "fail") {
      mailFailCode_ = Integer(r.Word());
    } else {
      throw LineError("mail takes ok or fail N");
    }
    if (ui_) ui_->mail.failCode = mailFailCode_;
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

shell::TfrmZYNTA& Session::Form() const {
  if (!program_ || !program_->HasForm()) throw LineError("the program did not start");
  return program_->Form();
}

std::unique_ptr<platform::RecordingPlatform> Session::MakePlatform() {
  auto ui = std::make_unique<platform::RecordingPlatform>();
  ui->boxes.nextAnswer = nextAnswerOk_;
  nextAnswerOk_ = true;  // the platform answers the next box; later ones are OK again
  ui->folders.appData = appdataDir_.string();
  ui->http.body = webFails_ ? std::nullopt : std::optional<std::string>(webBody_);
  ui->mail.failCode = mailFailCode_;
  ArrangeIntro(*ui);
  return ui;
}

// How the intro window is closed when it shows: OK or its close box, the check box ticked first.
void Session::ArrangeIntro(platform::RecordingPlatform& ui) const {
  const std::string how = introClose_;
  platform::RecordingPlatform* p = &ui;
  ui.DialogNamed("intro").modalHook = [p, how] {
    if (how == "ok-checked" || how == "close-checked") p->CheckBoxNamed("intro.CheckBox1").SetChecked(true);
    if (how == "ok" || how == "ok-checked") {
      if (auto& click = p->ButtonNamed("intro.Button3").OnClick) click();
    } else {
      p->DialogNamed("intro").Close();
    }
  };
}

void Session::Start() {
  started_ = true;
  program_.reset();
  ui_ = MakePlatform();
  beepsSeen_ = messagesSeen_ = captionsSeen_ = openedSeen_ = 0;
  program_ = std::make_unique<startup::ZyntaProgram>(*ui_, programDir_);
  running_ = program_->Start();
}

// A second copy on the same folders: it finds the lock and says so. Its message box is
// recorded with this copy's.
void Session::SecondStart() {
  auto second = MakePlatform();
  startup::ZyntaProgram copy(*second, programDir_);
  if (copy.Start()) throw LineError("a second copy started");
  for (const auto& box : second->boxes.shown) ui_->boxes.shown.push_back(box);
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
  if (!program_ || !program_->HasForm() || !Form().ParamTypes[static_cast<size_t>(index)]) throw LineError("the program is not running");
  return *Form().ParamTypes[static_cast<size_t>(index)];
}

int Session::ParamNamed(const std::string& param) const {
  const int index = ParamIndexOf(param);
  if (index < 0) throw LineError("unknown parameter " + param);
  return index;
}

platform::TextField& Session::FieldOf(const std::string& param) const {
  return *Form().Edits[static_cast<size_t>(ParamNamed(param))];
}

platform::Control& Session::ControlNamed(const std::string& name) const {
  const int index = ParamIndexOf(name);
  if (index >= 0) return *Form().Edits[static_cast<size_t>(index)];
  if (platform::Control* c = ui_->FindControl(name)) return *c;
  throw LineError("unknown control " + name);
}

std::string Session::NameOf(const platform::Control* control) const {
  if (!control) return "none";
  for (int i = 0; i < ParamCount; ++i) {
    if (Form().Edits[static_cast<size_t>(i)] == control) return ParamTable[static_cast<size_t>(i)].id;
  }
  return control->Name();
}

std::string Session::TextOf(const std::string& name) const {
  if (name == "status") return ui_->status.Text();
  if (name == "window") return ui_->window.Caption();
  if (name == "tray") return ui_->tray.Tip();
  if (name == "help") return ui_->help.page;
  if (name == "about") return ui_->DialogNamed("about").Caption();
  if (platform::MenuItem* item = ui_->FindMenuItem(name)) return item->Caption();
  platform::Control& c = ControlNamed(name);
  if (auto* field = dynamic_cast<platform::TextField*>(&c)) return field->Text();
  if (auto* combo = dynamic_cast<platform::ComboBox*>(&c)) return combo->Text();
  if (auto* label = dynamic_cast<platform::Label*>(&c)) return label->Caption();
  if (auto* button = dynamic_cast<platform::Button*>(&c)) return button->Caption();
  if (auto* box = dynamic_cast<platform::CheckBox*>(&c)) return box->Caption();
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

void Session::WindowAction(const std::string& verb, LineReader& r) {
  if (verb == "restart") {
    Start();  // a run still going is dropped unsaved, as when its process is killed
    return;
  }
  if (!running_) throw LineError("the program is not running");
  if (verb == "second-start") {
    SecondStart();
  } else if (verb == "session-end") {
    Form().SessionEndQuery();
  } else if (verb == "tray") {
    const std::string button = r.Word();
    platform::RecTrayIcon& tray = ui_->tray;
    if (!tray.Present()) throw LineError("there is no notification icon");
    if (button == "left" && tray.OnLeftClick) {
      tray.OnLeftClick();
    } else if (button == "right" && tray.OnRightClick) {
      tray.OnRightClick();
    } else if (button != "left" && button != "right") {
      throw LineError("tray takes left or right");
    }
  } else {
    const std::string item = verb == "exit" ? "Exit ZYNTA" : TextArg(r);
    if (!ui_->MenuNamed("TaskBarPopupMenu").UserChoose(item)) throw LineError("no icon menu entry " + Quoted(item));
  }
  running_ = program_->Running();
}

void Session::AboutAction(const std::string& verb) {
  platform::RecWindow* box = ui_->FindDialog("about");
  if (!running_ || !box || !box->Shown()) throw LineError("the about box is not open");
  const char* name = verb == "about-check"   ? "about.BtnCheckVersion"
                     : verb == "about-email" ? "about.BtnEmail"
                     : verb == "about-link"  ? "about.lbWebLink"
                     : verb == "about-ok"    ? "about.OKButton"
                                             : nullptr;
  if (!name) throw LineError("unknown verb " + verb);
  platform::Control* c = ui_->FindControl(name);
  if (c && c->OnClick) c->OnClick();
}

void Session::Action(const std::string& verb, LineReader& r) {
  if (verb == "exit" || verb == "session-end" || verb == "tray" || verb == "tray-menu" ||
      verb == "restart" || verb == "second-start") {
    WindowAction(verb, r);
    return;
  }
  if (verb.rfind("about-", 0) == 0) {
    AboutAction(verb);
    return;
  }
  RequireShown();
  if (verb == "close") {
    bool canClose = true;
    if (auto& query = ui_->window.OnCloseQuery) query(canClose);
    return;
  }
  if (verb == "help") {
    Form().Help2.OnClick();
    return;
  }
  if (verb == "about") {
    Form().About1.OnClick();
    return;
  }
  RequireShown();
  if (verb == "spec") {
    Pick(Form().ComboSpec, TextArg(r));
  } else if (verb == "spec-type") {
    Focus(Form().ComboSpec);
    dynamic_cast<platform::RecComboBox&>(Form().ComboSpec).UserTypeAll(TextArg(r));
  } else if (verb == "size") {
    OpenListAndPick(Form().NDiaList, TextArg(r), false);
  } else if (verb == "fluid") {
    OpenListAndPick(Form().cbVisList, TextArg(r), false);
  } else if (verb == "material") {
    OpenListAndPick(Form().cbFricList, TextArg(r), true);
  } else if (verb == "focus") {
    Focus(ControlNamed(r.Word()));
  } else if (verb == "leave") {
    Focus(Form().cbSolveFor);
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
    Form().EditPopupMenu.Entries()[2]->OnClick();  // the field menu's Paste
  } else if (verb == "cut" || verb == "copytext") {
    platform::TextField& field = FieldOf(r.Word());
    Focus(field);
    field.SelectAll();
    Form().EditPopupMenu.Entries()[verb == "cut" ? 0 : 1]->OnClick();
  } else if (verb == "equation") {
    Pick(Form().ComboEq, TextArg(r));
  } else if (verb == "equation-type") {
    Focus(Form().ComboEq);
    dynamic_cast<platform::RecComboBox&>(Form().ComboEq).UserTypeAll(TextArg(r));
  } else if (verb == "problem") {
    const std::string which = TextArg(r);
    const bool isNumber = !which.empty() && which.find_first_not_of("0123456789") == std::string::npos;
    if (!isNumber) {
      Pick(Form().cbSolveFor, which);
    } else {
      Focus(Form().cbSolveFor);
      const int n = Integer(which);
      if (n >= static_cast<int>(Form().cbSolveFor.Items().size())) throw LineError("no problem at " + which);
      dynamic_cast<platform::RecComboBox&>(Form().cbSolveFor).UserPick(n);
    }
  } else if (verb == "unit" || verb == "unit-menu") {
    const int index = ParamNamed(r.Word());
    auto& label = dynamic_cast<platform::RecLabel&>(*Form().UnitLabels[static_cast<size_t>(index)]);
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
    Form().Solve1.OnClick();
  } else if (verb == "undo") {
    Form().Undo1.OnClick();
  } else if (verb == "copy") {
    Form().CopytoClipboard2.OnClick();
  } else if (verb == "clear") {
    Form().ClearFields2.OnClick();
  } else if (verb == "english") {
    Form().SetEnglishUnits1.OnClick();
  } else if (verb == "si") {
    Form().SetSIUnits1.OnClick();
  } else if (verb == "toggle") {
    const std::string item = r.Word();
    if (item != "Sound1" && item != "StayonTop1" && item != "StartHidden1" && item != "Checkforupdates1")
      throw LineError("toggle takes an Options item, not " + item);
    ui_->MenuItemNamed(item).OnClick();
  } else {
    throw LineError("unknown or not yet built verb " + verb);
  }
}

// In an expected text, <settings> stands for the settings file's path, <os> for the system name.
std::string Session::Expanded(std::string text) const {
  auto replace = [&text](const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
      text.replace(at, from.size(), to);
  };
  replace("<settings>", AppdataFile("settings").string());
  if (ui_) replace("<os>", ui_->system.osName);
  return text;
}

void Session::Expect(LineReader& r) {
  expecting_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{expecting_};
  const std::string what = r.Word();
  if (what == "beeps" || what == "messages" || what == "captions" || what == "clipboard" ||
      what == "file" || what == "running" || what == "shown" || what == "ini" || what == "tray" ||
      what == "ontop" || what == "intro" || what == "splash" || what == "opened" || what.rfind("mail-", 0) == 0) {
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
    const std::string got = Form().UnitLabels[static_cast<size_t>(index)]->Caption();
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
    } else if (what == "visible" && name == "help") {
      got = ui_->help.open;
    } else if (what == "visible" && (name == "about" || name == "splash" || name == "intro")) {
      got = ui_->DialogNamed(name).Shown();
    } else if (what == "checked" && ui_->FindControl(name) && dynamic_cast<platform::CheckBox*>(ui_->FindControl(name))) {
      got = dynamic_cast<platform::CheckBox*>(ui_->FindControl(name))->Checked();
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
    Check(Form().Solved == want, "solved " + YesNoText(want), YesNoText(Form().Solved));
  } else if (what == "undo") {
    const int want = Integer(r.Word());
    const int got = static_cast<int>(Form().SnapshotStack.size());
    Check(got == want, "undo " + std::to_string(want), std::to_string(got));
  } else if (what == "decimal-check") {
    const std::string want = r.Word();
    std::string got = "none";
    for (platform::MenuItem* entry : Form().DecimalsMenu.Entries()) {
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
  } else if (what == "running" || what == "shown" || what == "tray" || what == "ontop" || what == "intro" ||
             what == "splash") {
    const bool want = YesNo(r.Word());
    bool got = false;
    if (what == "running") got = running_;
    if (what == "shown") got = running_ && ui_->window.Shown();
    if (what == "tray") got = ui_->tray.Present();
    if (what == "ontop") got = ui_->window.StayOnTop();
    if (what == "intro" || what == "splash") {
      const platform::RecWindow* w = ui_->FindDialog(what);
      got = w && w->wasShown;
    }
    Check(got == want, what + " " + YesNoText(want), YesNoText(got));
  } else if (what == "opened") {
    const std::string want = TextArg(r);
    const std::string site = startup::WebPage("");
    std::vector<std::string> pages;
    for (size_t i = openedSeen_; i < ui_->desktop.opened.size(); ++i) {
      std::string url = ui_->desktop.opened[i];
      if (url.rfind(site, 0) == 0) url = url.substr(site.size());
      pages.push_back(url);
    }
    openedSeen_ = ui_->desktop.opened.size();
    const std::string got = pages.empty() ? "none" : Join(pages, "|");
    Check(got == want, "opened " + Quoted(want), Quoted(got));
  } else if (what.rfind("mail-", 0) == 0) {
    const std::string want = TextArg(r);
    const platform::MailMessage& m = ui_->mail.last;
    std::string got;
    if (what == "mail-subject") got = m.subject;
    else if (what == "mail-body") got = m.body;
    else if (what == "mail-to") got = m.toName;
    else if (what == "mail-from") got = m.fromName;
    else throw LineError("unknown expectation " + what);
    Check(got == want, what + " " + Quoted(want), Quoted(got));
  }
}

}  // namespace zynta::cli
