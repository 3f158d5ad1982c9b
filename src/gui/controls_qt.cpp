#include "gui/controls_qt.h"

#include <algorithm>
#include <cmath>

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QProxyStyle>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QTimer>

#include "gui/timing.h"

namespace zynta::gui {

namespace {
void Fire(const platform::Handler& handler) {
  if (handler) handler();
}

// A copy runs, so a handler that replaces itself does not pull the ground from under its call.
// NOLINTNEXTLINE(performance-unnecessary-value-param): the copy is the point
void FireFromQt(platform::Handler handler) { FromQt(handler); }

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

// The window's own shortcuts win over the field's (Ctrl+Z is Undo of the calculator).
bool WindowShortcut(QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride) return false;
  return static_cast<QKeyEvent*>(event)->matches(QKeySequence::Undo);
}
}  // namespace

QColor ToQColor(platform::Color color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

namespace {
double Luminance(const QColor& c) {
  auto channel = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// The fields' design background, the window colour of a light desktop.
constexpr platform::Color DesignBackground = 0xFFFFFF;
constexpr platform::Color CoreBlack = 0x000000;
constexpr platform::Color CoreBlue = 0xFF0000;
}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ResultBlue(const QPalette& palette) {
  const QColor base = palette.color(QPalette::Active, QPalette::Base);
  const QColor link = palette.color(QPalette::Active, QPalette::Link).toHsl();
  const int linkHue = link.hslHue();
  const bool bluish = linkHue >= 190 && linkHue <= 250 && link.hslSaturation() >= 100;
  const int hue = bluish ? linkHue : 225;
  const int saturation = bluish ? std::max(link.hslSaturation(), 160) : 255;
  // Towards white on a dark base, towards black on a light one, until it reads.
  const bool darkBase = Luminance(base) < 0.18;
  int lightness = bluish ? link.lightness() : (darkBase ? 160 : 110);
  QColor blue = QColor::fromHsl(hue, saturation, lightness);
  while (ContrastRatio(blue, base) < 4.5 && lightness > 0 && lightness < 255) {
    lightness = std::clamp(lightness + (darkBase ? 4 : -4), 0, 255);
    blue = QColor::fromHsl(hue, saturation, lightness);
  }
  return blue.toRgb();
}

QColor ShownFontColor(platform::Color color, const QPalette& palette) {
  if (color == CoreBlack) return palette.color(QPalette::Active, QPalette::Text);
  if (color == CoreBlue) return ResultBlue(palette);
  return ToQColor(color);
}

QString VerbatimCaption(const std::string& caption) { return Q(caption).replace('&', QStringLiteral("&&")); }

QString WithMnemonic(const std::string& caption, const QString& letters) {
  QString shown = VerbatimCaption(caption);
  for (QChar letter : letters) {
    for (qsizetype i = 0; i < shown.size(); ++i) {
      if (shown[i] == '&') {
        ++i;  // an "&&" of the caption
        continue;
      }
      if (shown[i].toLower() == letter.toLower()) return shown.insert(i, '&');
    }
  }
  return shown;
}

QString WithoutMnemonic(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

QString AccessibleNameOf(const std::string& caption) {
  QString name = Q(caption).trimmed();
  if (name.endsWith(':')) name.chop(1);
  return name.trimmed();
}

bool DeliverKey(QKeyEvent* event, const platform::KeyHandler& handler, QLineEdit* edit) {
  if (!handler) return false;
  char key = 0;
  if (event->key() == Qt::Key_Backspace) {
    key = '\b';
  } else {
    const QString text = event->text();
    if (text.size() != 1 || text[0].unicode() < 0x20 || text[0].unicode() == 0x7F) return false;
    key = text.toUtf8().at(0);
  }
  const char typed = key;
  platform::KeyHandler run = handler;
  FromQt([&] { run(key); });
  if (key == 0) {
    event->accept();
    return true;
  }
  if (key != typed && edit) {
    if (key == '\b') {
      edit->backspace();
    } else {
      edit->insert(QString(QChar(static_cast<uchar>(key))));
    }
    event->accept();
    return true;
  }
  return false;
}

// ---- LineField

LineField::LineField(std::string name, platform::Clipboard& clipboard, QWidget* parent)
    : ControlWidget(std::move(name), parent), clipboard_(clipboard) {
  connect(this, &QLineEdit::textChanged, this, [this] {
    if (programWrite_ > 0) return;
    modified_ = true;  // typed, cut, pasted, undone: the user's edit
    FireFromQt(OnChange);
  });
}

void LineField::SetText(const std::string& text) {
  if (text == Text()) return;
  ++programWrite_;
  setText(Q(text));
  --programWrite_;
  modified_ = false;
  setModified(false);
  Fire(OnChange);
}

void LineField::SetModified(bool modified) {
  modified_ = modified;
  setModified(modified);
}

void LineField::SetFontColor(platform::Color color) {
  if (color == font_) return;  // no new palette, no repaint
  font_ = color;
  ShowColors();
}

void LineField::SetBackgroundColor(platform::Color color) {
  if (color == background_) return;  // no new palette, no repaint
  background_ = color;
  ShowColors();
}

// The field's own palette holds only the roles the core's colours decide, so everything else
// follows the theme; a change of the theme (a palette change reaching the field) shows the
// two colours again on the new one.
void LineField::ShowColors() {
  if (showingColors_) return;
  showingColors_ = true;
  const QPalette theme = parentWidget() ? parentWidget()->palette() : QApplication::palette(this);
  QPalette own;
  if (background_ != DesignBackground) {
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
      own.setColor(group, QPalette::Base, ToQColor(background_));
  }
  if (font_ != CoreBlack) {
    const QColor text = ShownFontColor(font_, own.resolve(theme));
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
      own.setColor(group, QPalette::Text, text);
  }
  setPalette(own);
  showingColors_ = false;
}

void LineField::SetSelection(int start, int length) {
  const int size = static_cast<int>(text().size());
  start = Clamp(start, 0, size);
  length = Clamp(length, 0, size - start);
  if (length > 0) {
    setSelection(start, length);
  } else {
    deselect();
    setCursorPosition(start);
  }
}

int LineField::SelectionStart() const { return hasSelectedText() ? selectionStart() : cursorPosition(); }

int LineField::SelectionLength() const { return hasSelectedText() ? selectionLength() : 0; }

void LineField::ReplaceSelection(const QString& with) {
  ++programWrite_;
  insert(with);
  --programWrite_;
  modified_ = true;
  setModified(true);
  Fire(OnChange);
}

void LineField::CutToClipboard() {
  if (SelectionLength() == 0) return;
  CopyToClipboard();
  ReplaceSelection(QString());
}

void LineField::CopyToClipboard() {
  if (SelectionLength() == 0) return;
  clipboard_.SetText(S(selectedText()));
}

void LineField::PasteFromClipboard() { ReplaceSelection(Q(clipboard_.Text())); }

void LineField::SetEndButton(QWidget* button) {
  endButton_ = button;
  button->setParent(this);
  button->show();
  setTextMargins(0, 0, button->sizeHint().width(), 0);
  PlaceEndButton();
}

void LineField::PlaceEndButton() {
  if (!endButton_) return;
  const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  const int w = endButton_->sizeHint().width();
  endButton_->setGeometry(width() - frame - w, frame, w, height() - 2 * frame);
}

void LineField::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  PlaceEndButton();
}

bool LineField::event(QEvent* event) {
  if (WindowShortcut(event)) {
    event->ignore();
    return true;
  }
  const bool handled = QLineEdit::event(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) ShowColors();
  return handled;
}

void LineField::keyPressEvent(QKeyEvent* event) {
  // The keys of a context menu; a desktop that turns the Menu key into a context menu event
  // has the menu open (and the keys) by now.
  const bool menuKey = event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier;
  const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
  if (menuKey || shiftF10) {
    event->accept();
    OpenFieldMenu(mapToGlobal(cursorRect().bottomLeft()));
    return;
  }
  if (DeliverKey(event, OnKeyPress, this)) return;
  QLineEdit::keyPressEvent(event);
}

void LineField::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  OpenFieldMenu(event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(cursorRect().bottomLeft())
                                                               : event->globalPos());
}

void LineField::SetUnitLabel(TextLabel* label) { unitLabel_ = label; }

namespace {
const char* const UnitsEntryProperty = "zynta.unitsEntry";

// The "Units" entry a field added to a menu, and its separator.
void RemoveUnitsEntry(QMenu* menu) {
  for (QAction* action : menu->actions()) {
    if (!action->property(UnitsEntryProperty).toBool()) continue;
    menu->removeAction(action);
    if (action->isSeparator()) action->deleteLater();  // the submenu's own entry stays its own
  }
}
}  // namespace

QMenu* LineField::UnitsMenu() {
  if (!unitLabel_) return nullptr;
  platform::PopupHandler run = unitLabel_->OnContextPopup;
  if (!run) return nullptr;
  PopupCapture capture;
  bool handled = false;
  FromQt([&] { run(handled); });
  PopupMenu* units = capture.Captured();
  if (!units || !units->Widget() || units->Entries().empty()) return nullptr;
  units->Widget()->setTitle(QStringLiteral("&Units"));
  return units->Widget();
}

void LineField::OpenFieldMenu(const QPoint& where) {
  bool handled = false;
  platform::PopupHandler run = OnContextPopup;
  if (run) FromQt([&] { run(handled); });
  if (handled) return;
  auto* own = dynamic_cast<PopupMenu*>(popupMenu_);
  QMenu* menu = own ? own->Widget() : createStandardContextMenu();  // else the platform's text menu
  if (!menu) return;
  if (!own) menu->setAttribute(Qt::WA_DeleteOnClose);
  RemoveUnitsEntry(menu);
  if (QMenu* units = UnitsMenu()) {
    menu->addSeparator()->setProperty(UnitsEntryProperty, true);
    menu->addMenu(units)->setProperty(UnitsEntryProperty, true);
    // The menu is shared by the fields: the entry is this field's only while the menu is open
    // (a pick in the submenu runs after the menu hides).
    if (own) {
      connect(
          menu, &QMenu::aboutToHide, menu,
          [menu] { QTimer::singleShot(0, menu, [menu] { RemoveUnitsEntry(menu); }); }, Qt::SingleShotConnection);
    }
  }
  if (own) {
    own->PopupAt(where);
  } else {
    menu->popup(where);
  }
}

void LineField::mouseReleaseEvent(QMouseEvent* event) {
  QLineEdit::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) FireFromQt(OnClick);
}

// ---- MemoField

MemoField::MemoField(std::string name, platform::Clipboard& clipboard, QWidget* parent)
    : ControlWidget(std::move(name), parent), clipboard_(clipboard) {
  setReadOnly(true);
}

void MemoField::ShowText() {
  QString shown = Q(text_);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  setPlainText(shown);
}

void MemoField::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  modified_ = false;
  selStart_ = static_cast<int>(text_.size());
  selLength_ = 0;
  ShowText();
  Fire(OnChange);
}

void MemoField::SetFontColor(platform::Color color) {
  if (color == font_) return;  // no new palette, no repaint
  font_ = color;
  QPalette p = palette();
  p.setColor(QPalette::Text, ShownFontColor(color, QApplication::palette(this)));
  setPalette(p);
}

void MemoField::SetBackgroundColor(platform::Color color) {
  if (color == background_) return;  // no new palette, no repaint
  background_ = color;
  QPalette p = palette();
  p.setColor(QPalette::Base,
             color == DesignBackground ? QApplication::palette(this).color(QPalette::Base) : ToQColor(color));
  setPalette(p);
}

void MemoField::SetSelection(int start, int length) {
  const int size = static_cast<int>(text_.size());
  selStart_ = Clamp(start, 0, size);
  selLength_ = Clamp(length, 0, size - selStart_);
}

void MemoField::ReplaceSelection(const std::string& with) {
  text_.replace(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_), with);
  selStart_ += static_cast<int>(with.size());
  selLength_ = 0;
  modified_ = true;
  ShowText();
  Fire(OnChange);
}

void MemoField::CutToClipboard() {
  if (selLength_ == 0) return;
  CopyToClipboard();
  ReplaceSelection("");
}

void MemoField::CopyToClipboard() {
  if (selLength_ == 0) return;
  clipboard_.SetText(text_.substr(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_)));
}

void MemoField::PasteFromClipboard() { ReplaceSelection(clipboard_.Text()); }

// ---- ChooserBox

ChooserBox::ChooserBox(std::string name, bool listButton, QWidget* parent)
    : ControlWidget(std::move(name), parent), listButton_(listButton) {
  setInsertPolicy(QComboBox::NoInsert);
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  if (listButton_) {
    setFocusPolicy(Qt::ClickFocus);  // Tab goes from field to field
    setCursor(Qt::ArrowCursor);
  }
  connect(this, &QComboBox::activated, this, [this](int index) { Picked(index); });
  ShowModel();
}

void ChooserBox::ShowModel() {
  ++syncing_;
  const bool editable = !listButton_ && style_ != platform::ComboStyle::PickOnly;
  if (isEditable() != editable) setEditable(editable);
  if (editable && lineEdit() != watchedEdit_) {
    watchedEdit_ = lineEdit();
    setCompleter(nullptr);  // the text is what was typed, nothing is completed
    watchedEdit_->installEventFilter(this);
    connect(watchedEdit_, &QLineEdit::textEdited, this, [this](const QString& text) { Typed(text); });
  }
  bool same = count() == static_cast<int>(items_.size());
  for (int i = 0; same && i < count(); ++i) same = itemText(i) == Q(items_[static_cast<size_t>(i)]);
  if (!same) {
    clear();
    for (const std::string& item : items_) addItem(Q(item));
  }
  if (currentIndex() != index_) setCurrentIndex(index_);
  if (editable && lineEdit()->text() != Q(text_)) setEditText(Q(text_));
  --syncing_;
}

void ChooserBox::ClearItems() {
  items_.clear();
  index_ = -1;
  if (style_ == platform::ComboStyle::PickOnly) text_.clear();
  ShowModel();
}

void ChooserBox::AddItem(const std::string& item) {
  items_.push_back(item);
  ShowModel();
}

void ChooserBox::SetItemIndex(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) {
    index_ = -1;
    if (style_ == platform::ComboStyle::PickOnly) text_.clear();
  } else {
    index_ = index;
    text_ = items_[static_cast<size_t>(index)];
  }
  ShowModel();
}

void ChooserBox::SetText(const std::string& text) {
  text_ = text;
  if (style_ == platform::ComboStyle::PickOnly) {
    auto it = std::find(items_.begin(), items_.end(), text);
    index_ = it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
  } else if (index_ >= 0 && items_[static_cast<size_t>(index_)] != text) {
    index_ = -1;
  }
  ShowModel();
}

void ChooserBox::SetStyle(platform::ComboStyle style) {
  style_ = style;
  ShowModel();
}

// Qt also "activates" an entry on its own when an edited text ends that matches one (the
// text box loses the focus, also to the list being opened); only a pick in the open list, or
// by the user's key or wheel, is a choice.
void ChooserBox::Picked(int index) {
  if (syncing_ > 0) return;
  if (opening_ > 0 || (!popupOpen_ && userInput_ == 0)) {
    ShowModel();
    return;
  }
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  index_ = index;
  text_ = items_[static_cast<size_t>(index)];
  ShowModel();
  FireFromQt(OnSelect ? OnSelect : OnChange);
}

void ChooserBox::Typed(const QString& text) {
  if (syncing_ > 0) return;
  text_ = S(text);
  if (index_ >= 0 && items_[static_cast<size_t>(index_)] != text_) index_ = -1;
  FireFromQt(OnChange);
}

namespace {
class ScrollingListStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == QStyle::SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};
}  // namespace

void ChooserBox::SetVisibleEntries(int count) {
  auto* style = new ScrollingListStyle();
  style->setParent(this);
  setStyle(style);
  setMaxVisibleItems(count);
}

QSize ChooserBox::sizeHint() const {
  if (!listButton_) return QComboBox::sizeHint();
  QStyleOptionComboBox opt;
  initStyleOption(&opt);
  const QRect arrow = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxArrow, this);
  return QSize(std::max(16, arrow.width() + 2), QComboBox::sizeHint().height());
}

QSize ChooserBox::minimumSizeHint() const { return listButton_ ? sizeHint() : QComboBox::minimumSizeHint(); }

void ChooserBox::showPopup() {
  if (style_ == platform::ComboStyle::Simple) return;  // a text with its list in place
  FireFromQt(OnDropDown);                              // the list may be built now
  ShowModel();
  popupOpen_ = true;
  QAbstractItemView* list = view();
  const int content = list->sizeHintForColumn(0) + 2 * list->frameWidth() + 24;
  const int wanted = std::max(content, anchor_ ? anchor_->width() + width() : width());
  list->setMinimumWidth(std::min(wanted, screen() ? screen()->availableGeometry().width() : wanted));
  ++opening_;
  QComboBox::showPopup();
  --opening_;
  if (anchor_) {  // under the field, not under the small button
    QWidget* popup = list->window();
    const QPoint below = anchor_->mapToGlobal(QPoint(0, anchor_->height()));
    const QRect area = screen() ? screen()->availableGeometry() : QRect();
    const bool fits = area.isNull() || below.y() + popup->height() <= area.bottom();
    popup->move(below.x(), fits ? below.y() : popup->y());
  }
}

void ChooserBox::hidePopup() {
  QComboBox::hidePopup();
  if (!popupOpen_ || closeUpQueued_) return;
  closeUpQueued_ = true;
  // A pick that closes the list is reported right after it closes: the close-up follows it.
  QTimer::singleShot(0, this, [this] {
    closeUpQueued_ = false;
    popupOpen_ = false;
    FireFromQt(OnCloseUp);
  });
}

// The combo box hands the shortcut question straight to its text box, past any filter.
bool ChooserBox::event(QEvent* event) {
  if (WindowShortcut(event)) {
    event->ignore();
    return true;
  }
  return QComboBox::event(event);
}

void ChooserBox::keyPressEvent(QKeyEvent* event) {
  if (!isEditable() && DeliverKey(event, OnKeyPress, nullptr)) return;
  ++userInput_;
  QComboBox::keyPressEvent(event);
  --userInput_;
}

void ChooserBox::wheelEvent(QWheelEvent* event) {
  if (listButton_) {  // a small button is no place to scroll through sizes unseen
    event->ignore();
    return;
  }
  ++userInput_;
  QComboBox::wheelEvent(event);
  --userInput_;
}

void ChooserBox::paintEvent(QPaintEvent* event) {
  if (!listButton_) {
    QComboBox::paintEvent(event);
    return;
  }
  QStylePainter painter(this);
  QStyleOptionComboBox opt;
  initStyleOption(&opt);
  opt.currentText.clear();
  opt.currentIcon = QIcon();
  painter.drawComplexControl(QStyle::CC_ComboBox, opt);
}

bool ChooserBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == watchedEdit_) {
    if (WindowShortcut(event)) {
      event->ignore();
      return true;
    }
    if (event->type() == QEvent::KeyPress &&
        DeliverKey(static_cast<QKeyEvent*>(event), OnKeyPress, watchedEdit_.data()))
      return true;
  }
  return QComboBox::eventFilter(watched, event);
}

// ---- TextLabel, PushButton, CheckField

TextLabel::TextLabel(std::string name, QWidget* parent) : ControlWidget(std::move(name), parent) {
  setTextFormat(Qt::PlainText);
}

void TextLabel::SetCaption(const std::string& caption) {
  caption_ = caption;
  ShowCaption();
}

void TextLabel::Names(QWidget* control, const QString& letters) {
  letters_ = letters;
  setBuddy(control);
  ShowCaption();
}

void TextLabel::ShowCaption() {
  if (!buddy()) {
    setText(Q(caption_));
    return;
  }
  setText(WithMnemonic(caption_, letters_));
  buddy()->setAccessibleName(AccessibleNameOf(caption_));
}

void TextLabel::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  bool handled = false;
  platform::PopupHandler run = OnContextPopup;
  if (run) FromQt([&] { run(handled); });
}

void TextLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) FireFromQt(OnClick);
}

PushButton::PushButton(std::string name, QWidget* parent) : ControlWidget(std::move(name), parent) {
  connect(this, &QPushButton::clicked, this, [this] { FireFromQt(OnClick); });
}

void PushButton::SetCaption(const std::string& caption) {
  caption_ = caption;
  setText(Q(caption));
}

CheckField::CheckField(std::string name, QWidget* parent) : ControlWidget(std::move(name), parent) {
  connect(this, &QCheckBox::clicked, this, [this] { FireFromQt(OnClick); });
}

void CheckField::SetCaption(const std::string& caption) {
  caption_ = caption;
  setText(Q(caption));
}

// ---- MenuAction, PopupMenu

MenuAction::MenuAction(std::string name, bool verbatim, QObject* parent)
    : QAction(parent), name_(std::move(name)), verbatim_(verbatim) {
  setObjectName(Q(name_));
  connect(this, &QAction::triggered, this, [this] {
    if (isCheckable()) QAction::setChecked(checked_);
    Timing::Get().ActionStarted(name_);
    FireFromQt(OnClick);
    Timing::Get().ActionEnded(name_);
  });
}

void MenuAction::SetCaption(const std::string& caption) {
  caption_ = caption;
  setText(verbatim_ ? VerbatimCaption(caption) : Q(caption));
}

void MenuAction::SetChecked(bool checked) {
  checked_ = checked;
  if (checked && !isCheckable()) setCheckable(true);
  if (isCheckable()) QAction::setChecked(checked);
}

PopupMenu::PopupMenu(std::string name, QWidget* parent) : name_(std::move(name)), menu_(new QMenu(parent)) {
  menu_->setObjectName(Q(name_));
}

PopupMenu::PopupMenu(std::string name, QMenu* menu) : name_(std::move(name)), menu_(menu) {
  menu_->setObjectName(Q(name_));
}

PopupMenu::~PopupMenu() {
  Clear();
  if (menu_) menu_->deleteLater();
}

// Entries go later, not at once: one of them may be running its handler right now.
void PopupMenu::Clear() {
  for (Entry& e : entries_) {
    if (menu_ && e.action) menu_->removeAction(e.action);
    if (!e.submenu && e.action) e.action->deleteLater();
  }
  entries_.clear();
}

platform::MenuItem& PopupMenu::Add(const std::string& caption) {
  auto* item = new MenuAction(name_ + "." + caption, true, menu_);
  item->SetCaption(caption);
  menu_->addAction(item);
  entries_.push_back({item, item, nullptr});
  return *item;
}

void PopupMenu::AddSeparator() {
  QAction* separator = menu_->addSeparator();
  entries_.push_back({separator, nullptr, nullptr});
}

platform::Menu& PopupMenu::AddSubmenu(const std::string& caption) {
  auto* sub = new QMenu(menu_);
  sub->setTitle(VerbatimCaption(caption));
  menu_->addMenu(sub);
  auto submenu = std::unique_ptr<PopupMenu>(new PopupMenu(caption, sub));
  PopupMenu& ref = *submenu;
  entries_.push_back({sub->menuAction(), nullptr, std::move(submenu)});
  return ref;
}

std::vector<platform::MenuItem*> PopupMenu::Entries() const {
  std::vector<platform::MenuItem*> out;
  for (const Entry& e : entries_) {
    if (e.item) out.push_back(e.item);
  }
  return out;
}

namespace {
PopupCapture* currentCapture = nullptr;
}

PopupCapture::PopupCapture() : outer_(currentCapture) { currentCapture = this; }
PopupCapture::~PopupCapture() { currentCapture = outer_; }
PopupCapture* PopupCapture::Current() { return currentCapture; }

void PopupMenu::Popup() {
  if (PopupCapture* capture = PopupCapture::Current()) {
    capture->captured_ = this;
    return;
  }
  PopupAt(QCursor::pos());
}

void PopupMenu::PopupAt(const QPoint& where) {
  if (menu_) Request([&] { menu_->popup(where); });
}

void StatusLine::SetText(const std::string& text) {
  text_ = text;
  if (label_) label_->setText(Q(text));
}

}  // namespace zynta::gui
