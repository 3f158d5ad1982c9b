#pragma once
// The recording platform: controls that only hold their state, and services that record what
// the calculator asked of them. The tests and the command-line tool run the calculator on it,
// and act as the user through the User* operations.

#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace zynta::platform {

class RecWindow;

template <class Base>
class RecControl : public Base {
 public:
  explicit RecControl(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const override { return name_; }
  bool Visible() const override { return visible_; }
  void SetVisible(bool visible) override { visible_ = visible; }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  void SetHint(const std::string& hint) override { hint_ = hint; }
  const std::string& Hint() const { return hint_; }

 private:
  std::string name_;
  std::string hint_;
  bool visible_ = true;
  bool enabled_ = true;
};

class RecTextField : public RecControl<TextField> {
 public:
  RecTextField(std::string name, Clipboard& clipboard) : RecControl(std::move(name)), clipboard_(clipboard) {}
  std::string Text() const override { return text_; }
  bool TextIs(std::string_view text) const override { return text_ == text; }
  void SetText(const std::string& text) override;
  bool Modified() const override { return modified_; }
  void SetModified(bool modified) override { modified_ = modified; }
  Color FontColor() const override { return font_; }
  void SetFontColor(Color color) override { font_ = color; }
  Color BackgroundColor() const override { return background_; }
  void SetBackgroundColor(Color color) override { background_ = color; }
  void SelectAll() override;
  void SetSelection(int start, int length) override;
  int SelectionStart() const override { return selStart_; }
  int SelectionLength() const override { return selLength_; }
  void CutToClipboard() override;
  void CopyToClipboard() override;
  void PasteFromClipboard() override;
  void SetPopupMenu(Menu* menu) override { popupMenu_ = menu; }

  // A character typed by the user: the key handler first, then the edit.
  void UserKey(char key);
  // A right click: the handler, then the field's menu unless the handler took the click.
  void UserRightClick();

 private:
  void ReplaceSelection(const std::string& with);  // a user edit
  void Backspace();

  Clipboard& clipboard_;
  Menu* popupMenu_ = nullptr;
  std::string text_;
  bool modified_ = false;
  Color font_ = 0;
  Color background_ = 0xFFFFFF;
  int selStart_ = 0;
  int selLength_ = 0;
};

class RecComboBox : public RecControl<ComboBox> {
 public:
  using RecControl::RecControl;
  std::vector<std::string> Items() const override { return items_; }
  void ClearItems() override;
  void AddItem(const std::string& item) override { items_.push_back(item); }
  int ItemIndex() const override { return index_; }
  void SetItemIndex(int index) override;
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override;
  ComboStyle Style() const override { return style_; }
  void SetStyle(ComboStyle style) override { style_ = style; }

  // The user picks an entry from the list: the handler runs even when it was selected.
  void UserPick(int index);
  // The user opens the list, picks an entry and closes it.
  void UserOpenPick(int index);
  void UserDropDown();
  void UserCloseUp();
  // The user types into an editable chooser with everything selected first.
  void UserTypeAll(const std::string& text);

 private:
  std::vector<std::string> items_;
  int index_ = -1;
  std::string text_;
  ComboStyle style_ = ComboStyle::Editable;
};

class RecLabel : public RecControl<Label> {
 public:
  using RecControl::RecControl;
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  void Repaint() override {}
  void UserRightClick();

 private:
  std::string caption_;
};

class RecButton : public RecControl<Button> {
 public:
  using RecControl::RecControl;
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override { caption_ = caption; }

 private:
  std::string caption_;
};

class RecCheckBox : public RecControl<CheckBox> {
 public:
  using RecControl::RecControl;
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  bool Checked() const override { return checked_; }
  void SetChecked(bool checked) override { checked_ = checked; }

 private:
  std::string caption_;
  bool checked_ = false;
};

class RecMenuItem : public MenuItem {
 public:
  explicit RecMenuItem(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const override { return name_; }
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  bool Checked() const override { return checked_; }
  void SetChecked(bool checked) override { checked_ = checked; }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }

 private:
  std::string name_;
  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
};

class RecMenu : public Menu {
 public:
  explicit RecMenu(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const override { return name_; }
  void Clear() override;
  MenuItem& Add(const std::string& caption) override;
  void AddSeparator() override;
  Menu& AddSubmenu(const std::string& caption) override;
  std::vector<MenuItem*> Entries() const override;
  void Popup() override;

  // Every entry's caption in order, separators as "-" and submenus by their caption.
  std::vector<std::string> Captions() const;
  RecMenu* Submenu(const std::string& caption) const;
  // The open menu's entry chosen by the user, by caption; false when there is none.
  bool UserChoose(const std::string& caption);
  bool open = false;

 private:
  struct Entry {
    std::string caption;
    std::unique_ptr<RecMenuItem> item;  // null for separators and submenus
    std::unique_ptr<RecMenu> submenu;
  };
  std::string name_;
  std::vector<Entry> entries_;
};

class RecStatusBar : public StatusBar {
 public:
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }

 private:
  std::string text_;
};

class RecWindow : public Window {
 public:
  bool Shown() const override { return shown_; }
  void SetShown(bool shown) override {
    shown_ = shown;
    wasShown = wasShown || shown;
  }
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  int Top() const override { return top_; }
  int Left() const override { return left_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void MoveTo(int top, int left) override {
    top_ = top;
    left_ = left;
  }
  bool StayOnTop() const override { return onTop_; }
  void SetStayOnTop(bool onTop) override { onTop_ = onTop; }
  Control* Focused() const override { return focused_; }
  void SetFocus(Control& control) override;
  void ShowModal() override;
  void Close() override { shown_ = false; }
  void MoveCentredOn(int x, int y) override { MoveTo(y - height_ / 2, x - width_ / 2); }
  void SetBusyCursor(bool busy) override { busy_ = busy; }

  // What a test arranged for the next modal showing (closing it, in its own way).
  std::function<void()> modalHook;
  bool wasShown = false;  // shown at least once
  bool Busy() const { return busy_; }

 private:
  bool shown_ = false;
  bool busy_ = false;
  bool onTop_ = false;
  int top_ = 333;  // where the window is designed to open
  int left_ = 680;
  int width_ = 416;
  int height_ = 472;
  std::string caption_;
  Control* focused_ = nullptr;
  unsigned focusMoves_ = 0;  // lets a move tell whether an exit handler moved the focus
};

class RecBeeper : public Beeper {
 public:
  void MessageBeep(unsigned code) override { beeps.push_back(code); }
  std::vector<unsigned> beeps;
};

struct RecordedBox {
  std::string text;
  std::string caption;
};

class RecMessageBoxes : public MessageBoxes {
 public:
  void Show(const std::string& text, const std::string& caption) override;
  bool Confirm(const std::string& text, const std::string& caption) override;
  std::vector<RecordedBox> shown;
  bool nextAnswer = true;  // how the next confirmation is answered; then back to OK
};

class RecClipboard : public Clipboard {
 public:
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }

 private:
  std::string text_;
};

class RecDesktop : public Desktop {
 public:
  void OpenUrl(const std::string& url) override { opened.push_back(url); }
  std::vector<std::string> opened;
};

class RecTrayIcon : public TrayIcon {
 public:
  bool Available() const override { return available; }
  void Add(const std::string& tip) override {
    tip_ = tip;
    present_ = true;
  }
  void Remove() override { present_ = false; }
  bool Present() const override { return present_; }
  std::string Tip() const override { return tip_; }
  void PopupMenu(Menu& menu) override { menu.Popup(); }
  bool available = true;

 private:
  std::string tip_;
  bool present_ = false;
};

class RecHelpViewer : public HelpViewer {
 public:
  bool ShowContents(const std::string& entryPage) override;
  void CloseAll() override { open = false; }
  bool open = false;
  std::string page;
};

// Records every showing of the plot window; the user closes it with UserClose.
class RecPlotViewer : public PlotViewer {
 public:
  void Show(const PlotData& data) override {
    shown.push_back(data);
    open = true;
    ++raised;
  }
  void Update(const PlotData& data) override {
    if (open) shown.push_back(data);
  }
  bool Open() const override { return open; }
  void CloseAll() override { open = false; }
  void UserClose() { open = false; }
  // What the window showed, in order; the last one is on screen while it is open.
  std::vector<PlotData> shown;
  bool open = false;
  int raised = 0;  // how often Show brought it to the front
};

class RecMailComposer : public MailComposer {
 public:
  int Compose(const MailMessage& mail) override {
    last = mail;
    sent = true;
    return failCode;
  }
  MailMessage last;
  bool sent = false;
  int failCode = 0;  // what the mail program answers
};

class RecHttpClient : public HttpClient {
 public:
  std::optional<std::string> Get(const std::string& host, int port, const std::string& path) override;
  std::optional<std::string> body;  // nothing: every request fails
  std::vector<std::string> requests;
};

// Locks by name shared by every recording platform of the process, so a second program on the
// same folders finds the first one's lock.
class RecInstanceLock : public InstanceLock {
 public:
  ~RecInstanceLock() override;
  bool Acquire(const std::string& name) override;
  std::string FailureText() const override { return failWith; }
  void Release();
  // When set, every Acquire fails for this reason, as a lock file that cannot be made does.
  std::string failWith;

 private:
  std::string held_;
};

class RecSystem : public SystemServices {
 public:
  std::string OsName() const override { return osName; }
  void ProcessEventsFor(int milliseconds) override { waitedMs += milliseconds; }
  void LogError(const std::string& text) override { logged.push_back(text); }
  std::string osName = "Linux";
  int waitedMs = 0;
  std::vector<std::string> logged;
};

class RecFolders : public Folders {
 public:
  std::string AppDataFolder() const override { return appData; }
  std::string ExecutableName() const override { return executable; }
  bool SetWorkingDirectory(const std::string& folder) override;
  std::string appData;
  std::string executable = "zynta";
  bool workingDirectoryFails = false;
  std::string workingDirectory;
};

class RecordingPlatform : public Platform {
 public:
  TextField& GetTextField(std::string_view name) override { return TextFieldNamed(name); }
  ComboBox& GetComboBox(std::string_view name) override { return ComboBoxNamed(name); }
  Label& GetLabel(std::string_view name) override { return LabelNamed(name); }
  MenuItem& GetMenuItem(std::string_view name) override { return MenuItemNamed(name); }
  Menu& GetMenu(std::string_view name) override { return MenuNamed(name); }
  CheckBox& GetCheckBox(std::string_view name) override { return CheckBoxNamed(name); }
  Button& GetButton(std::string_view name) override { return ButtonNamed(name); }
  Window& GetDialog(std::string_view name) override { return DialogNamed(name); }
  StatusBar& GetStatusBar() override { return status; }
  Window& GetWindow() override { return window; }
  Beeper& Beep() override { return beeper; }
  MessageBoxes& Boxes() override { return boxes; }
  Clipboard& GetClipboard() override { return clipboard; }
  Folders& GetFolders() override { return folders; }
  Desktop& GetDesktop() override { return desktop; }
  TrayIcon& GetTrayIcon() override { return tray; }
  HelpViewer& GetHelp() override { return help; }
  PlotViewer& GetPlots() override { return plots; }
  MailComposer& GetMail() override { return mail; }
  HttpClient& GetHttp() override { return http; }
  InstanceLock& GetInstanceLock() override { return lock; }
  SystemServices& GetSystem() override { return system; }

  RecTextField& TextFieldNamed(std::string_view name);
  RecComboBox& ComboBoxNamed(std::string_view name);
  RecLabel& LabelNamed(std::string_view name);
  RecMenuItem& MenuItemNamed(std::string_view name);
  RecMenu& MenuNamed(std::string_view name);
  RecCheckBox& CheckBoxNamed(std::string_view name);
  RecButton& ButtonNamed(std::string_view name);
  RecWindow& DialogNamed(std::string_view name);
  RecWindow* FindDialog(std::string_view name) const;
  RecMenu* FindMenu(std::string_view name) const;

  // Looks a control up without creating it: nullptr when no such control was made.
  Control* FindControl(std::string_view name) const;
  MenuItem* FindMenuItem(std::string_view name) const;
  // Every control made so far, by name, in name order.
  std::vector<Control*> Controls() const;
  const std::map<std::string, std::unique_ptr<RecTextField>, std::less<>>& TextFields() const {
    return textFields_;
  }

  RecStatusBar status;
  RecWindow window;
  RecBeeper beeper;
  RecMessageBoxes boxes;
  RecClipboard clipboard;
  RecFolders folders;
  RecDesktop desktop;
  RecTrayIcon tray;
  RecHelpViewer help;
  RecPlotViewer plots;
  RecMailComposer mail;
  RecHttpClient http;
  RecInstanceLock lock;
  RecSystem system;

 private:
  std::map<std::string, std::unique_ptr<RecTextField>, std::less<>> textFields_;
  std::map<std::string, std::unique_ptr<RecComboBox>, std::less<>> comboBoxes_;
  std::map<std::string, std::unique_ptr<RecLabel>, std::less<>> labels_;
  std::map<std::string, std::unique_ptr<RecMenuItem>, std::less<>> menuItems_;
  std::map<std::string, std::unique_ptr<RecMenu>, std::less<>> menus_;
  std::map<std::string, std::unique_ptr<RecCheckBox>, std::less<>> checkBoxes_;
  std::map<std::string, std::unique_ptr<RecButton>, std::less<>> buttons_;
  std::map<std::string, std::unique_ptr<RecWindow>, std::less<>> dialogs_;
};

}  // namespace zynta::platform
