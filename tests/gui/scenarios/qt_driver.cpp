#include "qt_driver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include "gui/controls_qt.h"
#include "gui/dispatch.h"
#include "gui/window_qt.h"

namespace zynta::gui {

using cli::LineError;

namespace {

std::string Unverbatim(const QString& text) {
  return S(QString(text).replace(QStringLiteral("&&"), QStringLiteral("&")));
}

platform::Color FromQColor(const QColor& c) {
  return static_cast<platform::Color>(c.red()) | (static_cast<platform::Color>(c.green()) << 8) |
         (static_cast<platform::Color>(c.blue()) << 16);
}

// Runs the event loop until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, int ms = 1000) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

QAction* ActionOf(QMenu* menu, const std::string& caption) {
  for (QAction* a : menu->actions()) {
    if (!a->isSeparator() && !a->menu() && Unverbatim(a->text()) == caption) return a;
  }
  return nullptr;
}

}  // namespace

QtServices QtDriver::Services::Bundle() {
  QtServices s;
  s.beeper = &beeper;
  s.desktop = &desktop;
  s.tray = &tray;
  s.mail = &mail;
  s.http = &http;
  s.lock = &lock;
  s.folders = &folders;
  s.system = &system;
  // The message boxes, the clipboard and the help window are Qt's own.
  return s;
}

QtDriver::QtDriver() { qApp->installEventFilter(this); }

QtDriver::~QtDriver() {
  qApp->removeEventFilter(this);
  Run run{std::move(services_), std::move(platform_), std::move(program_)};
  Drop(run);
}

// The core goes first, then the widgets, then the services they used.
void QtDriver::Drop(Run& run) {
  run.program.reset();
  run.platform.reset();  // no handler of the core runs while the widgets go
  Reopen();
  run.services.reset();
}

QtDriver::Run QtDriver::MakeRun(const cli::ScriptFolders& folders, const cli::ScriptAnswers& answers) {
  Run run;
  run.services = std::make_unique<Services>();
  run.services->folders.appData = folders.appdataDir.string();
  run.services->http.body = answers.web;
  run.services->mail.failCode = answers.mailFailCode;
  run.platform = std::make_unique<QtPlatform>(folders.programDir, run.services->Bundle());
  run.program = std::make_unique<startup::ZyntaProgram>(*run.platform, folders.programDir);
  return run;
}

bool QtDriver::Start(const cli::ScriptFolders& folders, const cli::ScriptAnswers& answers) {
  {
    Run old{std::move(services_), std::move(platform_), std::move(program_)};
    Drop(old);  // dropped unsaved, as when its process is killed
  }
  Settle();
  boxes_.clear();
  shown_.clear();
  nextAnswer_ = answers.nextAnswerOk;
  intro_ = answers.intro;
  Run run = MakeRun(folders, answers);
  services_ = std::move(run.services);
  platform_ = std::move(run.platform);
  program_ = std::move(run.program);
  const bool started = program_->Start();
  Settle();
  return started;
}

// A second copy in the same process: a platform and program of its own on the same folders;
// its lock is the recorded one shared in the process, its message box a real one.
bool QtDriver::SecondStart(const cli::ScriptFolders& folders, const cli::ScriptAnswers& answers) {
  Prepare();
  const std::set<std::string> shown = shown_;
  Run run = MakeRun(folders, answers);
  const bool started = run.program->Start();
  Settle();
  Drop(run);
  shown_ = shown;
  Settle();
  return started;
}

void QtDriver::SetWeb(const std::optional<std::string>& body) { Svc().http.body = body; }
void QtDriver::SetMailFail(int code) { Svc().mail.failCode = code; }

QtPlatform& QtDriver::P() const {
  if (!platform_) throw LineError("the program is not started");
  return *platform_;
}

QtDriver::Services& QtDriver::Svc() const {
  if (!services_) throw LineError("the program is not started");
  return *services_;
}

QWidget& QtDriver::Widget(const platform::Control& control) const {
  const auto* w = dynamic_cast<const QWidget*>(&control);
  if (!w) throw LineError(control.Name() + " is no widget");
  return *const_cast<QWidget*>(w);
}

void QtDriver::Settle() const {
  for (int i = 0; i < 4; ++i) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
}

void QtDriver::Prepare() {
  for (int i = 0; i < 5; ++i) {
    QWidget* popup = QApplication::activePopupWidget();
    if (!popup) break;
    QTest::keyClick(popup, Qt::Key_Escape);
    Settle();
    if (QApplication::activePopupWidget() == popup) popup->close();
  }
  MainFrame& frame = P().MainWidget();
  if (!frame.isVisible() || QApplication::activeModalWidget()) return;
  if (QApplication::activeWindow() != &frame) {
    frame.activateWindow();
    WaitFor([&] { return QApplication::activeWindow() == &frame; });
    Settle();
  }
}

platform::Control* QtDriver::FindControl(std::string_view name) const { return P().FindControl(name); }
platform::MenuItem* QtDriver::FindMenuItem(std::string_view name) const { return P().FindMenuItem(name); }
platform::Menu* QtDriver::FindMenu(std::string_view name) const { return P().FindMenu(name); }
std::vector<platform::Control*> QtDriver::Controls() const { return P().Controls(); }

// ---- the user's actions

void QtDriver::Focus(platform::Control& control) {
  Prepare();
  Widget(control).setFocus(Qt::OtherFocusReason);
  Settle();
}

void QtDriver::Click(platform::Control& control) {
  Prepare();
  QWidget* target = &Widget(control);
  if (auto* combo = qobject_cast<QComboBox*>(target); combo && combo->lineEdit()) target = combo->lineEdit();
  QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
  Settle();
  Prepare();  // a click on a pick-only chooser opens its list: not part of the click here
}

void QtDriver::SendKey(QWidget* target, char c) {
  if (c == '\b') {
    QTest::keyClick(target, Qt::Key_Backspace);
  } else if (c == '\t') {
    QTest::keyClick(target, Qt::Key_Tab);
  } else if (c == '\r' || c == '\n') {
    QTest::keyClick(target, Qt::Key_Return);
  } else {
    QTest::keyClick(target, c);
  }
  QCoreApplication::processEvents();
}

void QtDriver::Type(platform::TextField& field, const std::string& text, bool selectAll) {
  Prepare();
  auto* edit = qobject_cast<QLineEdit*>(&Widget(field));
  if (!edit) throw LineError(field.Name() + " takes no typing");
  if (selectAll) {
    edit->selectAll();
  } else {
    QTest::keyClick(edit, Qt::Key_End);
  }
  for (char c : text) {
    if (Focused() != &field) break;  // the rest is dropped, as the window drops it
    SendKey(edit, c);
  }
  Settle();
}

// The entries of the field menu are triggered as chosen; the right click that opens the menu
// is covered by `decimals`, and its handler would note the field for `expect decimal-check`.
void QtDriver::FieldMenuEdit(platform::TextField& field, int entry, platform::Menu& fieldMenu) {
  Prepare();
  if (auto* edit = qobject_cast<QLineEdit*>(&Widget(field))) edit->selectAll();
  auto* action = dynamic_cast<QAction*>(fieldMenu.Entries().at(static_cast<size_t>(entry)));
  if (!action) throw LineError("the field menu has no such entry");
  action->trigger();
  Settle();
}

// The list opens with the keys (F4, as Alt+Down): a synthesized click on the arrow would have
// its release land in the list just opened and pick the entry under it at once. The entry is
// picked with the keys in the open list (Return on the current entry picks it even when it
// was selected already).
void QtDriver::Pick(platform::ComboBox& combo, int index) {
  OpenList(combo);
  PickInOpenList(combo, index);
}

void QtDriver::TypeInto(platform::ComboBox& combo, const std::string& text) {
  Prepare();
  auto* box = dynamic_cast<ChooserBox*>(&combo);
  if (!box || !box->lineEdit()) throw LineError(combo.Name() + " takes no typing");
  box->lineEdit()->selectAll();
  for (char c : text) SendKey(box->lineEdit(), c);
  Settle();
}

void QtDriver::OpenList(platform::ComboBox& list) {
  Prepare();
  auto* box = dynamic_cast<ChooserBox*>(&list);
  if (!box) throw LineError(list.Name() + " is no list");
  QWidget* target = QApplication::focusWidget();
  if (!target || (target != box && !box->isAncestorOf(target))) target = box;
  QTest::keyClick(target, Qt::Key_F4);
  Settle();
  if (!box->view()->isVisible()) throw LineError(list.Name() + " did not open");
}

void QtDriver::PickInOpenList(platform::ComboBox& list, int index) {
  auto* box = dynamic_cast<ChooserBox*>(&list);
  QAbstractItemView* view = box->view();
  if (!view->isVisible()) throw LineError(list.Name() + " did not open");
  const QModelIndex entry = view->model()->index(index, box->modelColumn(), view->rootIndex());
  view->setCurrentIndex(entry);
  view->scrollTo(entry);
  QTest::keyClick(view, Qt::Key_Return);
  Settle();
}

void QtDriver::CloseList(platform::ComboBox& list) {
  auto* box = dynamic_cast<ChooserBox*>(&list);
  if (box && box->view()->isVisible()) QTest::keyClick(box->view(), Qt::Key_Escape);
  Settle();
}

// Through the window, as the system delivers it: the context menu comes from the press itself.
// A click on the entry where it is on screen, else its action; then the menu (top) is closed.
void QtDriver::ClickEntry(QMenu* from, QMenu* top, QAction* entry) const {
  if (from->isVisible() && from->actionGeometry(entry).isValid()) {
    QTest::mouseClick(from, Qt::LeftButton, {}, from->actionGeometry(entry).center());
  } else {
    entry->trigger();
  }
  Settle();
  if (top->isVisible()) top->close();
  Settle();
}

bool QtDriver::RightClick(platform::Control& control, platform::Menu& menu) {
  Prepare();
  QWidget& w = Widget(control);
  MainFrame& frame = P().MainWidget();
  const QPoint at = w.mapTo(&frame, w.rect().center());
  QTest::mouseClick(frame.windowHandle(), Qt::RightButton, {}, at);
  QMenu* qmenu = dynamic_cast<PopupMenu&>(menu).Widget();
  WaitFor([&] { return QApplication::activePopupWidget() == qmenu; }, 200);
  Settle();
  return QApplication::activePopupWidget() == qmenu;
}

bool QtDriver::ChooseInMenu(platform::Menu& menu, const std::string* submenu, const std::string* caption) {
  QMenu* qmenu = dynamic_cast<PopupMenu&>(menu).Widget();
  if (!caption) {
    if (qmenu->isVisible()) QTest::keyClick(qmenu, Qt::Key_Escape);
    Settle();
    return true;
  }
  QMenu* from = qmenu;
  if (submenu) {
    QAction* open = nullptr;
    for (QAction* a : qmenu->actions()) {
      if (a->menu() && Unverbatim(a->menu()->title()) == *submenu) open = a;
    }
    if (!open) return false;
    // The keys open the submenu: the entry made current, then Right.
    qmenu->setActiveAction(open);
    QTest::keyClick(qmenu, Qt::Key_Right);
    from = open->menu();
    WaitFor([&] { return from->isVisible(); }, 200);
  }
  QAction* entry = ActionOf(from, *caption);
  if (!entry) {
    Prepare();
    return false;
  }
  ClickEntry(from, qmenu, entry);
  return true;
}

// Solve, Help and Undo by their shortcut keys where the focus is, the rest from the menus.
void QtDriver::MenuCommand(platform::MenuItem& item) {
  Prepare();
  auto* action = dynamic_cast<MenuAction*>(&item);
  if (!action) throw LineError(item.Name() + " is no menu command");
  const std::string& name = item.Name();
  MainFrame& frame = P().MainWidget();
  const bool byKey = (name == "Solve1" || name == "Help2" || name == "Undo1") && action->isEnabled() &&
                     QApplication::activeWindow() == &frame;
  if (!byKey) {
    action->trigger();
    Settle();
    return;
  }
  QWidget* target = QApplication::focusWidget();
  if (!target || target->window() != &frame) target = &frame;
  bool fired = false;
  auto connection = QObject::connect(action, &QAction::triggered, [&fired] { fired = true; });
  if (name == "Solve1") QTest::keyClick(target, Qt::Key_F2);
  if (name == "Help2") QTest::keyClick(target, Qt::Key_F1);
  if (name == "Undo1") QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
  QObject::disconnect(connection);
  Settle();
  if (!fired) throw LineError("the shortcut of " + name + " did not reach it from " + S(target->objectName()));
}

// The box is modal: its nested event loop runs the script's next lines, from a zero timer,
// until the box is closed. A script that ends (or fails) with the box open closes it.
void QtDriver::OpenAbout(platform::MenuItem& about, const std::function<void()>& whileOpen) {
  Prepare();
  auto* action = dynamic_cast<MenuAction*>(&about);
  QWidget* box = P().DialogWidget("about");
  std::exception_ptr error;
  bool ran = false;
  std::function<void()> whenUp = [&] {
    if (!box->isVisible() || QApplication::activeModalWidget() != box) {
      QTimer::singleShot(5, box, whenUp);
      return;
    }
    ran = true;
    try {
      Settle();
      whileOpen();
    } catch (...) {
      error = std::current_exception();
    }
    if (box->isVisible()) static_cast<QDialog*>(box)->reject();
  };
  QTimer::singleShot(0, box, whenUp);
  action->trigger();  // returns once the box is closed
  Settle();
  if (error) std::rethrow_exception(error);
  if (!ran) throw LineError("the about box did not open");
}

void QtDriver::ClickInDialog(platform::Control& control) {
  QWidget& w = Widget(control);
  QTest::mouseClick(&w, Qt::LeftButton, {}, w.rect().center());
  Settle();
}

void QtDriver::CloseButton() {
  Prepare();
  P().MainWidget().close();  // closeEvent, as from the title bar's button
  Settle();
}

// The icon is a recorded one (no notification area offscreen): its click is its handler, run
// as the event loop runs a user's action.
void QtDriver::TrayClick(bool left) {
  Prepare();
  platform::Handler run = left ? Svc().tray.OnLeftClick : Svc().tray.OnRightClick;
  FromQt(run);
  Settle();
}

bool QtDriver::TrayMenu(const std::string& caption) {
  PopupMenu* menu = P().FindMenu("TaskBarPopupMenu");
  if (!menu) return false;
  QMenu* qmenu = menu->Widget();
  if (!qmenu->isVisible()) {  // the icon's right click opens it first
    FromQt(Svc().tray.OnRightClick);
    WaitFor([&] { return qmenu->isVisible(); }, 200);
  }
  QAction* entry = ActionOf(qmenu, caption);
  if (!entry) return false;
  ClickEntry(qmenu, qmenu, entry);
  return true;
}

// The session manager's question, as the desktop program answers it (commitDataRequest).
void QtDriver::SessionEnd() {
  Prepare();
  FromQt([this] { program_->Form().SessionEndQuery(); });
  Settle();
}

void QtDriver::SetClipboard(const std::string& text) { QGuiApplication::clipboard()->setText(Q(text)); }

// ---- what the screen shows

std::string QtDriver::Text(const platform::TextField& field) const {
  if (const auto* edit = qobject_cast<const QLineEdit*>(&Widget(field))) return S(edit->text());
  return field.Text();  // a memo keeps its text as written (line ends and all) and only shows it
}

std::string QtDriver::Text(const platform::ComboBox& combo) const {
  const auto* box = dynamic_cast<const ChooserBox*>(&combo);
  if (!box) return combo.Text();
  if (box->lineEdit()) return S(box->lineEdit()->text());
  if (box->IsListButton()) return combo.Text();  // a list button never shows its text
  return S(box->currentText());
}

std::vector<std::string> QtDriver::Items(const platform::ComboBox& combo) const {
  const auto* box = dynamic_cast<const ChooserBox*>(&combo);
  if (!box) return combo.Items();
  std::vector<std::string> items;
  items.reserve(static_cast<size_t>(box->count()));
  for (int i = 0; i < box->count(); ++i) items.push_back(S(box->itemText(i)));
  return items;
}

int QtDriver::Index(const platform::ComboBox& combo) const {
  const auto* box = dynamic_cast<const ChooserBox*>(&combo);
  return box ? box->currentIndex() : combo.ItemIndex();
}

std::string QtDriver::Caption(const platform::Label& label) const {
  const auto* w = qobject_cast<const QLabel*>(&Widget(label));
  if (!w) return label.Caption();
  return S(w->buddy() ? WithoutMnemonic(w->text()) : w->text());  // a label naming a field shows a mnemonic
}

std::string QtDriver::Caption(const platform::Button& button) const {
  const auto* w = qobject_cast<const QAbstractButton*>(&Widget(button));
  return w ? S(w->text()) : button.Caption();
}

std::string QtDriver::Caption(const platform::CheckBox& box) const {
  const auto* w = qobject_cast<const QAbstractButton*>(&Widget(box));
  return w ? S(w->text()) : box.Caption();
}

bool QtDriver::Checked(const platform::CheckBox& box) const {
  const auto* w = qobject_cast<const QAbstractButton*>(&Widget(box));
  return w ? w->isChecked() : box.Checked();
}

// The control's own visibility: a control of a hidden window keeps it.
bool QtDriver::Visible(const platform::Control& control) const { return !Widget(control).isHidden(); }

bool QtDriver::Enabled(const platform::Control& control) const { return Widget(control).isEnabled(); }

platform::Color QtDriver::FontColor(const platform::TextField& field) const {
  // The colour on screen, as the core's colour it stands for (the theme's text, its blue).
  if (const auto* edit = qobject_cast<const QLineEdit*>(&Widget(field))) {
    const QColor shown = edit->palette().color(QPalette::Active, QPalette::Text);
    if (shown == ShownFontColor(field.FontColor(), QApplication::palette(edit))) return field.FontColor();
    return FromQColor(shown);
  }
  return field.FontColor();
}

std::string QtDriver::Caption(const platform::MenuItem& item) const {
  const auto* action = dynamic_cast<const MenuAction*>(&item);
  if (!action) return item.Caption();
  return action->Verbatim() ? Unverbatim(action->text()) : S(action->text());
}

bool QtDriver::Checked(const platform::MenuItem& item) const {
  const auto* action = dynamic_cast<const QAction*>(&item);
  return action ? action->isChecked() : item.Checked();
}

bool QtDriver::Enabled(const platform::MenuItem& item) const {
  const auto* action = dynamic_cast<const QAction*>(&item);
  return action ? action->isEnabled() : item.Enabled();
}

std::vector<std::string> QtDriver::Captions(const platform::Menu& menu) const {
  std::vector<std::string> out;
  const auto* popup = dynamic_cast<const PopupMenu*>(&menu);
  if (!popup || !popup->Widget()) return out;
  for (QAction* a : popup->Widget()->actions()) {
    if (a->isSeparator()) {
      out.emplace_back("-");
    } else if (a->menu()) {
      out.push_back(Unverbatim(a->menu()->title()));
    } else {
      out.push_back(Unverbatim(a->text()));
    }
  }
  return out;
}

platform::Control* QtDriver::Focused() const {
  MainFrame& frame = P().MainWidget();
  QWidget* w = frame.focusWidget();
  return w ? P().MainAdapter().ControlOf(w) : nullptr;
}

std::string QtDriver::StatusText() const {
  auto* label = P().MainWidget().findChild<QLabel*>("StatusText");
  return label ? S(label->text()) : "";
}

std::string QtDriver::WindowCaption() const { return S(P().MainWidget().windowTitle()); }
bool QtDriver::WindowShown() const { return P().MainWidget().isVisible(); }
bool QtDriver::OnTop() const { return P().MainWidget().windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

std::string QtDriver::DialogCaption(std::string_view name) const {
  QWidget* w = P().DialogWidget(name);
  return w ? S(w->windowTitle()) : "";
}

bool QtDriver::DialogShown(std::string_view name) const {
  QWidget* w = P().DialogWidget(name);
  return w && w->isVisible();
}

bool QtDriver::DialogWasShown(std::string_view name) const { return shown_.contains(std::string(name)); }

bool QtDriver::HelpOpen() const {
  QTextBrowser* help = P().HelpWindow().Window();
  return help && help->isVisible();
}

std::string QtDriver::HelpPage() const {
  QTextBrowser* help = P().HelpWindow().Window();
  return help ? S(help->source().toLocalFile()) : "";
}

bool QtDriver::TrayPresent() const { return Svc().tray.Present(); }
std::string QtDriver::TrayTip() const { return Svc().tray.Tip(); }
std::string QtDriver::ClipboardText() const { return S(QGuiApplication::clipboard()->text()); }

const std::vector<unsigned>& QtDriver::Beeps() const { return Svc().beeper.beeps; }
const std::vector<std::string>& QtDriver::Opened() const { return Svc().desktop.opened; }
const platform::MailMessage& QtDriver::LastMail() const { return Svc().mail.last; }
std::string QtDriver::OsName() const { return Svc().system.osName; }

// ---- the modal windows the script answers

void QtDriver::AnswerIntro(QWidget* intro) {
  const std::string how = intro_;
  QTimer::singleShot(0, intro, [intro, how] {
    if (how == "ok-checked" || how == "close-checked") {
      if (auto* check = intro->findChild<QAbstractButton*>("intro.CheckBox1"))
        QTest::mouseClick(check, Qt::LeftButton, {}, check->rect().center());
    }
    if (how == "ok" || how == "ok-checked") {
      if (auto* ok = intro->findChild<QPushButton*>("intro.Button3")) QTest::mouseClick(ok, Qt::LeftButton);
    } else {
      intro->close();  // its close box
    }
  });
}

bool QtDriver::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
  auto* w = static_cast<QWidget*>(watched);
  if (!w->isWindow()) return false;
  const QString name = w->objectName();
  if (name == "ZyntaSplash") shown_.insert("splash");
  if (name == "ZyntaIntro") {
    shown_.insert("intro");
    AnswerIntro(w);
  }
  if (auto* box = qobject_cast<QMessageBox*>(w)) {
    boxes_.push_back({S(box->text()), S(box->windowTitle())});
    bool ok = true;
    if (box->button(QMessageBox::Cancel)) {  // a confirmation: answered as the script says
      ok = nextAnswer_;
      nextAnswer_ = true;
    }
    QPointer<QMessageBox> target(box);
    QTimer::singleShot(0, box, [target, ok] {
      if (!target) return;
      QAbstractButton* button = target->button(ok ? QMessageBox::Ok : QMessageBox::Cancel);
      if (button) QTest::mouseClick(button, Qt::LeftButton);
    });
  }
  return false;
}

}  // namespace zynta::gui
