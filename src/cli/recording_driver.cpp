#include "cli/recording_driver.h"

namespace zynta::cli {

RecordingDriver::~RecordingDriver() {
  program_.reset();
  ui_.reset();
}

platform::RecordingPlatform& RecordingDriver::Ui() const {
  if (started_) return *started_;
  if (!ui_) throw LineError("the program is not started");
  return *ui_;
}

std::unique_ptr<platform::RecordingPlatform> RecordingDriver::MakePlatform(const ScriptFolders& folders,
                                                                           const ScriptAnswers& answers) const {
  auto ui = std::make_unique<platform::RecordingPlatform>();
  ui->boxes.nextAnswer = answers.nextAnswerOk;
  ui->folders.appData = folders.appdataDir.string();
  ui->http.body = answers.web;
  ui->mail.failCode = answers.mailFailCode;
  // How the intro window is closed when it shows: OK or its close box, the check box ticked first.
  const std::string how = answers.intro;
  platform::RecordingPlatform* p = ui.get();
  ui->DialogNamed("intro").modalHook = [p, how] {
    if (how == "ok-checked" || how == "close-checked") p->CheckBoxNamed("intro.CheckBox1").SetChecked(true);
    if (how == "ok" || how == "ok-checked") {
      if (auto& click = p->ButtonNamed("intro.Button3").OnClick) click();
    } else {
      p->DialogNamed("intro").Close();
    }
  };
  return ui;
}

bool RecordingDriver::Start(const ScriptFolders& folders, const ScriptAnswers& answers) {
  program_.reset();
  ui_ = MakePlatform(folders, answers);
  program_ = std::make_unique<startup::ZyntaProgram>(*ui_, folders.programDir);
  return program_->Start();
}

bool RecordingDriver::SecondStart(const ScriptFolders& folders, const ScriptAnswers& answers) {
  auto second = MakePlatform(folders, answers);
  startup::ZyntaProgram copy(*second, folders.programDir);
  if (copy.Start()) return true;
  for (const auto& box : second->boxes.shown) Ui().boxes.shown.push_back(box);
  return false;
}

void RecordingDriver::SetWeb(const std::optional<std::string>& body) { Ui().http.body = body; }
void RecordingDriver::SetNextAnswer(bool ok) { Ui().boxes.nextAnswer = ok; }
void RecordingDriver::SetMailFail(int code) { Ui().mail.failCode = code; }

platform::Control* RecordingDriver::FindControl(std::string_view name) const { return Ui().FindControl(name); }
platform::MenuItem* RecordingDriver::FindMenuItem(std::string_view name) const { return Ui().FindMenuItem(name); }
platform::Menu* RecordingDriver::FindMenu(std::string_view name) const { return Ui().FindMenu(name); }
std::vector<platform::Control*> RecordingDriver::Controls() const { return Ui().Controls(); }

void RecordingDriver::Focus(platform::Control& control) { Ui().window.SetFocus(control); }

void RecordingDriver::Click(platform::Control& control) {
  if (!dynamic_cast<platform::Label*>(&control)) Focus(control);
  if (control.OnClick) control.OnClick();
}

void RecordingDriver::Type(platform::TextField& field, const std::string& text, bool selectAll) {
  if (selectAll) {
    field.SelectAll();
  } else {
    field.SetSelection(static_cast<int>(field.Text().size()), 0);
  }
  auto& rec = dynamic_cast<platform::RecTextField&>(field);
  for (char c : text) {
    if (Ui().window.Focused() != &field) return;  // the rest is dropped
    rec.UserKey(c);
  }
}

void RecordingDriver::FieldMenuEdit(platform::TextField& field, int entry, platform::Menu& fieldMenu) {
  field.SelectAll();
  fieldMenu.Entries()[static_cast<size_t>(entry)]->OnClick();
}

void RecordingDriver::Pick(platform::ComboBox& combo, int index) {
  dynamic_cast<platform::RecComboBox&>(combo).UserPick(index);
}

void RecordingDriver::TypeInto(platform::ComboBox& combo, const std::string& text) {
  dynamic_cast<platform::RecComboBox&>(combo).UserTypeAll(text);
}

void RecordingDriver::OpenList(platform::ComboBox& list) {
  dynamic_cast<platform::RecComboBox&>(list).UserDropDown();
}

void RecordingDriver::PickInOpenList(platform::ComboBox& list, int index) {
  auto& rec = dynamic_cast<platform::RecComboBox&>(list);
  rec.UserPick(index);
  rec.UserCloseUp();
}

void RecordingDriver::CloseList(platform::ComboBox& list) {
  dynamic_cast<platform::RecComboBox&>(list).UserCloseUp();
}

bool RecordingDriver::RightClick(platform::Control& control, platform::Menu& menu) {
  auto& rec = dynamic_cast<platform::RecMenu&>(menu);
  rec.open = false;
  if (auto* label = dynamic_cast<platform::RecLabel*>(&control)) {
    label->UserRightClick();
  } else {
    dynamic_cast<platform::RecTextField&>(control).UserRightClick();
  }
  return rec.open;
}

bool RecordingDriver::ChooseInMenu(platform::Menu& menu, const std::string* submenu, const std::string* caption) {
  auto& rec = dynamic_cast<platform::RecMenu&>(menu);
  if (!caption) {
    rec.open = false;
    return true;
  }
  if (submenu) {
    rec.open = false;
    platform::RecMenu* sub = rec.Submenu(*submenu);
    return sub && sub->UserChoose(*caption);
  }
  return rec.UserChoose(*caption);
}

void RecordingDriver::MenuCommand(platform::MenuItem& item) { item.OnClick(); }

void RecordingDriver::OpenAbout(platform::MenuItem& about, const std::function<void()>&) { about.OnClick(); }

void RecordingDriver::ClickInDialog(platform::Control& control) {
  if (control.OnClick) control.OnClick();
}

void RecordingDriver::CloseButton() {
  bool canClose = true;
  if (auto& query = Ui().window.OnCloseQuery) query(canClose);
}

void RecordingDriver::TrayClick(bool left) {
  platform::RecTrayIcon& tray = Ui().tray;
  if (left && tray.OnLeftClick) tray.OnLeftClick();
  if (!left && tray.OnRightClick) tray.OnRightClick();
}

bool RecordingDriver::TrayMenu(const std::string& caption) {
  return Ui().MenuNamed("TaskBarPopupMenu").UserChoose(caption);
}

void RecordingDriver::SessionEnd() { program_->Form().SessionEndQuery(); }

void RecordingDriver::SetClipboard(const std::string& text) { Ui().clipboard.SetText(text); }

std::vector<std::string> RecordingDriver::Captions(const platform::Menu& menu) const {
  return dynamic_cast<const platform::RecMenu&>(menu).Captions();
}

platform::Control* RecordingDriver::Focused() const { return Ui().window.Focused(); }
std::string RecordingDriver::StatusText() const { return Ui().status.Text(); }
std::string RecordingDriver::WindowCaption() const { return Ui().window.Caption(); }
bool RecordingDriver::WindowShown() const { return Ui().window.Shown(); }
bool RecordingDriver::OnTop() const { return Ui().window.StayOnTop(); }

std::string RecordingDriver::DialogCaption(std::string_view name) const {
  const platform::RecWindow* w = Ui().FindDialog(name);
  return w ? w->Caption() : "";
}

bool RecordingDriver::DialogShown(std::string_view name) const {
  const platform::RecWindow* w = Ui().FindDialog(name);
  return w && w->Shown();
}

bool RecordingDriver::DialogWasShown(std::string_view name) const {
  const platform::RecWindow* w = Ui().FindDialog(name);
  return w && w->wasShown;
}

bool RecordingDriver::HelpOpen() const { return Ui().help.open; }
std::string RecordingDriver::HelpPage() const { return Ui().help.page; }
bool RecordingDriver::TrayPresent() const { return Ui().tray.Present(); }
std::string RecordingDriver::TrayTip() const { return Ui().tray.Tip(); }
std::string RecordingDriver::ClipboardText() const { return Ui().clipboard.Text(); }

const std::vector<unsigned>& RecordingDriver::Beeps() const { return Ui().beeper.beeps; }
const std::vector<platform::RecordedBox>& RecordingDriver::Boxes() const { return Ui().boxes.shown; }
const std::vector<std::string>& RecordingDriver::Opened() const { return Ui().desktop.opened; }
const platform::MailMessage& RecordingDriver::LastMail() const { return Ui().mail.last; }
std::string RecordingDriver::OsName() const { return Ui().system.osName; }

}  // namespace zynta::cli
