#pragma once
// The calculator's controls as Qt widgets. Each widget is the control the core sees: it keeps
// the state the core reads in the form the core wrote it, and fires the core's events the way
// the recording controls do (see platform/recording.h), from the user's actions in Qt.

#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

#include "gui/dispatch.h"
#include "platform/controls.h"
#include "platform/services.h"

namespace zynta::gui {

// 0x00BBGGRR as the core writes colours.
QColor ToQColor(platform::Color color);

// The contrast ratio of two colours (1 to 21) by their relative luminance, as screen readers'
// guidelines measure it: 4.5 and above reads as normal text.
double ContrastRatio(const QColor& a, const QColor& b);
// The result blue of a palette: its link colour's hue (a blue if the link is no blue), light
// or dark enough for a contrast of at least 4.5:1 against the palette's base.
QColor ResultBlue(const QPalette& palette);
// What a field shows for a colour of the core: black (the entries' colour) is the palette's
// text, blue (the results') the palette's result blue; any other colour is itself.
QColor ShownFontColor(platform::Color color, const QPalette& palette);

// A menu caption shown verbatim: "&" is no accelerator there.
QString VerbatimCaption(const std::string& caption);

// A label's caption with a mnemonic: "&" before the first of the letters (tried in their
// order, either case) that the caption holds; a "&" of the caption itself shows as one.
QString WithMnemonic(const std::string& caption, const QString& letters);
// The text a label with a mnemonic shows: its "&" gone, "&&" read as "&".
QString WithoutMnemonic(const QString& text);
// What a screen reader calls the control a label names: its caption without the colon.
QString AccessibleNameOf(const std::string& caption);

// The character the core's key handler sees for a key press (printable text, Backspace as
// '\b'); nothing for keys that type no character. The handler runs first; true when the
// press is used up (the handler discarded the character, or changed it and the edit got the
// new one instead).
bool DeliverKey(QKeyEvent* event, const platform::KeyHandler& handler, QLineEdit* edit);

// What every control has: the name, the own visibility (not the window's), enabling, the hint.
template <class Widget, class Interface>
class ControlWidget : public Widget, public Interface {
 public:
  ControlWidget(std::string name, QWidget* parent) : Widget(parent), name_(std::move(name)) {
    this->setObjectName(Q(name_));
  }
  const std::string& Name() const override { return name_; }
  // The control's own flags: a control of a hidden window keeps its own visibility.
  bool Visible() const override { return visible_; }
  // A flag set to what it holds changes nothing: no event reaches Qt for it.
  void SetVisible(bool visible) override {
    if (visible == visible_) return;
    visible_ = visible;
    Request([&] { this->setVisible(visible); });
  }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Request([&] { this->setEnabled(enabled); });
  }
  void SetHint(const std::string& hint) override { this->setToolTip(Q(hint)); }

 private:
  std::string name_;
  bool visible_ = true;
  bool enabled_ = true;
};

class TextLabel;
class PopupMenu;

// While one lives, a Popup() asked of any run-time menu opens nothing: the menu is kept here
// instead (a field's menu shows its unit label's menu as its "Units" entry).
class PopupCapture {
 public:
  PopupCapture();
  ~PopupCapture();
  PopupCapture(const PopupCapture&) = delete;
  PopupCapture& operator=(const PopupCapture&) = delete;
  PopupMenu* Captured() const { return captured_; }
  // The capture in force, or nullptr.
  static PopupCapture* Current();

 private:
  friend class PopupMenu;
  PopupMenu* captured_ = nullptr;
  PopupCapture* outer_;
};

// A field's menu (the core's, or the platform's own text menu) ends in "Units", the menu of
// the unit label beside it (the same entries and handlers as a right click on the label), so
// the keyboard reaches the units too: the Menu key and Shift+F10 open the field's menu.
class LineField : public ControlWidget<QLineEdit, platform::TextField> {
 public:
  LineField(std::string name, platform::Clipboard& clipboard, QWidget* parent);

  std::string Text() const override { return S(text()); }
  void SetText(const std::string& text) override;
  bool Modified() const override { return modified_; }
  void SetModified(bool modified) override;
  platform::Color FontColor() const override { return font_; }
  void SetFontColor(platform::Color color) override;
  platform::Color BackgroundColor() const override { return background_; }
  void SetBackgroundColor(platform::Color color) override;
  void SelectAll() override { selectAll(); }
  void SetSelection(int start, int length) override;
  int SelectionStart() const override;
  int SelectionLength() const override;
  void CutToClipboard() override;
  void CopyToClipboard() override;
  void PasteFromClipboard() override;
  void SetPopupMenu(platform::Menu* menu) override { popupMenu_ = menu; }

  // A small list button at the right end of the field (it becomes the field's child).
  void SetEndButton(QWidget* button);
  // The label of the field's unit, whose menu the field's menu offers as "Units".
  void SetUnitLabel(TextLabel* label);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ReplaceSelection(const QString& with);  // an edit of the user's, asked for by the core
  void PlaceEndButton();
  void ShowColors();  // the core's colours on the palette of the moment
  // The unit label's menu as its handler built it for this field, or nullptr (no unit menu).
  QMenu* UnitsMenu();
  void OpenFieldMenu(const QPoint& where);

  platform::Clipboard& clipboard_;
  platform::Menu* popupMenu_ = nullptr;
  QPointer<QWidget> endButton_;
  QPointer<TextLabel> unitLabel_;
  int programWrite_ = 0;
  bool modified_ = false;
  bool showingColors_ = false;
  platform::Color font_ = 0x000000;
  platform::Color background_ = 0xFFFFFF;
};

// A text of several lines (the intro's text, the clipboard report's buffer). The text is kept
// exactly as written, line ends and all; the widget only shows it.
class MemoField : public ControlWidget<QPlainTextEdit, platform::TextField> {
 public:
  MemoField(std::string name, platform::Clipboard& clipboard, QWidget* parent);

  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override;
  bool Modified() const override { return modified_; }
  void SetModified(bool modified) override { modified_ = modified; }
  platform::Color FontColor() const override { return font_; }
  void SetFontColor(platform::Color color) override;
  platform::Color BackgroundColor() const override { return background_; }
  void SetBackgroundColor(platform::Color color) override;
  void SelectAll() override { SetSelection(0, static_cast<int>(text_.size())); }
  void SetSelection(int start, int length) override;
  int SelectionStart() const override { return selStart_; }
  int SelectionLength() const override { return selLength_; }
  void CutToClipboard() override;
  void CopyToClipboard() override;
  void PasteFromClipboard() override;
  void SetPopupMenu(platform::Menu* menu) override { popupMenu_ = menu; }

 private:
  void ReplaceSelection(const std::string& with);
  void ShowText();

  platform::Clipboard& clipboard_;
  platform::Menu* popupMenu_ = nullptr;
  std::string text_;
  bool modified_ = false;
  platform::Color font_ = 0x000000;
  platform::Color background_ = 0xFFFFFF;
  int selStart_ = 0;
  int selLength_ = 0;
};

// A chooser. The entries, the selected position and the text are kept as the core set them;
// the widget shows them. Program changes fire nothing; the user's pick fires OnSelect (else
// OnChange), typing fires OnKeyPress and then OnChange.
class ChooserBox : public ControlWidget<QComboBox, platform::ComboBox> {
 public:
  // A list button shows only its arrow, at the end of a field; its text is never shown.
  ChooserBox(std::string name, bool listButton, QWidget* parent);

  std::vector<std::string> Items() const override { return items_; }
  void ClearItems() override;
  void AddItem(const std::string& item) override;
  int ItemIndex() const override { return index_; }
  void SetItemIndex(int index) override;
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override;
  platform::ComboStyle Style() const override { return style_; }
  void SetStyle(platform::ComboStyle style) override;

  // The list opens under this widget (the field of a list button).
  void SetPopupAnchor(QWidget* anchor) { anchor_ = anchor; }
  // The open list shows that many entries at a time and scrolls, in every style (some
  // styles show a pick-only list whole, as a menu).
  void SetVisibleEntries(int count);
  bool ListOpen() const { return popupOpen_; }
  bool IsListButton() const { return listButton_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  void showPopup() override;
  void hidePopup() override;

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowModel();  // the widget follows the kept state
  void Picked(int index);
  void Typed(const QString& text);

  bool listButton_;
  std::vector<std::string> items_;
  int index_ = -1;
  std::string text_;
  platform::ComboStyle style_ = platform::ComboStyle::Editable;
  QPointer<QWidget> anchor_;
  QPointer<QLineEdit> watchedEdit_;
  int syncing_ = 0;
  int userInput_ = 0;  // a key or wheel of the user is being applied
  int opening_ = 0;    // the list is being opened: the text box loses the focus to it
  bool popupOpen_ = false;
  bool closeUpQueued_ = false;
};

// A label may name a control (its buddy): it then shows a mnemonic, Alt and the letter give
// the control the focus, and the control's accessible name follows the caption.
class TextLabel : public ControlWidget<QLabel, platform::Label> {
 public:
  TextLabel(std::string name, QWidget* parent);
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override;
  void Repaint() override { repaint(); }
  // The control it names, and the letters its mnemonic may take (the first one the caption
  // holds; one for each caption the label can show).
  void Names(QWidget* control, const QString& letters);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void ShowCaption();

  std::string caption_;
  QString letters_;
};

class PushButton : public ControlWidget<QPushButton, platform::Button> {
 public:
  PushButton(std::string name, QWidget* parent);
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override;

 private:
  std::string caption_;
};

class CheckField : public ControlWidget<QCheckBox, platform::CheckBox> {
 public:
  CheckField(std::string name, QWidget* parent);
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override;
  bool Checked() const override { return isChecked(); }
  void SetChecked(bool checked) override { setChecked(checked); }

 private:
  std::string caption_;
};

// A menu entry. The check mark is the core's: Qt's own toggling on a click is undone before
// OnClick runs, so the handler decides.
class MenuAction : public QAction, public platform::MenuItem {
 public:
  // verbatim: a run-time menu's entry, its caption shown as it is.
  MenuAction(std::string name, bool verbatim, QObject* parent);
  const std::string& Name() const override { return name_; }
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override;
  bool Checked() const override { return checked_; }
  void SetChecked(bool checked) override;
  bool Enabled() const override { return isEnabled(); }
  void SetEnabled(bool enabled) override { setEnabled(enabled); }
  bool Verbatim() const { return verbatim_; }

 private:
  std::string name_;
  std::string caption_;
  bool verbatim_;
  bool checked_ = false;
};

// A pop-up menu built at run time. Popup opens it at the mouse and returns at once.
class PopupMenu final : public platform::Menu {
 public:
  PopupMenu(std::string name, QWidget* parent);
  ~PopupMenu() override;
  const std::string& Name() const override { return name_; }
  void Clear() override;
  platform::MenuItem& Add(const std::string& caption) override;
  void AddSeparator() override;
  platform::Menu& AddSubmenu(const std::string& caption) override;
  std::vector<platform::MenuItem*> Entries() const override;
  void Popup() override;

  void PopupAt(const QPoint& where);
  QMenu* Widget() const { return menu_; }

 private:
  PopupMenu(std::string name, QMenu* menu);
  struct Entry {
    QPointer<QAction> action;  // the entry's action (of the submenu, for a submenu)
    MenuAction* item = nullptr;
    std::unique_ptr<PopupMenu> submenu;
  };
  std::string name_;
  QPointer<QMenu> menu_;
  std::vector<Entry> entries_;
};

class StatusLine : public platform::StatusBar {
 public:
  explicit StatusLine(QLabel* label) : label_(label) {}
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override;

 private:
  QPointer<QLabel> label_;
  std::string text_;
};

}  // namespace zynta::gui
