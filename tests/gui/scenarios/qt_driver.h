#pragma once
// The scenario driver on the real Qt window (zynta-gui-scenarios): the calculator, its menus,
// the splash, intro and about windows, the message boxes and the help window are Qt widgets,
// driven with synthesized input under the offscreen platform: key clicks into the fields,
// mouse clicks (a right click on a unit label opens its real menu), real focus changes, picks
// in the real choosers' lists, the window's close button, the F1/F2/Ctrl+Z shortcut keys; the
// screen is read back from the widgets.
//
// Recording services stand in where the offscreen platform has nothing (the notification
// area: a recorded icon that says a notification area exists, so the window hides to it as on
// a desktop) or where a run must not reach the machine: web answers, mail, web pages, beeps,
// the splash's wait, the folders (the script's private settings folder) and the lock.

#include <memory>
#include <set>
#include <string>
#include <vector>

#include <QObject>

#include "cli/script_driver.h"
#include "gui/platform_qt.h"

class QWidget;

namespace zynta::gui {

class QtDriver : public QObject, public cli::ScriptDriver {
 public:
  QtDriver();
  ~QtDriver() override;

  bool Start(const cli::ScriptFolders& folders, const cli::ScriptAnswers& answers) override;
  bool SecondStart(const cli::ScriptFolders& folders, const cli::ScriptAnswers& answers) override;
  startup::ZyntaProgram* Program() const override { return program_.get(); }
  void SetWeb(const std::optional<std::string>& body) override;
  void SetNextAnswer(bool ok) override { nextAnswer_ = ok; }
  void SetMailFail(int code) override;

  platform::Control* FindControl(std::string_view name) const override;
  platform::MenuItem* FindMenuItem(std::string_view name) const override;
  platform::Menu* FindMenu(std::string_view name) const override;
  std::vector<platform::Control*> Controls() const override;

  void Focus(platform::Control& control) override;
  void Click(platform::Control& control) override;
  void Type(platform::TextField& field, const std::string& text, bool selectAll) override;
  void FieldMenuEdit(platform::TextField& field, int entry, platform::Menu& fieldMenu) override;
  void Pick(platform::ComboBox& combo, int index) override;
  void TypeInto(platform::ComboBox& combo, const std::string& text) override;
  void OpenList(platform::ComboBox& list) override;
  void PickInOpenList(platform::ComboBox& list, int index) override;
  void CloseList(platform::ComboBox& list) override;
  bool RightClick(platform::Control& control, platform::Menu& menu) override;
  bool ChooseInMenu(platform::Menu& menu, const std::string* submenu, const std::string* caption) override;
  void MenuCommand(platform::MenuItem& item) override;
  void OpenAbout(platform::MenuItem& about, const std::function<void()>& whileOpen) override;
  void ClickInDialog(platform::Control& control) override;
  void CloseButton() override;
  void TrayClick(bool left) override;
  bool TrayMenu(const std::string& caption) override;
  void SessionEnd() override;
  void SetClipboard(const std::string& text) override;

  std::string Text(const platform::TextField& field) const override;
  std::string Text(const platform::ComboBox& combo) const override;
  std::vector<std::string> Items(const platform::ComboBox& combo) const override;
  int Index(const platform::ComboBox& combo) const override;
  std::string Caption(const platform::Label& label) const override;
  std::string Caption(const platform::Button& button) const override;
  std::string Caption(const platform::CheckBox& box) const override;
  bool Checked(const platform::CheckBox& box) const override;
  bool Visible(const platform::Control& control) const override;
  bool Enabled(const platform::Control& control) const override;
  platform::Color FontColor(const platform::TextField& field) const override;
  std::string Caption(const platform::MenuItem& item) const override;
  bool Checked(const platform::MenuItem& item) const override;
  bool Enabled(const platform::MenuItem& item) const override;
  std::vector<std::string> Captions(const platform::Menu& menu) const override;
  platform::Control* Focused() const override;
  std::string StatusText() const override;
  std::string WindowCaption() const override;
  bool WindowShown() const override;
  bool OnTop() const override;
  std::string DialogCaption(std::string_view name) const override;
  bool DialogShown(std::string_view name) const override;
  bool DialogWasShown(std::string_view name) const override;
  bool HelpOpen() const override;
  std::string HelpPage() const override;
  bool TrayPresent() const override;
  std::string TrayTip() const override;
  std::string ClipboardText() const override;

  const std::vector<unsigned>& Beeps() const override;
  const std::vector<platform::RecordedBox>& Boxes() const override { return boxes_; }
  const std::vector<std::string>& Opened() const override;
  const platform::MailMessage& LastMail() const override;
  std::string OsName() const override;

 protected:
  // Answers the message boxes and the intro as the script says; notes the windows shown.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The recording services of one program run.
  struct Services {
    platform::RecBeeper beeper;
    platform::RecDesktop desktop;
    platform::RecTrayIcon tray;
    platform::RecMailComposer mail;
    platform::RecHttpClient http;
    platform::RecInstanceLock lock;
    platform::RecFolders folders;
    platform::RecSystem system;
    QtServices Bundle();
  };
  struct Run {
    std::unique_ptr<Services> services;
    std::unique_ptr<QtPlatform> platform;
    std::unique_ptr<startup::ZyntaProgram> program;
  };
  Run MakeRun(const cli::ScriptFolders& folders, const cli::ScriptAnswers& answers);
  static void Drop(Run& run);

  QtPlatform& P() const;
  Services& Svc() const;
  QWidget& Widget(const platform::Control& control) const;
  // Lets Qt deliver what the last action queued (zero timers, focus, deferred deletes).
  void Settle() const;
  void ClickEntry(QMenu* from, QMenu* top, QAction* entry) const;
  // The user's next action goes to the calculator window: open pop-ups close (as a click
  // elsewhere closes them), the window is the active one.
  void Prepare();
  void SendKey(QWidget* target, char c);
  void AnswerIntro(QWidget* intro);

  std::unique_ptr<Services> services_;
  std::unique_ptr<QtPlatform> platform_;
  std::unique_ptr<startup::ZyntaProgram> program_;
  std::vector<platform::RecordedBox> boxes_;
  std::set<std::string> shown_;  // the windows shown since the last start
  bool nextAnswer_ = true;
  std::string intro_ = "close";
};

}  // namespace zynta::gui
