#include "cli/script_session.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>

#include "calc/catalog.h"
#include "cli/recording_driver.h"
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
  if (res.ec != std::errc() || res.ptr != word.data() + word.size())
    throw LineError("not a whole number: " + word);
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
  folders_.programDir = root_ / "program";
  folders_.appdataDir = root_ / "appdata";
  CopyProgramData(options.programDir, folders_.programDir);
  fs::create_directories(folders_.appdataDir);
  units::SetDecimalSeparator('.');
  driver_ = options.makeDriver ? options.makeDriver() : std::make_unique<RecordingDriver>();
}

Session::~Session() {
  driver_.reset();
  std::error_code ec;
  fs::remove_all(root_, ec);
  units::SetDecimalSeparator('.');
}

void Session::Run(const std::string& content) {
  lines_ = std::make_unique<ScriptLines>(content);
  RunLines({});
}

void Session::RunLines(const std::function<bool()>& whileTrue) {
  std::string line;
  while (!stopped_ && (!whileTrue || whileTrue()) && lines_->Next(line, line_)) {
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    try {
      RunLine(line, line_);
    } catch (const LineError& e) {
      err_ << file_.string() << ":" << line_ << ": error: " << e.what() << "\n";
      ++totals_.failed;
      stopped_ = true;
      return;
    } catch (const ScriptSyntaxError& e) {
      err_ << file_.string() << ":" << line_ << ": error: " << e.what() << "\n";
      ++totals_.failed;
      stopped_ = true;
      return;
    }
  }
}

void Session::RunLine(const std::string& line, int number) {
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
    line_ = number;  // the lines run while a modal box was open are over
    running_ = running_ && driver_->Program() && driver_->Program()->Running();
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
    WriteFile(verb == "program" ? folders_.programDir / name : AppdataFile(name), TextArg(r));
  } else if (verb == "remove") {
    const std::string where = r.Word();
    if (where != "program" && where != "appdata") throw LineError("remove takes program or appdata");
    const std::string name = r.Word();
    std::error_code ec;
    fs::remove(where == "program" ? folders_.programDir / name : AppdataFile(name), ec);
  } else if (verb == "web") {
    const std::string text = TextArg(r);
    answers_.web = text == "fail" ? std::nullopt : std::optional<std::string>(text);
    if (started_) driver_->SetWeb(answers_.web);
  } else if (verb == "intro") {
    answers_.intro = r.Word();
    const std::string& how = answers_.intro;
    if (how != "ok" && how != "ok-checked" && how != "close" && how != "close-checked")
      throw LineError("unknown intro answer " + how);
  } else if (verb == "answer") {
    const std::string answer = r.Word();
    if (answer != "ok" && answer != "cancel") throw LineError("answer takes ok or cancel");
    answers_.nextAnswerOk = answer == "ok";
    if (started_) {
      driver_->SetNextAnswer(answers_.nextAnswerOk);
      answers_.nextAnswerOk = true;
    }
  } else if (verb == "mail") {
    const std::string how = r.Word();
    if (how == "ok") {
      answers_.mailFailCode = 0;
    } else if (how == "fail") {
      answers_.mailFailCode = Integer(r.Word());
    } else {
      throw LineError("mail takes ok or fail N");
    }
    if (started_) driver_->SetMailFail(answers_.mailFailCode);
  } else {
    return false;
  }
  return true;
}

// The per-user settings folder, where `appdata` lines write and `settings` names the file.
fs::path Session::SettingsFolder() const { return folders_.appdataDir / settings::SettingsSubfolder; }

fs::path Session::AppdataFile(const std::string& name) const {
  return SettingsFolder() / (name == "settings" ? "zynta.ini" : name);
}

shell::TfrmZYNTA& Session::Form() const {
  const startup::ZyntaProgram* program = driver_->Program();
  if (!program || !program->HasForm()) throw LineError("the program did not start");
  return program->Form();
}

void Session::Start() {
  started_ = true;
  beepsSeen_ = messagesSeen_ = captionsSeen_ = openedSeen_ = 0;
  const ScriptAnswers answers = answers_;
  answers_.nextAnswerOk = true;  // the platform answers the next box; later ones are OK again
  running_ = driver_->Start(folders_, answers);
}

// A second copy on the same folders: it finds the lock and says so. Its message box is
// recorded with this copy's.
void Session::SecondStart() {
  const ScriptAnswers answers = answers_;
  answers_.nextAnswerOk = true;
  if (driver_->SecondStart(folders_, answers)) throw LineError("a second copy started");
}

// The program has ended: what the platform recorded stays readable for the expectations.
void Session::Stop() { running_ = false; }

void Session::RequireShown() const {
  if (!running_ || !driver_->WindowShown()) throw LineError("the window is not on screen");
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
  const startup::ZyntaProgram* program = driver_->Program();
  if (!program || !program->HasForm() || !Form().ParamTypes[static_cast<size_t>(index)])
    throw LineError("the program is not running");
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
  if (platform::Control* c = driver_->FindControl(name)) return *c;
  throw LineError("unknown control " + name);
}

platform::Menu& Session::MenuNamed(const std::string& name) const {
  if (platform::Menu* menu = driver_->FindMenu(name)) return *menu;
  throw LineError("there is no menu " + name);
}

std::string Session::NameOf(const platform::Control* control) const {
  if (!control) return "none";
  for (int i = 0; i < ParamCount; ++i) {
    if (Form().Edits[static_cast<size_t>(i)] == control) return ParamTable[static_cast<size_t>(i)].id;
  }
  return control->Name();
}

std::string Session::TextOf(const std::string& name) const {
  if (name == "status") return driver_->StatusText();
  if (name == "window") return driver_->WindowCaption();
  if (name == "tray") return driver_->TrayTip();
  if (name == "help") return driver_->HelpPage();
  if (name == "about") return driver_->DialogCaption("about");
  if (platform::MenuItem* item = driver_->FindMenuItem(name)) return driver_->Caption(*item);
  platform::Control& c = ControlNamed(name);
  if (auto* field = dynamic_cast<platform::TextField*>(&c)) return driver_->Text(*field);
  if (auto* combo = dynamic_cast<platform::ComboBox*>(&c)) return driver_->Text(*combo);
  if (auto* label = dynamic_cast<platform::Label*>(&c)) return driver_->Caption(*label);
  if (auto* button = dynamic_cast<platform::Button*>(&c)) return driver_->Caption(*button);
  if (auto* box = dynamic_cast<platform::CheckBox*>(&c)) return driver_->Caption(*box);
  throw LineError(name + " has no text");
}

void Session::Focus(platform::Control& control) {
  if (dynamic_cast<platform::Label*>(&control) || !control.CanFocus())
    throw LineError(NameOf(&control) + " cannot take the focus");
  driver_->Focus(control);
}

void Session::TypeInto(platform::TextField& field, const std::string& text, bool selectAll) {
  Focus(field);
  if (driver_->Focused() != &field) return;  // an exit handler sent the focus elsewhere
  driver_->Type(field, text, selectAll);
}

void Session::Pick(platform::ComboBox& combo, const std::string& entry) {
  Focus(combo);
  const auto items = combo.Items();
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == entry) {
      driver_->Pick(combo, static_cast<int>(i));
      return;
    }
  }
  throw LineError("no entry " + Quoted(entry) + " in " + combo.Name());
}

void Session::OpenListAndPick(platform::ComboBox& list, const std::string& entry, bool beforeEquals) {
  Focus(list);
  driver_->OpenList(list);
  const auto items = list.Items();
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == entry || (beforeEquals && items[i].substr(0, items[i].find('=')) == entry)) {
      driver_->PickInOpenList(list, static_cast<int>(i));
      return;
    }
  }
  driver_->CloseList(list);
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
    driver_->SessionEnd();
  } else if (verb == "tray") {
    const std::string button = r.Word();
    if (!driver_->TrayPresent()) throw LineError("there is no notification icon");
    if (button != "left" && button != "right") throw LineError("tray takes left or right");
    driver_->TrayClick(button == "left");
  } else {
    const std::string item = verb == "exit" ? "Exit ZYNTA" : TextArg(r);
    if (!driver_->TrayMenu(item)) throw LineError("no icon menu entry " + Quoted(item));
  }
  running_ = driver_->Program()->Running();
}

void Session::AboutAction(const std::string& verb) {
  if (!running_ || !driver_->DialogShown("about")) throw LineError("the about box is not open");
  const char* name = verb == "about-check"   ? "about.BtnCheckVersion"
                     : verb == "about-email" ? "about.BtnEmail"
                     : verb == "about-link"  ? "about.lbWebLink"
                     : verb == "about-ok"    ? "about.OKButton"
                                             : nullptr;
  if (!name) throw LineError("unknown verb " + verb);
  if (platform::Control* c = driver_->FindControl(name)) driver_->ClickInDialog(*c);
}

void Session::Action(const std::string& verb, LineReader& r) {
  if (verb == "exit" || verb == "session-end" || verb == "tray" || verb == "tray-menu" || verb == "restart" ||
      verb == "second-start") {
    WindowAction(verb, r);
    return;
  }
  if (verb.rfind("about-", 0) == 0) {
    AboutAction(verb);
    return;
  }
  RequireShown();
  if (verb == "close") {
    driver_->CloseButton();
    return;
  }
  if (verb == "help") {
    driver_->MenuCommand(Form().Help2);
    return;
  }
  if (verb == "about") {
    // The lines after it run while the box is open, where its box is modal.
    driver_->OpenAbout(Form().About1,
                       [this] { RunLines([this] { return running_ && driver_->DialogShown("about"); }); });
    return;
  }
  RequireShown();
  if (verb == "spec") {
    Pick(Form().ComboSpec, TextArg(r));
  } else if (verb == "spec-type") {
    Focus(Form().ComboSpec);
    driver_->TypeInto(Form().ComboSpec, TextArg(r));
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
    if (!dynamic_cast<platform::Label*>(&c) && !c.CanFocus())
      throw LineError(NameOf(&c) + " cannot take the focus");
    driver_->Click(c);
  } else if (verb == "type" || verb == "append") {
    platform::TextField& field = FieldOf(r.Word());
    TypeInto(field, TextArg(r), verb == "type");
  } else if (verb == "paste") {
    platform::TextField& field = FieldOf(r.Word());
    driver_->SetClipboard(TextArg(r));
    Focus(field);
    driver_->FieldMenuEdit(field, 2, Form().EditPopupMenu);  // the field menu's Paste
  } else if (verb == "cut" || verb == "copytext") {
    platform::TextField& field = FieldOf(r.Word());
    Focus(field);
    driver_->FieldMenuEdit(field, verb == "cut" ? 0 : 1, Form().EditPopupMenu);
  } else if (verb == "equation") {
    Pick(Form().ComboEq, TextArg(r));
  } else if (verb == "equation-type") {
    Focus(Form().ComboEq);
    driver_->TypeInto(Form().ComboEq, TextArg(r));
  } else if (verb == "problem") {
    const std::string which = TextArg(r);
    const bool isNumber = !which.empty() && which.find_first_not_of("0123456789") == std::string::npos;
    if (!isNumber) {
      Pick(Form().cbSolveFor, which);
    } else {
      Focus(Form().cbSolveFor);
      const int n = Integer(which);
      if (n >= static_cast<int>(Form().cbSolveFor.Items().size())) throw LineError("no problem at " + which);
      driver_->Pick(Form().cbSolveFor, n);
    }
  } else if (verb == "unit" || verb == "unit-menu") {
    const int index = ParamNamed(r.Word());
    platform::Label& label = *Form().UnitLabels[static_cast<size_t>(index)];
    platform::Menu& menu = MenuNamed("UnitsPopupMenu");
    if (!driver_->RightClick(label, menu)) throw LineError(label.Name() + " has no unit menu");
    if (verb == "unit-menu") {
      driver_->ChooseInMenu(menu, nullptr, nullptr);
    } else {
      const std::string unit = TextArg(r);
      if (!driver_->ChooseInMenu(menu, nullptr, &unit))
        throw LineError("no unit " + Quoted(unit) + " in the menu");
    }
  } else if (verb == "decimals") {
    platform::TextField& field = FieldOf(r.Word());
    const std::string n = r.Word();
    platform::Menu& menu = MenuNamed("EditPopupMenu");
    if (!driver_->RightClick(field, menu)) throw LineError(NameOf(&field) + " has no field menu");
    const std::string places = "Decimal places";
    if (!driver_->ChooseInMenu(menu, &places, &n)) throw LineError("no decimal places entry " + n);
  } else if (verb == "solve") {
    driver_->MenuCommand(Form().Solve1);
  } else if (verb == "undo") {
    driver_->MenuCommand(Form().Undo1);
  } else if (verb == "copy") {
    driver_->MenuCommand(Form().CopytoClipboard2);
  } else if (verb == "clear") {
    driver_->MenuCommand(Form().ClearFields2);
  } else if (verb == "english") {
    driver_->MenuCommand(Form().SetEnglishUnits1);
  } else if (verb == "si") {
    driver_->MenuCommand(Form().SetSIUnits1);
  } else if (verb == "toggle") {
    const std::string item = r.Word();
    if (item != "Sound1" && item != "StayonTop1" && item != "StartHidden1" && item != "Checkforupdates1")
      throw LineError("toggle takes an Options item, not " + item);
    platform::MenuItem* entry = driver_->FindMenuItem(item);
    if (!entry) throw LineError("there is no menu item " + item);
    driver_->MenuCommand(*entry);
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
  if (started_) replace("<os>", driver_->OsName());
  return text;
}

void Session::Expect(LineReader& r) {
  expecting_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{expecting_};
  const std::string what = r.Word();
  if (what == "beeps" || what == "messages" || what == "captions" || what == "clipboard" || what == "file" ||
      what == "running" || what == "shown" || what == "ini" || what == "tray" || what == "ontop" ||
      what == "intro" || what == "splash" || what == "opened" || what.rfind("mail-", 0) == 0) {
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
    const std::string got = driver_->Caption(*Form().UnitLabels[static_cast<size_t>(index)]);
    Check(got == want, "unit " + Quoted(want), Quoted(got));
  } else if (what == "unit-index" || what == "decimals") {
    const TParamType& p = Record(ParamNamed(r.Word()));
    const int want = Integer(r.Word());
    const int got = what == "decimals" ? p.Decimals : p.UnitIndex;
    Check(got == want, what + " " + std::to_string(want), std::to_string(got));
  } else if (what == "color") {
    const TParamType& p = Record(ParamNamed(r.Word()));
    const std::string want = r.Word();
    const platform::Color c = driver_->FontColor(*p.Edit);
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
      got = driver_->WindowShown();
    } else if (what == "visible" && name == "help") {
      got = driver_->HelpOpen();
    } else if (what == "visible" && (name == "about" || name == "splash" || name == "intro")) {
      got = driver_->DialogShown(name);
    } else if (what == "checked" && dynamic_cast<platform::CheckBox*>(driver_->FindControl(name))) {
      got = driver_->Checked(*dynamic_cast<platform::CheckBox*>(driver_->FindControl(name)));
    } else if (platform::MenuItem* item = driver_->FindMenuItem(name)) {
      if (what == "visible") throw LineError("a menu item has no visibility here");
      got = what == "checked" ? driver_->Checked(*item) : driver_->Enabled(*item);
    } else {
      if (what == "checked") throw LineError(name + " is not a menu item");
      platform::Control& c = ControlNamed(name);
      got = what == "visible" ? driver_->Visible(c) : driver_->Enabled(c);
    }
    Check(got == want, what + " " + name + " " + YesNoText(want), YesNoText(got));
  } else if (what == "focus") {
    const std::string name = r.Word();
    const std::string got = NameOf(driver_->Focused());
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
      if (driver_->Checked(*entry)) got = driver_->Caption(*entry);
    }
    Check(got == want, "decimal-check " + want, got);
  } else if (what == "items" && driver_->FindMenu(r.Rest().substr(0, r.Rest().find(' ')))) {
    platform::Menu& menu = *driver_->FindMenu(r.Word());
    const std::string want = TextArg(r);
    const std::string got = Join(driver_->Captions(menu), "|");
    Check(got == want, "items " + Quoted(want), Quoted(got));
  } else if (what == "items" || what == "index") {
    const std::string name = r.Word();
    auto* combo = dynamic_cast<platform::ComboBox*>(&ControlNamed(name));
    if (!combo) throw LineError(name + " has no entries");
    if (what == "items") {
      const std::string want = TextArg(r);
      const std::string got = Join(driver_->Items(*combo), "|");
      Check(got == want, "items " + Quoted(want), Quoted(got));
    } else {
      const int want = Integer(r.Word());
      const int got = driver_->Index(*combo);
      Check(got == want, "index " + std::to_string(want), std::to_string(got));
    }
  } else {
    throw LineError("unknown or not yet built expectation " + what);
  }
}

void Session::ExpectRecorded(const std::string& what, LineReader& r) {
  if (what == "beeps") {
    const std::string want = TextArg(r);
    std::vector<std::string> codes;
    const std::vector<unsigned>& beeps = driver_->Beeps();
    for (size_t i = beepsSeen_; i < beeps.size(); ++i) codes.push_back(std::to_string(beeps[i]));
    beepsSeen_ = beeps.size();
    const std::string got = codes.empty() ? "none" : Join(codes, ",");
    Check(got == want, "beeps " + want, got);
  } else if (what == "messages" || what == "captions") {
    const std::string want = TextArg(r);
    size_t& seen = what == "messages" ? messagesSeen_ : captionsSeen_;
    std::vector<std::string> texts;
    const std::vector<platform::RecordedBox>& boxes = driver_->Boxes();
    for (size_t i = seen; i < boxes.size(); ++i) {
      const auto& box = boxes[i];
      texts.push_back(what == "messages" ? box.text : (box.caption.empty() ? shell::AppTitle : box.caption));
    }
    seen = boxes.size();
    const std::string got = texts.empty() ? "none" : Join(texts, "|");
    Check(got == want, what + " " + Quoted(want), Quoted(got));
  } else if (what == "clipboard") {
    const std::string want = TextArg(r, true);
    const std::string got = driver_->ClipboardText();
    Check(got == want, "clipboard " + Quoted(want), Quoted(got));
  } else if (what == "file") {
    const std::string where = r.Word();
    if (where != "program" && where != "appdata") throw LineError("expect file takes program or appdata");
    const std::string name = r.Word();
    const bool want = YesNo(r.Word());
    const fs::path path = where == "program" ? folders_.programDir / name : AppdataFile(name);
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
    if (what == "shown") got = running_ && driver_->WindowShown();
    if (what == "tray") got = driver_->TrayPresent();
    if (what == "ontop") got = driver_->OnTop();
    if (what == "intro" || what == "splash") got = driver_->DialogWasShown(what);
    Check(got == want, what + " " + YesNoText(want), YesNoText(got));
  } else if (what == "opened") {
    const std::string want = TextArg(r);
    const std::string site = startup::WebPage("");
    std::vector<std::string> pages;
    const std::vector<std::string>& opened = driver_->Opened();
    for (size_t i = openedSeen_; i < opened.size(); ++i) {
      std::string url = opened[i];
      if (url.rfind(site, 0) == 0) url = url.substr(site.size());
      pages.push_back(url);
    }
    openedSeen_ = opened.size();
    const std::string got = pages.empty() ? "none" : Join(pages, "|");
    Check(got == want, "opened " + Quoted(want), Quoted(got));
  } else if (what.rfind("mail-", 0) == 0) {
    const std::string want = TextArg(r);
    const platform::MailMessage& m = driver_->LastMail();
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
