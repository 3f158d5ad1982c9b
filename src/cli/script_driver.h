#pragma once
// How a scenario script reaches the program: the part of a script run that differs between the
// recording platform (zynta-cli script) and the real Qt window (zynta-gui-scenarios). The
// session (script_session.h) reads the lines, keeps the expectations' counts and handles the
// files; a driver starts the program on its platform, acts as the user and reads the screen.
//
// The actions below are the user's: each one runs what the same action of a person runs,
// handlers included. The session has checked the names and the preconditions (the window on
// screen, a control that can take the focus) before it asks.

#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/recording.h"
#include "startup/program_start.h"

namespace zynta::cli {

// A line that cannot be run; the script stops there.
struct LineError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// What the script arranged for the parts of the program that ask the outside world.
struct ScriptAnswers {
  std::optional<std::string> web;  // the version file's body; nothing: every request fails
  bool nextAnswerOk = true;        // the next confirmation box only
  int mailFailCode = 0;
  std::string intro = "close";  // ok, ok-checked, close, close-checked
};

struct ScriptFolders {
  std::filesystem::path programDir;
  std::filesystem::path appdataDir;  // the user's application-data folder
};

class ScriptDriver {
 public:
  virtual ~ScriptDriver() = default;

  // ---- the program's life
  // A fresh program on a fresh platform; a program still running is dropped unsaved, as when
  // its process is killed. The result of the start sequence.
  virtual bool Start(const ScriptFolders& folders, const ScriptAnswers& answers) = 0;
  // A second copy on the same folders while this one runs; true when it started (it must
  // not). Its message boxes are recorded with this copy's.
  virtual bool SecondStart(const ScriptFolders& folders, const ScriptAnswers& answers) = 0;
  virtual startup::ZyntaProgram* Program() const = 0;
  // What the recorded services answer from now on.
  virtual void SetWeb(const std::optional<std::string>& body) = 0;
  virtual void SetNextAnswer(bool ok) = 0;
  virtual void SetMailFail(int code) = 0;

  // ---- the platform's objects by name (nullptr: never made)
  virtual platform::Control* FindControl(std::string_view name) const = 0;
  virtual platform::MenuItem* FindMenuItem(std::string_view name) const = 0;
  virtual platform::Menu* FindMenu(std::string_view name) const = 0;
  // Every control made so far, in name order.
  virtual std::vector<platform::Control*> Controls() const = 0;

  // ---- the user's actions
  virtual void Focus(platform::Control& control) = 0;
  // A left click: the focus moves there (not for a label), then its click handler runs.
  virtual void Click(platform::Control& control) = 0;
  // Typing into a focused field, everything selected first or the caret at the end.
  virtual void Type(platform::TextField& field, const std::string& text, bool selectAll) = 0;
  // The field focused, all selected, then the field menu's Cut, Copy or Paste (entry 0, 1, 2).
  virtual void FieldMenuEdit(platform::TextField& field, int entry, platform::Menu& fieldMenu) = 0;
  // Focuses the chooser and picks the entry at that position.
  virtual void Pick(platform::ComboBox& combo, int index) = 0;
  // Focuses the chooser, selects all of its text and types.
  virtual void TypeInto(platform::ComboBox& combo, const std::string& text) = 0;
  // Focuses the list and opens it; then the session finds the entry and picks it (the list
  // closes), or closes the list when there is none.
  virtual void OpenList(platform::ComboBox& list) = 0;
  virtual void PickInOpenList(platform::ComboBox& list, int index) = 0;
  virtual void CloseList(platform::ComboBox& list) = 0;
  // A right click on the label or field; false when no menu of that name opened.
  virtual bool RightClick(platform::Control& control, platform::Menu& menu) = 0;
  // The open menu's entry (in the submenu of that caption when one is given), or nothing
  // chosen when caption is null; false when it has no such entry.
  virtual bool ChooseInMenu(platform::Menu& menu, const std::string* submenu, const std::string* caption) = 0;
  // A command of the window's menus (Solve1, Undo1, Help2, About1, the options).
  virtual void MenuCommand(platform::MenuItem& item) = 0;
  // About: the box is modal. whileOpen runs the script's next lines as long as the box is
  // open; a driver whose modal windows return at once need not call it.
  virtual void OpenAbout(platform::MenuItem& about, const std::function<void()>& whileOpen) = 0;
  // A button or the link of the open about box.
  virtual void ClickInDialog(platform::Control& control) = 0;
  virtual void CloseButton() = 0;
  virtual void TrayClick(bool left) = 0;
  // An entry of the notification icon's menu; false when there is none of that caption.
  virtual bool TrayMenu(const std::string& caption) = 0;
  virtual void SessionEnd() = 0;
  // Puts a text on the clipboard, as another program would.
  virtual void SetClipboard(const std::string& text) = 0;

  // ---- what the screen shows
  virtual std::string Text(const platform::TextField& field) const { return field.Text(); }
  virtual std::string Text(const platform::ComboBox& combo) const { return combo.Text(); }
  virtual std::vector<std::string> Items(const platform::ComboBox& combo) const { return combo.Items(); }
  virtual int Index(const platform::ComboBox& combo) const { return combo.ItemIndex(); }
  virtual std::string Caption(const platform::Label& label) const { return label.Caption(); }
  virtual std::string Caption(const platform::Button& button) const { return button.Caption(); }
  virtual std::string Caption(const platform::CheckBox& box) const { return box.Caption(); }
  virtual bool Checked(const platform::CheckBox& box) const { return box.Checked(); }
  virtual bool Visible(const platform::Control& control) const { return control.Visible(); }
  virtual bool Enabled(const platform::Control& control) const { return control.Enabled(); }
  virtual platform::Color FontColor(const platform::TextField& field) const { return field.FontColor(); }
  virtual std::string Caption(const platform::MenuItem& item) const { return item.Caption(); }
  virtual bool Checked(const platform::MenuItem& item) const { return item.Checked(); }
  virtual bool Enabled(const platform::MenuItem& item) const { return item.Enabled(); }
  // Every entry's caption in order, separators as "-" and submenus by their caption.
  virtual std::vector<std::string> Captions(const platform::Menu& menu) const = 0;
  virtual platform::Control* Focused() const = 0;
  virtual std::string StatusText() const = 0;
  virtual std::string WindowCaption() const = 0;
  virtual bool WindowShown() const = 0;
  virtual bool OnTop() const = 0;
  // "about", "splash", "intro".
  virtual std::string DialogCaption(std::string_view name) const = 0;
  virtual bool DialogShown(std::string_view name) const = 0;
  virtual bool DialogWasShown(std::string_view name) const = 0;  // at the last start
  virtual bool HelpOpen() const = 0;
  virtual std::string HelpPage() const = 0;
  virtual bool TrayPresent() const = 0;
  virtual std::string TrayTip() const = 0;
  virtual std::string ClipboardText() const = 0;

  // ---- what the services were asked, since the start
  virtual const std::vector<unsigned>& Beeps() const = 0;
  virtual const std::vector<platform::RecordedBox>& Boxes() const = 0;
  virtual const std::vector<std::string>& Opened() const = 0;
  virtual const platform::MailMessage& LastMail() const = 0;
  virtual std::string OsName() const = 0;
};

}  // namespace zynta::cli
