#pragma once
// The controls of the calculator window as the core sees them. The desktop program puts Qt
// widgets behind these interfaces; the tests and the command-line tool use the recording ones.
// Events are plain callbacks that the core sets; the implementation fires them.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zynta::platform {

// Colour values as the settings file and the field colours know them: 0x00BBGGRR.
using Color = std::uint32_t;
using Handler = std::function<void()>;
// A key handler may discard the character by setting it to 0.
using KeyHandler = std::function<void(char& key)>;
// A right-click handler sets handled to keep any other menu from opening.
using PopupHandler = std::function<void(bool& handled)>;

class Menu;

class Control {
 public:
  virtual ~Control() = default;
  virtual const std::string& Name() const = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void SetHint(const std::string& hint) = 0;
  // Only a visible, enabled control can take the keyboard focus.
  bool CanFocus() const { return Visible() && Enabled(); }

  Handler OnEnter;  // the control receives the focus
  Handler OnExit;   // the focus leaves the control
  Handler OnClick;  // left click
};

class TextField : public Control {
 public:
  virtual std::string Text() const = 0;
  // Whether the field holds exactly this text; without copying it where the control keeps one.
  virtual bool TextIs(std::string_view text) const { return Text() == text; }
  // A write by the program: fires OnChange and clears the user-modified flag, unless the
  // field already holds exactly this text, in which case nothing changes.
  virtual void SetText(const std::string& text) = 0;
  // Set by typing, cut and paste; cleared whenever the program changes the text.
  virtual bool Modified() const = 0;
  virtual void SetModified(bool modified) = 0;
  virtual Color FontColor() const = 0;
  virtual void SetFontColor(Color color) = 0;
  virtual Color BackgroundColor() const = 0;
  virtual void SetBackgroundColor(Color color) = 0;
  virtual void SelectAll() = 0;
  // Selection as a start position and a length; an empty selection is the caret.
  virtual void SetSelection(int start, int length) = 0;
  virtual int SelectionStart() const = 0;
  virtual int SelectionLength() const = 0;
  virtual void CutToClipboard() = 0;
  virtual void CopyToClipboard() = 0;
  virtual void PasteFromClipboard() = 0;

  // The menu a right click opens after OnContextPopup, unless that handled the click; none
  // means the platform's own text-box menu.
  virtual void SetPopupMenu(Menu* menu) = 0;

  Handler OnChange;       // every change of the text
  KeyHandler OnKeyPress;  // before a typed character is applied
  PopupHandler OnContextPopup;
};

// Editable: a text with a drop-down list; PickOnly: a drop-down list whose text is always one of
// its entries; Simple: a text with its list shown in place (no drop-down).
enum class ComboStyle { Editable, PickOnly, Simple };

class ComboBox : public Control {
 public:
  virtual std::vector<std::string> Items() const = 0;
  virtual void ClearItems() = 0;
  virtual void AddItem(const std::string& item) = 0;
  // -1 for no selection. Selecting shows the entry's text. A change by the program does not
  // fire OnChange; only the user's choice or typing does.
  virtual int ItemIndex() const = 0;
  virtual void SetItemIndex(int index) = 0;
  virtual std::string Text() const = 0;
  // An editable chooser shows any text, and then has no entry selected unless the text is the
  // selected entry's; a pick-only one selects the entry of that text.
  virtual void SetText(const std::string& text) = 0;
  virtual ComboStyle Style() const = 0;
  virtual void SetStyle(ComboStyle style) = 0;

  // The user picks an entry: OnSelect when it is set, otherwise OnChange.
  Handler OnChange;
  Handler OnSelect;
  Handler OnDropDown;  // the list opens
  Handler OnCloseUp;   // the list closes
  KeyHandler OnKeyPress;
};

class Button : public Control {
 public:
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
};

class CheckBox : public Control {
 public:
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool checked) = 0;
};

class Label : public Control {
 public:
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void Repaint() = 0;

  PopupHandler OnContextPopup;
};

class MenuItem {
 public:
  virtual ~MenuItem() = default;
  virtual const std::string& Name() const = 0;
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool checked) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;

  Handler OnClick;
};

// A pop-up menu built at run time: entries show their captions verbatim (no accelerator
// characters are added), in the order added; a submenu is an entry with entries of its own.
class Menu {
 public:
  virtual ~Menu() = default;
  virtual const std::string& Name() const = 0;
  virtual void Clear() = 0;
  virtual MenuItem& Add(const std::string& caption) = 0;
  virtual void AddSeparator() = 0;
  virtual Menu& AddSubmenu(const std::string& caption) = 0;
  // The entries that are items (no separators, no submenus), in order.
  virtual std::vector<MenuItem*> Entries() const = 0;
  // Opens the menu at the mouse position and returns at once; an entry chosen then runs its
  // OnClick later, as a user action of its own.
  virtual void Popup() = 0;
};

class StatusBar {
 public:
  virtual ~StatusBar() = default;
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

class Window {
 public:
  virtual ~Window() = default;
  virtual bool Shown() const = 0;
  virtual void SetShown(bool shown) = 0;
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // Position and size in screen pixels.
  virtual int Top() const = 0;
  virtual int Left() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void MoveTo(int top, int left) = 0;
  virtual bool StayOnTop() const = 0;
  virtual void SetStayOnTop(bool onTop) = 0;
  // The control with the keyboard focus, or nullptr.
  virtual Control* Focused() const = 0;
  // A modal dialog: the desktop returns when it is closed; the recording platform returns at
  // once and keeps it open until Close (or runs what a test arranged for it).
  virtual void ShowModal() = 0;
  // Closes a dialog (hides a window).
  virtual void Close() = 0;
  // The window's size follows its content; the about box and the intro are centred with it.
  virtual void MoveCentredOn(int x, int y) = 0;
  virtual void SetBusyCursor(bool busy) = 0;

  Handler OnActivate;  // the window becomes the active window
  // A close attempt by the user (close button, Alt+F4, system menu); canClose starts true.
  std::function<void(bool& canClose)> OnCloseQuery;

  // Moves the focus: the control losing it runs OnExit first, while no control has the focus;
  // when that handler moves the focus itself, its choice stands. Then the new control runs
  // OnEnter. An error thrown by a handler travels to the caller, as from any other call.
  virtual void SetFocus(Control& control) = 0;
};

}  // namespace zynta::platform
