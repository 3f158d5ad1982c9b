// The desktop program's widgets and window, driven as a user would: clicks, keys and menus on
// the offscreen platform. The calculator itself is tested by the scenario scripts; these cases
// cover what only the Qt side can get wrong.
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <QtCharts/QChartView>
#include <QtTest>

#include "calc/params.h"
#include "gui/controls_qt.h"
#include "gui/desktop_program.h"
#include "gui/dispatch.h"
#include "gui/instance_channel.h"
#include "gui/plot_window.h"
#include "gui/services_qt.h"
#include "gui/termination_signals.h"
#include "gui/timing.h"
#include "gui/window_qt.h"
#include "intro_closer.h"
#include "settings/ini_file.h"
#include "shell/pump_panel.h"
#include "shell/save_settings.h"

namespace fs = std::filesystem;
using namespace zynta;
using namespace zynta::gui;

namespace {

// What a second start does with the lock, in a thread of its own (it waits for the holder's
// answer, which comes from this thread's event loop); true when it was refused by a holder.
bool SecondStart(const std::string& folder = {}) {
  std::atomic<bool> done = false;
  bool refused = false;
  std::thread start([&] {
    ChannelLock lock = folder.empty() ? ChannelLock() : ChannelLock(folder);
    refused = !lock.Acquire("ZYNTA") && lock.FailureText().empty();
    done = true;
  });
  while (!done) QTest::qWait(10);
  start.join();
  return refused;
}

// A copy of the shipped program folder, so the tests never touch the real one.
fs::path CopyProgramFolder(const QString& into) {
  fs::path target = fs::path(into.toStdString()) / "program";
  fs::copy(ZYNTA_DATA_DIR, target, fs::copy_options::recursive);
  return target;
}

// Runs act on the modal window of that name once it is up (a message box, the about box).
void WhenModal(const QString& name, const std::function<void(QWidget*)>& act, bool& seen) {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, name, act, &seen] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal->objectName() != name) return;
    seen = true;
    timer->stop();
    timer->deleteLater();
    act(modal);
  });
  timer->start(20);
}

QMenu* OpenPopup() {
  QMenu* menu = nullptr;
  for (int i = 0; i < 100 && !menu; ++i) {
    menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) QTest::qWait(20);
  }
  return menu;
}

QAction* ActionNamed(QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions()) {
    if (a->text() == text) return a;
  }
  return nullptr;
}

// Catches every web address handed to the desktop, instead of a browser.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  UrlCatcher() {
    for (const char* scheme : {"http", "https", "file"}) QDesktopServices::setUrlHandler(scheme, this, "Open");
  }
  ~UrlCatcher() override {
    for (const char* scheme : {"http", "https", "file"}) QDesktopServices::unsetUrlHandler(scheme);
  }
  UrlCatcher(const UrlCatcher&) = delete;
  UrlCatcher& operator=(const UrlCatcher&) = delete;
  QList<QUrl> opened;

 public slots:
  void Open(const QUrl& url) { opened << url; }
};

}  // namespace

class GuiTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void cleanupTestCase();

  // The controls on their own.
  void programWriteFiresChangeOnceAndClearsModified();
  void typingRunsTheKeyHandlerFirstAndMarksModified();
  void keyHandlerCanDiscardTheCharacter();
  void fieldColoursReadOnEveryPalette();
  void ownVisibilityWhileTheWindowIsHidden();
  void chooserProgramChangesFireNothing();
  void chooserPickInTheOpenList();
  void chooserTyping();
  void openingAChoosersListPicksNothing();
  void aLongListShowsItsEntriesAFewAtATime();
  void ctrlZInAChooserIsTheWindowsUndo();
  void rightClickOnAFieldKeepsTheFocus();
  void menuEntryKeepsTheCoreCheckMark();
  void runtimeMenuShowsCaptionsVerbatim();
  void exitHandlerThatMovesTheFocusWins();
  void exitHandlerErrorTravelsToTheCaller();
  void tabRunsExitThenEnter();
  void hidingTheFocusedControlMovesTheFocusAfterTheRequest();
  void errorOfAHandlerRunByQtReachesTheRequest();
  void mailtoCarriesTheMessage();
  void messageBoxesShowMarkupAsPlainTextAndFollowNoLink();
  void messageBoxesStayAboveTheirWindow();
  void updateCheckWaitsWithTheEventLoopRunning();
  void refusedLockKnocksOnTheHoldersChannel();

  // The calculator.
  void startShowsTheWindowAfterTheIntro();
  void f2SolvesTheShippedExample();
  void screenshotOfTheSolvedExample();
  void fieldMenuSetsDecimalPlaces();
  void typingThenTabCommits();
  void rightClickOnAUnitLabelConverts();
  void unitLabelsAndListsHaveTips();
  void listButtonsSitAtTheEndOfTheirFields();
  void fluidAndMaterialListsShowTwelveAndFourteen();
  void ctrlZUndoesFromAField();
  void fieldMenuOffersTheUnitsByKeyboard();
  void fieldMenuKeysChooseAUnit();
  void labelsNameTheirControlsForKeysAndScreenReaders();
  void secondStartRaisesTheRunningWindow();
  void optionAsksForARestartInAMessageBox();
  void f1OpensTheHelpWindow();
  void aboutBoxIsModalAndOkClosesIt();
  void plotWindowFollowsTheCalculator();
  void plotWindowPumpPanel();
  void plotWindowFitsASmallScreen();
  void plotWindowKeepsItsPlaceInTheSettings();
  void hiddenRowsTakeNoHeightOnADarkTheme();
  void resizeGrowsTheFields();
  void closeButton();
  void startHiddenWithoutANotificationAreaShowsTheWindow();
  void trayMenuEntriesAreWiredToTheCore();
  void terminationSignalSavesTheSettings();
  void savedRectangleOffTheScreensOpensOnScreen();

 private:
  void PickProblem(const QString& problem) { PickIn("cbSolveFor", problem); }
  void PickIn(const char* chooser, const QString& entry);
  fs::path SettingsPath() const {
    return fs::path(temp_.path().toStdString()) / "config" / "WXB/ZYNTA/1.1" / "zynta-gui-tests.ini";
  }
  QTemporaryDir temp_;
  fs::path programDir_;
  std::unique_ptr<DesktopProgram> program_;
  QtPlatform& P() { return program_->Platform(); }
  LineField& Field(const char* name) { return dynamic_cast<LineField&>(P().GetTextField(name)); }
  MainFrame& Frame() { return P().MainWidget(); }
};

void GuiTest::initTestCase() {
  QVERIFY(temp_.isValid());
  QApplication::setQuitOnLastWindowClosed(false);
  qputenv("XDG_CONFIG_HOME", (temp_.path() + "/config").toUtf8());
  qputenv("XDG_RUNTIME_DIR", (temp_.path() + "/run").toUtf8());
  QDir().mkpath(temp_.path() + "/config");
  QDir().mkpath(temp_.path() + "/run");
  programDir_ = CopyProgramFolder(temp_.path());
}

void GuiTest::cleanupTestCase() { program_.reset(); }

// ---- controls

struct Host {
  QWidget window;
  QtClipboard qtClipboard;
  Host() { window.resize(300, 200); }
};

void GuiTest::programWriteFiresChangeOnceAndClearsModified() {
  Host host;
  LineField field("F", host.qtClipboard, &host.window);
  int changes = 0;
  field.OnChange = [&] { ++changes; };
  field.SetModified(true);
  field.SetText("12.5");
  QCOMPARE(changes, 1);
  QCOMPARE(field.Text(), std::string("12.5"));
  QVERIFY(!field.Modified());
  field.SetText("12.5");  // the same text: nothing at all
  QCOMPARE(changes, 1);
  field.SetText("");
  QCOMPARE(changes, 2);
}

void GuiTest::typingRunsTheKeyHandlerFirstAndMarksModified() {
  Host host;
  LineField field("F", host.qtClipboard, &host.window);
  host.window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&host.window));
  std::vector<std::string> log;
  field.OnKeyPress = [&](char& key) { log.push_back(std::string("key ") + key + " text " + field.Text()); };
  field.OnChange = [&] { log.push_back("change " + field.Text()); };
  QTest::keyClicks(&field, "7");
  QTest::keyClick(&field, Qt::Key_Backspace);
  QCOMPARE(log, (std::vector<std::string>{"key 7 text ", "change 7", "key \b text 7", "change "}));
  QVERIFY(field.Modified());
}

void GuiTest::keyHandlerCanDiscardTheCharacter() {
  Host host;
  LineField field("F", host.qtClipboard, &host.window);
  host.window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&host.window));
  field.SetText("?");
  int changes = 0;
  field.OnChange = [&] { ++changes; };
  field.OnKeyPress = [](char& key) { key = 0; };
  QTest::keyClicks(&field, "5");
  QTest::keyClick(&field, Qt::Key_Backspace);
  QCOMPARE(field.Text(), std::string("?"));
  QCOMPARE(changes, 0);
  QVERIFY(!field.Modified());
}

namespace {
QPalette ThemePalette(const char* window, const char* base, const char* text, const char* link) {
  QPalette p;
  p.setColor(QPalette::Window, QColor(window));
  p.setColor(QPalette::Base, QColor(base));
  p.setColor(QPalette::Text, QColor(text));
  p.setColor(QPalette::WindowText, QColor(text));
  p.setColor(QPalette::Link, QColor(link));
  return p;
}

// A dark theme like the desktops' own: light text on a dark base.
QPalette DarkPalette() { return ThemePalette("#2b2b2b", "#1e1e1e", "#e6e6e6", "#2a82da"); }
}  // namespace

// The entries' colour is the theme's text and the results' a blue that reads on the theme's
// base (4.5:1 at least), whatever the theme's own link colour; the design background is the
// theme's base. A change of the theme is followed.
void GuiTest::fieldColoursReadOnEveryPalette() {
  const QPalette before = QApplication::palette();
  struct Case {
    const char* name;
    QPalette palette;
  };
  const Case cases[] = {
      {"light", ThemePalette("#efefef", "#ffffff", "#000000", "#0000ff")},
      {"dark", DarkPalette()},
      {"dark, dark blue link", ThemePalette("#202020", "#101010", "#dddddd", "#0000ff")},
      {"dark, no blue link", ThemePalette("#303030", "#242424", "#f0f0f0", "#ff8800")},
      {"light, pale link", ThemePalette("#f5f5f5", "#fafafa", "#202020", "#a0c8ff")},
      {"grey base", ThemePalette("#777777", "#808080", "#000000", "#3366ff")},
  };
  Host host;
  LineField field("F", host.qtClipboard, &host.window);
  for (const Case& c : cases) {
    QApplication::setPalette(c.palette);
    QCoreApplication::processEvents();
    const QColor base = field.palette().color(QPalette::Active, QPalette::Base);
    QCOMPARE(base, c.palette.color(QPalette::Base));
    field.SetFontColor(0x000000);
    const QColor normal = field.palette().color(QPalette::Active, QPalette::Text);
    QVERIFY2(normal == c.palette.color(QPalette::Text), c.name);
    QVERIFY2(ContrastRatio(normal, base) >= 4.5, c.name);
    field.SetFontColor(0xFF0000);
    const QColor result = field.palette().color(QPalette::Active, QPalette::Text);
    QVERIFY2(ContrastRatio(result, base) >= 4.5, qPrintable(QString("%1: %2 on %3, %4:1")
                                                                .arg(c.name, result.name(), base.name())
                                                                .arg(ContrastRatio(result, base))));
    const int hue = result.toHsl().hslHue();
    QVERIFY2(hue >= 190 && hue <= 250, qPrintable(QString("%1: hue %2").arg(c.name).arg(hue)));
    QCOMPARE(field.palette().color(QPalette::Inactive, QPalette::Text), result);
  }
  // Another background than the design's is shown as it is.
  field.SetBackgroundColor(0x00FFFF);
  QCOMPARE(field.palette().color(QPalette::Active, QPalette::Base), QColor(Qt::yellow));
  QApplication::setPalette(before);
}

// Forty fluids open as twelve at a time with a scroll bar, in every style.
void GuiTest::aLongListShowsItsEntriesAFewAtATime() {
  for (const char* styleName : {"Fusion", "Windows"}) {
    Host host;
    std::unique_ptr<QStyle> style(QStyleFactory::create(styleName));
    if (!style) continue;
    ChooserBox box("L", true, &host.window);
    box.setStyle(style.get());
    box.SetStyle(platform::ComboStyle::PickOnly);
    for (int i = 0; i < 40; ++i) box.AddItem("Fluid " + std::to_string(i));
    box.SetVisibleEntries(12);
    host.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host.window));
    box.showPopup();
    QAbstractItemView* view = box.view();
    QTRY_VERIFY(view->isVisible());
    const int row = view->sizeHintForRow(0);
    const int shown = view->viewport()->height() / row;
    QVERIFY2(shown == 12, qPrintable(QString("%1: %2 rows").arg(styleName).arg(shown)));
    box.hidePopup();
  }
}

void GuiTest::ownVisibilityWhileTheWindowIsHidden() {
  Host host;  // never shown
  LineField field("F", host.qtClipboard, &host.window);
  TextLabel label("L", &host.window);
  QVERIFY(field.Visible());
  QVERIFY(field.CanFocus());
  label.SetVisible(false);
  QVERIFY(!label.Visible());
  host.window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&host.window));
  QVERIFY(!label.isVisible());
  QVERIFY(field.isVisible());
  field.SetEnabled(false);
  QVERIFY(!field.CanFocus());
}

void GuiTest::chooserProgramChangesFireNothing() {
  Host host;
  ChooserBox box("C", false, &host.window);
  int events = 0;
  box.OnChange = box.OnSelect = [&] { ++events; };
  box.SetStyle(platform::ComboStyle::PickOnly);
  box.AddItem("one");
  QCOMPARE(box.ItemIndex(), -1);  // adding selects nothing
  box.AddItem("two & three");
  box.SetItemIndex(1);
  QCOMPARE(box.Text(), std::string("two & three"));
  box.SetText("one");
  QCOMPARE(box.ItemIndex(), 0);
  box.SetStyle(platform::ComboStyle::Editable);
  box.SetText("typed");
  QCOMPARE(box.ItemIndex(), -1);
  QCOMPARE(box.lineEdit()->text(), QString("typed"));
  box.ClearItems();
  QVERIFY(box.Items().empty());
  QCOMPARE(events, 0);
}

void GuiTest::chooserPickInTheOpenList() {
  Host host;
  ChooserBox box("C", false, &host.window);
  box.resize(200, box.sizeHint().height());
  box.SetStyle(platform::ComboStyle::PickOnly);
  std::vector<std::string> log;
  box.OnDropDown = [&] {
    log.push_back("dropdown");
    box.ClearItems();  // built when it opens, as the material list is
    box.AddItem("Brass=140");
    box.AddItem("Concrete=120");
  };
  box.OnSelect = [&] { log.push_back("select " + box.Text()); };
  box.OnChange = [&] { log.push_back("change"); };
  box.OnCloseUp = [&] { log.push_back("closeup"); };
  host.window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&host.window));
  QTest::mouseClick(&box, Qt::LeftButton);
  QTRY_VERIFY(box.view()->isVisible());
  QTest::qWait(QApplication::doubleClickInterval() + 50);  // a release right after the press is no pick
  QAbstractItemView* list = box.view();
  const QRect second = list->visualRect(list->model()->index(1, 0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
  QTRY_COMPARE(log.size(), size_t(3));
  QCOMPARE(log, (std::vector<std::string>{"dropdown", "select Concrete=120", "closeup"}));
  QCOMPARE(box.ItemIndex(), 1);
}

void GuiTest::chooserTyping() {
  Host host;
  ChooserBox box("C", false, &host.window);
  box.SetStyle(platform::ComboStyle::Editable);
  box.AddItem("Mannings");
  box.SetItemIndex(0);
  host.window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&host.window));
  std::vector<std::string> log;
  box.OnKeyPress = [&](char& key) { log.push_back(std::string("key ") + key + " " + box.Text()); };
  box.OnChange = [&] { log.push_back("change " + box.Text()); };
  box.lineEdit()->selectAll();
  QTest::keyClicks(box.lineEdit(), "Da");
  QCOMPARE(log, (std::vector<std::string>{"key D Mannings", "change D", "key a D", "change Da"}));
  QCOMPARE(box.ItemIndex(), -1);
}

// The text box of an editable chooser loses the focus to the list being opened, and Qt then
// "activates" the entry of its text: no choice of the user's, so no change event.
void GuiTest::openingAChoosersListPicksNothing() {
  Host host;
  ChooserBox box("C", false, &host.window);
  box.SetStyle(platform::ComboStyle::Editable);
  box.AddItem("Hazen-Williams");
  box.AddItem("Mannings");
  box.SetText("Mannings");  // an entry's text, with no entry selected (as the window starts)
  QCOMPARE(box.ItemIndex(), -1);
  int changes = 0;
  box.OnChange = box.OnSelect = [&] { ++changes; };
  host.window.show();
  host.window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&host.window));
  box.setFocus();
  QTRY_VERIFY(box.hasFocus());
  QTest::keyClick(&box, Qt::Key_F4);
  QTRY_VERIFY(box.view()->isVisible());
  QCOMPARE(changes, 0);
  QTest::keyClick(box.view(), Qt::Key_Escape);
  QTRY_VERIFY(!box.view()->isVisible());
  QCOMPARE(changes, 0);
  QCOMPARE(box.ItemIndex(), -1);
  QCOMPARE(box.currentIndex(), -1);
  QCOMPARE(box.lineEdit()->text(), QString("Mannings"));
}

// The combo box hands Ctrl+Z to its text box unfiltered; the window's Undo must win there too.
void GuiTest::ctrlZInAChooserIsTheWindowsUndo() {
  Host host;
  QAction undo(&host.window);
  undo.setShortcut(QKeySequence::Undo);
  host.window.addAction(&undo);
  int undone = 0;
  QObject::connect(&undo, &QAction::triggered, [&] { ++undone; });
  ChooserBox box("C", false, &host.window);
  box.SetStyle(platform::ComboStyle::Editable);
  box.AddItem("Mannings");
  host.window.show();
  host.window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&host.window));
  box.setFocus();
  QTRY_VERIFY(box.hasFocus());
  QTest::keyClicks(QApplication::focusWidget(), "Da");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(undone, 1);
  QCOMPARE(box.Text(), std::string("Da"));  // the text box's own undo did not run
}

void GuiTest::menuEntryKeepsTheCoreCheckMark() {
  MenuAction item("Sound1", false, nullptr);
  item.setCheckable(true);
  item.SetCaption("S&ound");
  QCOMPARE(item.text(), QString("S&ound"));  // an accelerator in the window's menus
  int clicks = 0;
  item.OnClick = [&] {
    ++clicks;
    item.SetChecked(!item.Checked());  // the handler toggles, as the core's do
  };
  item.trigger();
  QCOMPARE(clicks, 1);
  QVERIFY(item.Checked());
  QVERIFY(item.isChecked());
  item.OnClick = [&] { ++clicks; };  // a handler that refuses the change
  item.trigger();
  QVERIFY(item.Checked());
  QVERIFY(item.isChecked());
  item.SetEnabled(false);
  item.trigger();
  QCOMPARE(clicks, 2);
}

void GuiTest::runtimeMenuShowsCaptionsVerbatim() {
  QWidget parent;
  PopupMenu menu("M", &parent);
  menu.Add("Cut");
  platform::MenuItem& amp = menu.Add("R&D");
  menu.AddSeparator();
  platform::Menu& sub = menu.AddSubmenu("Decimal places");
  sub.Add("2").SetChecked(true);
  QCOMPARE(amp.Caption(), std::string("R&D"));
  QCOMPARE(menu.Widget()->actions().at(1)->text(), QString("R&&D"));
  QCOMPARE(menu.Entries().size(), size_t(2));
  QVERIFY(sub.Entries().front()->Checked());
  menu.Clear();
  QVERIFY(menu.Entries().empty());
  QVERIFY(menu.Widget()->actions().isEmpty());
}

struct FocusHost {
  QWidget window;
  QtClipboard clipboard;
  WindowAdapter adapter{&window};
  LineField a{"A", clipboard, &window};
  LineField b{"B", clipboard, &window};
  LineField c{"C", clipboard, &window};
  std::vector<std::string> log;
  FocusHost() {
    auto* layout = new QVBoxLayout(&window);
    for (LineField* f : {&a, &b, &c}) {
      layout->addWidget(f);
      adapter.Register(f, f);
      f->OnEnter = [this, f] { log.push_back("enter " + f->Name()); };
      f->OnExit = [this, f] { log.push_back("exit " + f->Name()); };
    }
    QObject::connect(qApp, &QApplication::focusChanged, &window, [this](QWidget*, QWidget* now) {
      if (now) adapter.QtFocusChanged(now);
    });
  }
  bool Show() {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
  }
};

void GuiTest::exitHandlerThatMovesTheFocusWins() {
  FocusHost host;
  QVERIFY(host.Show());
  host.adapter.SetFocus(host.a);
  host.log.clear();
  host.a.OnExit = [&] {
    host.log.push_back("exit A");
    host.adapter.SetFocus(host.c);
  };
  host.adapter.SetFocus(host.b);
  QCOMPARE(host.log, (std::vector<std::string>{"exit A", "enter C"}));
  QCOMPARE(host.adapter.Focused(), static_cast<platform::Control*>(&host.c));
  QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&host.c));
}

void GuiTest::exitHandlerErrorTravelsToTheCaller() {
  FocusHost host;
  QVERIFY(host.Show());
  host.adapter.SetFocus(host.a);
  host.a.OnExit = [] { throw std::runtime_error("bad"); };
  QVERIFY_THROWS_EXCEPTION(std::runtime_error, host.adapter.SetFocus(host.b));
  QCOMPARE(host.adapter.Focused(), static_cast<platform::Control*>(&host.a));
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&host.a));
}

void GuiTest::tabRunsExitThenEnter() {
  FocusHost host;
  QVERIFY(host.Show());
  host.adapter.SetFocus(host.a);
  host.log.clear();
  QTest::keyClick(&host.a, Qt::Key_Tab);
  QCOMPARE(host.log, (std::vector<std::string>{"exit A", "enter B"}));
  QCOMPARE(host.adapter.Focused(), static_cast<platform::Control*>(&host.b));
  // The exit handler sends the focus back ("Bad value!"): the click on C does not stand.
  host.b.OnExit = [&] {
    host.log.push_back("exit B");
    host.adapter.SetFocus(host.b);
  };
  host.log.clear();
  QTest::mouseClick(&host.c, Qt::LeftButton);
  QCOMPARE(host.log, (std::vector<std::string>{"exit B", "enter B"}));
  QCOMPARE(host.adapter.Focused(), static_cast<platform::Control*>(&host.b));
  QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&host.b));
}

// Qt gives a field the focus on a press of any button; a right click only opens a menu.
void GuiTest::rightClickOnAFieldKeepsTheFocus() {
  FocusHost host;
  QVERIFY(host.Show());
  host.adapter.SetFocus(host.a);
  host.log.clear();
  const QPoint at = host.b.mapTo(&host.window, host.b.rect().center());
  QTest::mouseClick(host.window.windowHandle(), Qt::RightButton, {}, at);
  if (QWidget* popup = QApplication::activePopupWidget()) popup->close();  // the text box's own menu
  QTest::qWait(20);
  QVERIFY(host.log.empty());
  QCOMPARE(host.adapter.Focused(), static_cast<platform::Control*>(&host.a));
  QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&host.a));
  QTest::mouseClick(host.window.windowHandle(), Qt::LeftButton, {}, at);  // a left click does
  QCOMPARE(host.log, (std::vector<std::string>{"exit A", "enter B"}));
}

void GuiTest::hidingTheFocusedControlMovesTheFocusAfterTheRequest() {
  FocusHost host;
  QVERIFY(host.Show());
  host.adapter.SetFocus(host.a);
  host.log.clear();
  std::vector<std::string> during;
  host.b.OnChange = [&] {  // a handler that hides the focused field, as a problem switch does
    host.a.SetVisible(false);
    during = host.log;
  };
  host.b.SetText("x");
  QVERIFY(during.empty());  // Qt moved its focus on its own: no handler ran inside the request
  QCOMPARE(host.adapter.Focused(), static_cast<platform::Control*>(&host.a));
  QTRY_COMPARE(host.adapter.Focused(), static_cast<platform::Control*>(&host.b));
  QCOMPARE(host.log, (std::vector<std::string>{"exit A", "enter B"}));
}

void GuiTest::errorOfAHandlerRunByQtReachesTheRequest() {
  bool reached = false;
  try {
    Request([] { FromQt([] { throw std::runtime_error("from a nested handler"); }); });
  } catch (const std::runtime_error& e) {
    reached = std::string(e.what()) == "from a nested handler";
  }
  QVERIFY(reached);
  // From the event loop (no request) nothing escapes.
  FromQt([] { throw std::runtime_error("logged"); });
  QVERIFY(!InsideRequest());
}

void GuiTest::mailtoCarriesTheMessage() {
  platform::MailMessage mail;
  mail.toAddress = "support@zynta.example.com";
  mail.subject = "ZYNTA Version 1.1";
  mail.body = "System: Linux\r\nThank you!";
  QCOMPARE(MailtoUrl(mail), std::string("mailto:support%40zynta.example.com?subject=ZYNTA%20Version%201.1"
                                        "&body=System%3A%20Linux%0D%0AThank%20you%21"));
}

// A version file served as HTML reaches the general error report inside its message; so may a
// field's text. Shown as plain text, its link is only text: a click on it opens nothing.
void GuiTest::messageBoxesShowMarkupAsPlainTextAndFollowNoLink() {
  const std::string html =
      "'<html><body><a href=\"http://127.0.0.1:9/evil\">Click here to read more about "
      "this</a></body></html>' is not a valid integer value.";
  UrlCatcher catcher;
  QtMessageBoxes boxes(nullptr);
  for (const QString name : {"ZyntaMessage", "ZyntaQuestion"}) {
    bool seen = false;
    Qt::TextFormat format = Qt::AutoText;
    QString shown;
    WhenModal(
        name,
        [&](QWidget* widget) {
          auto* box = static_cast<QMessageBox*>(widget);
          format = box->textFormat();
          auto* label = box->findChild<QLabel*>("qt_msgbox_label");
          QVERIFY(label);
          shown = label->text();
          QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(40, label->height() / 2));
          QTest::qWait(50);
          box->button(QMessageBox::Ok)->click();
        },
        seen);
    if (name == "ZyntaMessage") {
      boxes.Show(html, "");
    } else {
      boxes.Confirm(html, "");
    }
    QVERIFY(seen);
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(shown, QString::fromStdString(html));
  }
  QVERIFY(catcher.opened.isEmpty());
}

// A box is the child of the window it belongs to and above it, also when that window stays
// on top; a box of no window shown stays on top of everything.
void GuiTest::messageBoxesStayAboveTheirWindow() {
  struct Case {
    bool shown;
    bool onTop;
    bool parented;
  };
  for (const Case c : {Case{true, false, true}, Case{true, true, true}, Case{false, false, false}}) {
    QWidget window;
    window.setWindowFlag(Qt::WindowStaysOnTopHint, c.onTop);
    if (c.shown) {
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    QtMessageBoxes boxes(&window);
    bool seen = false;
    QWidget* parent = nullptr;
    bool boxOnTop = false;
    WhenModal(
        "ZyntaMessage",
        [&](QWidget* box) {
          parent = box->parentWidget();
          boxOnTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
          static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
        },
        seen);
    boxes.Show("Changes will take effect when ZYNTA is restarted!", "");
    QVERIFY(seen);
    QCOMPARE(parent, c.parented ? &window : nullptr);
    QCOMPARE(boxOnTop, c.onTop || !c.parented);
  }
}

// A request that takes its time (a name server that never answers, up to the 10 s deadline)
// leaves the event loop running: timers fire and a termination signal would be handled.
// The holder of the lock listens beside it; each refused start knocks once; a socket left by a
// copy that died is taken over by the next holder.
void GuiTest::refusedLockKnocksOnTheHoldersChannel() {
  QTemporaryDir folder;
  const std::string path = folder.path().toStdString();
  int knocks = 0;
  {
    ChannelLock holder(path);
    holder.OnKnock = [&] { ++knocks; };
    QVERIFY(holder.Acquire("ZYNTA"));
    QVERIFY(holder.Listening());
    QVERIFY(QFileInfo::exists(holder.ChannelPath("ZYNTA")));
    QVERIFY(SecondStart(path));
    QCOMPARE(knocks, 1);
    QVERIFY(SecondStart(path));
    QCOMPARE(knocks, 2);
  }
  ChannelLock first(path);
  QVERIFY(!QFileInfo::exists(first.ChannelPath("ZYNTA")));  // gone with its holder
  QFile stale(first.ChannelPath("ZYNTA"));
  QVERIFY(stale.open(QIODevice::WriteOnly));
  stale.close();
  QVERIFY(first.Acquire("ZYNTA"));
  QVERIFY(first.Listening());
  first.OnKnock = [&] { ++knocks; };
  QVERIFY(SecondStart(path));
  QCOMPARE(knocks, 3);
  // No holder at all: the start goes ahead, nobody is knocked.
  QTemporaryDir empty;
  ChannelLock alone(empty.path().toStdString());
  QVERIFY(alone.Acquire("ZYNTA"));
  QCOMPARE(knocks, 3);
}

void GuiTest::updateCheckWaitsWithTheEventLoopRunning() {
  struct SlowClient : platform::HttpClient {
    std::optional<std::string> Get(const std::string&, int, const std::string&) override {
      std::this_thread::sleep_for(std::chrono::milliseconds(400));
      return "1.2.0.0";
    }
  } slow;
  QtWaitingHttpClient http(slow);
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(20);
  QElapsedTimer clock;
  clock.start();
  QCOMPARE(http.Get("zynta.example.com", 80, "/"), std::optional<std::string>("1.2.0.0"));
  QVERIFY(clock.elapsed() >= 390);
  QVERIFY2(ticks >= 5, QByteArray::number(ticks));
}

// ---- the calculator

void GuiTest::startShowsTheWindowAfterTheIntro() {
  Timing::Get().MainEntered(false);
  program_ = std::make_unique<DesktopProgram>(programDir_);
  bool introSeen = false;
  CloseIntroWhenShown(introSeen);
  QVERIFY(program_->Start());
  QVERIFY(introSeen);
  QVERIFY(Frame().isVisible());
  QVERIFY(QTest::qWaitForWindowExposed(&Frame()));
  QCOMPARE(Frame().windowTitle(), QString("ZYNTA"));
  QVERIFY(!P().DialogWidget("splash")->isVisible());
  QCOMPARE(P().GetWindow().Focused(), static_cast<platform::Control*>(&P().GetComboBox("cbSolveFor")));
  // Only a close button; the user may make the window larger than its content, not smaller.
  QVERIFY(Frame().windowFlags() & Qt::WindowCloseButtonHint);
  QVERIFY(!(Frame().windowFlags() & Qt::WindowMinimizeButtonHint));
  QVERIFY(Frame().maximumWidth() > Frame().width());
  QVERIFY(Frame().maximumHeight() > Frame().height());
  QCOMPARE(Frame().minimumSizeHint().expandedTo(Frame().size()), Frame().size());
  // The captions the core gave the menus.
  QCOMPARE(P().GetMenuItem("Solve1").Caption(), std::string("&Solve-F2"));
  QCOMPARE(P().GetMenuItem("Sound1").Caption(), std::string("S&ound"));
  QVERIFY(dynamic_cast<MenuAction&>(P().GetMenuItem("Sound1")).isCheckable());
  QCOMPARE(Frame().menuBar()->actions().first()->text(), QString("&Solve-F2"));
  QVERIFY(!P().GetLabel("lbStackCount").Visible());
  QVERIFY(!Frame().findChild<QWidget*>("MemoClipbrd")->isVisible());
}

void GuiTest::f2SolvesTheShippedExample() {
  QVERIFY(program_ && program_->Running());
  QCOMPARE(Field("EditHL").text(), QString("?"));
  QWidget* focus = QApplication::focusWidget();
  QVERIFY(focus);
  QTest::keyClick(focus, Qt::Key_F2);
  QCOMPARE(P().GetStatusBar().Text(), std::string("Solved!"));
  QCOMPARE(Frame().statusBar()->findChild<QLabel*>("StatusText")->text(), QString("Solved!"));
  QCOMPARE(Field("EditHL").text(), QString("21.79"));
  QCOMPARE(Field("EditHL").palette().color(QPalette::Active, QPalette::Text),
           ResultBlue(QApplication::palette(&Field("EditHL"))));
  QVERIFY(Field("EditVel").text() != "?");
  QTRY_VERIFY(Timing::Get().solveMs >= 0);  // the fields were painted after the solve
}

void GuiTest::screenshotOfTheSolvedExample() {
  QCOMPARE(P().GetStatusBar().Text(), std::string("Solved!"));
  QVERIFY(QTest::qWaitForWindowExposed(&Frame()));
  const QPixmap shot = Frame().grab();
  QVERIFY(!shot.isNull());
  QVERIFY(QDir().mkpath(ZYNTA_SCREENSHOT_DIR));
  QVERIFY(shot.save(QString(ZYNTA_SCREENSHOT_DIR) + "/main.png"));
}

void GuiTest::fieldMenuSetsDecimalPlaces() {
  LineField& vel = Field("EditVel");
  QCOMPARE(vel.text(), QString("9.56"));
  const QPoint at = vel.mapTo(&Frame(), vel.rect().center());
  QTest::mouseClick(Frame().windowHandle(), Qt::RightButton, {}, at);
  QMenu* menu = OpenPopup();
  QVERIFY(menu);
  QCOMPARE(menu->objectName(), QString("EditPopupMenu"));
  QAction* decimals = ActionNamed(menu, "Decimal places");
  QVERIFY(decimals && decimals->menu());
  QAction* two = ActionNamed(decimals->menu(), "2");
  QAction* three = ActionNamed(decimals->menu(), "3");
  QVERIFY(two && three);
  QVERIFY(two->isChecked());  // the field's decimals, checked by the core as the menu opened
  three->trigger();
  menu->close();
  QCOMPARE(vel.text(), QString("9.560"));  // from the text as shown, in the new decimals
  QVERIFY(three->isChecked());
  QVERIFY(!two->isChecked());
}

void GuiTest::typingThenTabCommits() {
  LineField& len = Field("EditLen");
  QTest::mouseClick(&len, Qt::LeftButton);
  QCOMPARE(P().GetWindow().Focused(), static_cast<platform::Control*>(&len));
  len.selectAll();
  QTest::keyClick(&len, Qt::Key_Backspace);
  QTest::keyClicks(&len, "100");
  QCOMPARE(len.text(), QString("100"));
  QVERIFY(len.Modified());
  QCOMPARE(P().GetStatusBar().Text(), std::string(""));  // typing ends the solution on screen
  QCOMPARE(Field("EditHL").text(), QString("?"));
  QTest::keyClick(&len, Qt::Key_Tab);
  QCOMPARE(len.text(), QString("100.00"));
  QVERIFY(!len.Modified());
  QCOMPARE(P().GetWindow().Focused(), static_cast<platform::Control*>(&P().GetTextField("EditFric")));
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&Field("EditFric")));
}

void GuiTest::rightClickOnAUnitLabelConverts() {
  auto* unit = Frame().findChild<TextLabel*>("lbLenUn");
  QVERIFY(unit);
  QCOMPARE(unit->Caption(), std::string("ft"));
  // Through the window, as the system delivers it: the context menu comes from the press itself.
  const QPoint at = unit->mapTo(&Frame(), unit->rect().center());
  QTest::mouseClick(Frame().windowHandle(), Qt::RightButton, {}, at);
  QMenu* menu = OpenPopup();
  QVERIFY(menu);
  QCOMPARE(menu->objectName(), QString("UnitsPopupMenu"));
  QAction* metres = ActionNamed(menu, "m");
  QVERIFY(metres);
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(metres).center());
  QTRY_COMPARE(unit->Caption(), std::string("m"));
  QCOMPARE(Field("EditLen").text(), QString("30.48"));
  QVERIFY(!menu->isVisible());
  // The menu took no focus from the field that had it.
  QCOMPARE(P().GetWindow().Focused(), static_cast<platform::Control*>(&P().GetTextField("EditFric")));
}

void GuiTest::unitLabelsAndListsHaveTips() {
  for (const char* name :
       {"lbNDiaUn", "lbIDiaUn", "lbLenUn", "lbFricUn", "LbVisUn", "lbFlowUn", "lbHLUn", "lbVelUn"}) {
    auto* label = Frame().findChild<QLabel*>(name);
    QVERIFY2(label, name);
    QCOMPARE(label->toolTip(), QString("Right click to change units"));
  }
  QCOMPARE(Frame().findChild<QWidget*>("NDiaList")->toolTip(), QString("Click for std sizes"));
  QCOMPARE(Frame().findChild<QWidget*>("cbVisList")->toolTip(), QString("Click for fluids list"));
  QCOMPARE(Frame().findChild<QWidget*>("cbFricList")->toolTip(), QString("Click for material list"));
}

void GuiTest::listButtonsSitAtTheEndOfTheirFields() {
  for (auto [list, edit] : {std::pair{"NDiaList", "EditNDia"}, std::pair{"cbFricList", "EditFric"},
                            std::pair{"cbVisList", "EditVis"}}) {
    auto* button = Frame().findChild<QWidget*>(list);
    QWidget* field = &Field(edit);
    QCOMPARE(button->parentWidget(), field);
    QVERIFY(button->width() < 30);
    QVERIFY(button->geometry().right() >= field->width() - 4);
  }
}

void GuiTest::fluidAndMaterialListsShowTwelveAndFourteen() {
  QCOMPARE(Frame().findChild<QComboBox*>("cbVisList")->maxVisibleItems(), 12);
  QCOMPARE(Frame().findChild<QComboBox*>("cbFricList")->maxVisibleItems(), 14);
  // The fluids in the table's order.
  const std::vector<std::string> fluids = P().GetComboBox("cbVisList").Items();
  QVERIFY(fluids.size() > 12);
}

void GuiTest::ctrlZUndoesFromAField() {
  LineField& len = Field("EditLen");
  QTest::mouseClick(&len, Qt::LeftButton);
  QTest::keyClick(&len, Qt::Key_Z, Qt::ControlModifier);
  // The unit change is undone: back to feet.
  QTRY_COMPARE(Frame().findChild<TextLabel*>("lbLenUn")->Caption(), std::string("ft"));
  QCOMPARE(len.text(), QString("100.00"));
}

// Shift+F10 and the Menu key open a field's menu; it ends in "Units", the menu of the unit
// label beside the field, where the field has one.
void GuiTest::fieldMenuOffersTheUnitsByKeyboard() {
  struct Case {
    const char* field;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* menu;   // the field's menu: the core's, or the platform's own text menu ("")
    const char* units;  // the captions of its "Units" ("" for none)
  };
  const Case cases[] = {
      {"EditLen", Qt::Key_F10, Qt::ShiftModifier, "EditPopupMenu", "in|ft|mm|m|cm|yd"},
      {"EditFlow", Qt::Key_Menu, Qt::NoModifier, "EditPopupMenu", "cfs|gpm|MGD|L/s|L/min|m3/h|m3/s"},
      {"EditNDia", Qt::Key_F10, Qt::ShiftModifier, "", "in|ft|mm|m|cm|yd"},
      {"EditSG", Qt::Key_Menu, Qt::NoModifier, "EditPopupMenu", ""},
      {"EditReyno", Qt::Key_F10, Qt::ShiftModifier, "", ""},
  };
  for (const Case& c : cases) {
    LineField& field = Field(c.field);
    QTest::keyClick(&field, c.key, c.modifiers);
    QMenu* menu = OpenPopup();
    QVERIFY2(menu, c.field);
    if (*c.menu) QCOMPARE(menu->objectName(), QString(c.menu));
    QAction* units = ActionNamed(menu, "&Units");
    QCOMPARE(units != nullptr, *c.units != '\0');
    if (units) {
      QVERIFY(units->menu());
      QCOMPARE(units->menu()->objectName(), QString("UnitsPopupMenu"));
      QStringList captions;
      for (QAction* a : units->menu()->actions()) captions << a->text();
      QCOMPARE(captions.join('|'), QString(c.units));
      QCOMPARE(menu->actions().last(), units);
    }
    menu->close();
    QTRY_VERIFY(!QApplication::activePopupWidget());
  }
  // Closed, the core's field menu holds only its own entries again.
  QMenu* own = P().FindMenu("EditPopupMenu")->Widget();
  QTRY_VERIFY(!ActionNamed(own, "&Units"));
  QCOMPARE(own->actions().size(), 5);
}

// The keys alone: the field's menu, "Units" by its mnemonic, the unit; the field converts.
void GuiTest::fieldMenuKeysChooseAUnit() {
  LineField& len = Field("EditLen");
  auto* unit = Frame().findChild<TextLabel*>("lbLenUn");
  QCOMPARE(unit->Caption(), std::string("ft"));
  QCOMPARE(len.text(), QString("100.00"));
  for (auto [caption, text] : {std::pair{"m", "30.48"}, std::pair{"ft", "100.00"}}) {
    QTest::keyClick(&len, Qt::Key_F10, Qt::ShiftModifier);
    QMenu* menu = OpenPopup();
    QVERIFY(menu);
    QTest::keyClick(menu, Qt::Key_U);
    QMenu* units = nullptr;
    QTRY_VERIFY((units = qobject_cast<QMenu*>(QApplication::activePopupWidget())) && units != menu);
    units->setActiveAction(ActionNamed(units, caption));
    QTest::keyClick(units, Qt::Key_Return);
    QTRY_COMPARE(unit->Caption(), std::string(caption));
    QCOMPARE(len.text(), QString(text));
    QTRY_VERIFY(!QApplication::activePopupWidget());
  }
}

// Under every equation: each label of the window names its control with a mnemonic of its
// own (none taken by the menu bar), its caption read without the "&"; every field and chooser
// has the accessible name of its label; Alt and the letter move the focus there.
void GuiTest::labelsNameTheirControlsForKeysAndScreenReaders() {
  struct Case {
    const char* equation;
    const char* friction;  // the friction field's accessible name
  };
  const std::string before = P().GetComboBox("ComboEq").Text();
  for (const Case c : {Case{"Darcy-Weisbach", "Spec Rough (E)"}, Case{"Mannings", "Manning's (n)"},
                       Case{"Hazen-Williams", "H-W (C)"}}) {
    PickIn("ComboEq", c.equation);
    QCoreApplication::processEvents();
    QCOMPARE(Field("EditFric").accessibleName(), QString(c.friction));
    std::map<QString, QString> taken;  // mnemonic -> who has it
    for (QAction* a : Frame().menuBar()->actions())
      taken[QKeySequence::mnemonic(a->text()).toString()] = a->text();
    int named = 0;
    for (QLabel* label : Frame().centralWidget()->findChildren<QLabel*>()) {
      if (!label->isVisible() || !label->buddy()) continue;
      ++named;
      const QString key = QKeySequence::mnemonic(label->text()).toString();
      QVERIFY2(!key.isEmpty(), qPrintable(label->text()));
      QVERIFY2(taken.emplace(key, label->text()).second, qPrintable(label->text() + " and " + taken[key]));
      const QString caption = WithoutMnemonic(label->text());
      if (auto* own = dynamic_cast<TextLabel*>(label)) QCOMPARE(caption, QString::fromStdString(own->Caption()));
      QCOMPARE(label->buddy()->accessibleName(), AccessibleNameOf(caption.toStdString()));
    }
    QVERIFY(named >= 6);
    for (QWidget* control : Frame().centralWidget()->findChildren<QWidget*>()) {
      if (!control->isVisible() || !(qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control)))
        continue;
      if (qobject_cast<QComboBox*>(control->parentWidget())) continue;  // a chooser's own text box
      QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(control);
      QVERIFY(reader);
      QVERIFY2(!reader->text(QAccessible::Name).isEmpty(), qPrintable(control->objectName()));
    }
  }
  // The keys: Alt+Q to the flow, Alt+E to the equation; the core follows the focus.
  Frame().activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&Frame()));
  for (auto [key, control] : {std::pair{Qt::Key_Q, "EditFlow"}, std::pair{Qt::Key_E, "ComboEq"}}) {
    QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
    QTRY_COMPARE(P().GetWindow().Focused(), P().FindControl(control));
  }
  PickIn("ComboEq", QString::fromStdString(before));
}

// A refused start knocks on the running copy's window: on screen, it comes to the front and is
// the active window once the refused start goes on to its message; hidden, it stays hidden.
void GuiTest::secondStartRaisesTheRunningWindow() {
  QWidget other;  // another program's window has the desktop's focus
  other.resize(200, 100);
  other.show();
  other.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&other));
  QVERIFY(!Frame().isActiveWindow());
  QVERIFY(SecondStart());
  QTRY_VERIFY(Frame().isActiveWindow());

  Frame().hide();
  other.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&other));
  QVERIFY(SecondStart());
  QTest::qWait(50);
  QVERIFY(!Frame().isVisible());
  QVERIFY(other.isActiveWindow());
  Frame().show();
  Frame().activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&Frame()));
}

void GuiTest::optionAsksForARestartInAMessageBox() {
  platform::MenuItem& onTop = P().GetMenuItem("StayonTop1");
  const bool before = onTop.Checked();
  bool seen = false;
  QString title, text;
  WhenModal(
      "ZyntaMessage",
      [&](QWidget* box) {
        title = box->windowTitle();
        text = static_cast<QMessageBox*>(box)->text();
        QTest::mouseClick(static_cast<QMessageBox*>(box)->button(QMessageBox::Ok), Qt::LeftButton);
      },
      seen);
  dynamic_cast<MenuAction&>(onTop).trigger();
  QVERIFY(seen);
  QCOMPARE(title, QString("ZYNTA"));  // no caption given: the application's title
  QCOMPARE(text, QString("Changes will take effect when ZYNTA is restarted!"));
  QCOMPARE(onTop.Checked(), !before);
  QCOMPARE(dynamic_cast<MenuAction&>(onTop).isChecked(), !before);
}

void GuiTest::f1OpensTheHelpWindow() {
  Frame().activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&Frame()));
  QVERIFY(QApplication::focusWidget());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
  QTextBrowser* help = P().HelpWindow().Window();
  QVERIFY(help);
  QVERIFY(help->isVisible());
  QCOMPARE(help->documentTitle(), QString("ZYNTA Help"));
  // Esc closes it.
  help->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(help));
  QTest::keyClick(help, Qt::Key_Escape);
  QTRY_VERIFY(!help->isVisible());
}

void GuiTest::aboutBoxIsModalAndOkClosesIt() {
  bool seen = false;
  QString version, title;
  WhenModal(
      "ZyntaAbout",
      [&](QWidget* box) {
        title = box->windowTitle();
        version = box->findChild<QLabel*>("about.lbVersion")->text();
        QTest::mouseClick(box->findChild<QPushButton*>("about.OKButton"), Qt::LeftButton);
      },
      seen);
  dynamic_cast<MenuAction&>(P().GetMenuItem("About1")).trigger();  // returns once the box is closed
  QVERIFY(seen);
  QCOMPARE(title, QString("About ZYNTA"));
  QVERIFY(version.startsWith("Ver. 1.1"));
  QVERIFY(!P().DialogWidget("about")->isVisible());
}

void GuiTest::plotWindowFollowsTheCalculator() {
  auto& solve = dynamic_cast<MenuAction&>(P().GetMenuItem("Solve1"));
  solve.trigger();
  QCOMPARE(P().GetStatusBar().Text(), std::string("Solved!"));
  // Tools holds "Plot..." after Clear Fields.
  QMenu* tools = nullptr;
  for (QAction* a : Frame().menuBar()->actions()) {
    if (a->text() == "&Tools") tools = a->menu();
  }
  QVERIFY(tools);
  QAction* plot = ActionNamed(tools, "&Plot...");
  QVERIFY(plot);
  QCOMPARE(tools->actions().indexOf(plot), tools->actions().indexOf(ActionNamed(tools, "Clear &Fields")) + 1);

  plot->trigger();
  PlotWindow* window = P().PlotViewer().Window();
  QVERIFY(window);
  QVERIFY(window->isVisible());
  QVERIFY(QTest::qWaitForWindowExposed(window));
  QCOMPARE(window->windowTitle(), QString("ZYNTA Plots"));
  QCOMPARE(window->Notice(PlotKind::System), QString());
  QVERIFY(!window->View(PlotKind::System)->chart()->series().isEmpty());
  QCOMPARE(window->Data().system.operating.x, 100.0);  // the flow on screen, gpm
  const bool darcy = P().GetComboBox("ComboEq").Text() == "Darcy-Weisbach";
  QCOMPARE(window->Notice(PlotKind::Moody).isEmpty(), darcy);
  QVERIFY(window->findChild<QPushButton*>("plot.exportPng")->isEnabled());
  const QPixmap shot = window->grab();
  QVERIFY(shot.save(QString(ZYNTA_SCREENSHOT_DIR) + "/plot-window.png"));

  // The export buttons write what the tab shows.
  const QString png = temp_.path() + "/export.png";
  QVERIFY(window->Export(PlotKind::System, PictureFormat::Png, png));
  QFile file(png);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QCOMPARE(file.read(8), QByteArray("\x89PNG\r\n\x1a\n", 8));

  // Solved again at another flow: the open window follows.
  LineField& flow = Field("EditFlow");
  QTest::mouseClick(&flow, Qt::LeftButton);
  flow.selectAll();
  QTest::keyClicks(&flow, "150");
  solve.trigger();
  QCOMPARE(P().GetStatusBar().Text(), std::string("Solved!"));
  QCOMPARE(window->Data().system.operating.x, 150.0);
  QCOMPARE(window->Data().system.points.back().x, 300.0);

  // Nothing solved: the window says so and exports nothing.
  dynamic_cast<MenuAction&>(P().GetMenuItem("ClearFields2")).trigger();
  solve.trigger();
  QVERIFY(P().GetStatusBar().Text() != "Solved!");
  QCOMPARE(window->Notice(PlotKind::System), QString("Solve first"));
  QCOMPARE(window->Notice(PlotKind::Moody), QString("Solve first"));
  QVERIFY(!window->findChild<QPushButton*>("plot.exportPng")->isEnabled());
  QVERIFY(!window->Export(PlotKind::System, PictureFormat::Png, png));
  QVERIFY(P().PlotViewer().Open());  // it closes with the calculator window (closeButton)
  // The export dialog opens in the user's pictures.
  const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  QCOMPARE(window->ExportFolder(), QDir(pictures).exists() ? pictures : QDir::homePath());
}

// The plot window's pump panel: points typed into its table, a lift and the Fittings dialog's
// sum reach the core, the plot draws the pump and the panel shows its operating point; a curve
// that rises is refused with its message.
void GuiTest::plotWindowPumpPanel() {
  auto& solve = dynamic_cast<MenuAction&>(P().GetMenuItem("Solve1"));
  for (auto [edit, text] : {std::pair{"EditIDia", "6"}, std::pair{"EditLen", "1000"}, std::pair{"EditFric", "120"},
                            std::pair{"EditFlow", "500"}}) {
    LineField& field = Field(edit);
    QTest::mouseClick(&field, Qt::LeftButton);
    field.selectAll();
    QTest::keyClicks(&field, text);
  }
  solve.trigger();
  QVERIFY2(P().GetStatusBar().Text().rfind("Solved!", 0) == 0, P().GetStatusBar().Text().c_str());
  PlotWindow* window = P().PlotViewer().Window();
  QVERIFY(window && window->isVisible());
  PumpPanelWidget* panel = window->Pumps();
  QVERIFY(panel->isEnabled());
  QCOMPARE(panel->Points()->horizontalHeaderItem(1)->text(), QString("Flow (gpm)"));

  panel->StaticHead()->setText("20");
  emit panel->StaticHead()->editingFinished();
  const char* points[][2] = {{"0", "120"}, {"600", "100"}, {"1200", "40"}};
  for (const auto& point : points) {
    QTest::mouseClick(window->findChild<QPushButton*>("pumps.add"), Qt::LeftButton);
    const int row = panel->Points()->rowCount() - 1;
    panel->Points()->setItem(row, 2, new QTableWidgetItem(point[1]));
    panel->Points()->setItem(row, 1, new QTableWidgetItem(point[0]));
  }
  QTRY_COMPARE(window->Data().pumps.size(), size_t{1});
  QTRY_VERIFY2(window->Data().pumps[0].meets, window->Data().pumps[0].text.c_str());
  QCOMPARE(window->Data().pumpInput.staticHead, std::string("20"));
  QVERIFY(panel->Results()->text().startsWith("Pump 1: Q "));
  QStringList names;
  for (QAbstractSeries* s : window->View(PlotKind::System)->chart()->series()) names << s->name();
  QVERIFY2(names.join("|").contains("Pump 1: Q "), qPrintable(names.join(" | ")));
  QVERIFY(window->grab().save(QString(ZYNTA_SCREENSHOT_DIR) + "/plot-window-pumps.png"));
  // A figure, not a check: an edit of the panel to the plot redrawn (core, charts, a paint).
  std::vector<qint64> micros;
  for (int i = 0; i < 21; ++i) {
    QElapsedTimer clock;
    clock.start();
    P().PlotViewer().OnPumpsChanged(panel->Input());
    window->View(PlotKind::System)->grab();
    micros.push_back(clock.nsecsElapsed() / 1000);
  }
  std::sort(micros.begin(), micros.end());
  qInfo("pump panel edit to plot redrawn: median %lld us", static_cast<long long>(micros[micros.size() / 2]));

  // The Fittings dialog: two globe valves add 2 x 10 to the sum of K.
  QTimer::singleShot(0, [] {
    auto* dialog = qApp->findChild<QDialog*>("pumps.fittingsDialog");
    if (!dialog)
      for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "pumps.fittingsDialog") dialog = qobject_cast<QDialog*>(w);
    if (!dialog) return;
    for (QSpinBox* count : dialog->findChildren<QSpinBox*>())
      if (count->accessibleName() == "Globe valve, open") count->setValue(2);
    dialog->accept();
  });
  panel->FittingsAsked();
  QTRY_COMPARE(window->Data().pumpInput.sumK, std::string("20"));

  // A rising curve is refused, and the pump taken before stays.
  panel->Points()->item(0, 2)->setText("10");
  QTRY_COMPARE(window->Data().pumpRefusal,
               std::string("Pump 1: The pump curve rises with flow; its head must fall as the flow grows"));
  QVERIFY(panel->Results()->text().startsWith("Pump 1: The pump curve rises"));
  QCOMPARE(window->Data().pumps.size(), size_t{1});
  QVERIFY(window->Data().pumps[0].meets);

  // The panel is kept in the settings file with the rest, and read back as it was.
  shell::TfrmZYNTA& form = program_->Program().Form();
  settings::IniFile ini(SettingsPath());
  shell::WriteSettings(form, ini);
  QCOMPARE(ini.ReadString("Pumps", "StaticHead", ""), std::string("20"));
  QCOMPARE(ini.ReadString("Pumps", "SumK", ""), std::string("20"));
  QCOMPARE(ini.ReadString("Pumps", "Pump1", ""), std::string("0:120,600:100,1200:40"));
  const shell::PumpPanel back = shell::ReadPumpPanel(ini);
  QCOMPARE(back.pumps.size(), size_t{1});
  QCOMPARE(back.staticHeadFt, form.Pumps.staticHeadFt);
}

// The plot window's own size is larger than the offscreen screen (800x800): it opens fitted to
// it, its buttons within reach.
void GuiTest::plotWindowFitsASmallScreen() {
  PlotWindow* window = P().PlotViewer().Window();
  QVERIFY(window && window->isVisible());
  const QRect screen = window->screen()->availableGeometry();
  QVERIFY2(PictureSize.width() + 40 > screen.width(), "the screen is no smaller than the window");
  QTRY_VERIFY2(
      screen.contains(window->frameGeometry()),
      qPrintable(
          QString("%1,%2 %3x%4").arg(window->x()).arg(window->y()).arg(window->width()).arg(window->height())));
  auto* close = window->findChild<QPushButton*>("plot.close");
  QVERIFY(screen.contains(close->mapToGlobal(close->rect().bottomRight())));
  // Esc closes it; Plot... opens it again.
  window->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window));
  QTest::keyClick(window, Qt::Key_Escape);
  QTRY_VERIFY(!window->isVisible());
  dynamic_cast<MenuAction&>(P().GetMenuItem("Plot1")).trigger();
  QVERIFY(window->isVisible());
}

// Closed, the plot window writes its place to the settings; made anew (the next run), it opens
// there, or on the screen when the place is off it.
void GuiTest::plotWindowKeepsItsPlaceInTheSettings() {
  PlotWindow* window = P().PlotViewer().Window();
  QVERIFY(window && window->isVisible());
  window->resize(500, 400);
  window->move(30, 40);
  window->close();
  {
    const settings::IniFile ini(SettingsPath());
    QCOMPARE(ini.ReadInteger("PlotWindow", "Top", -1), 40);
    QCOMPARE(ini.ReadInteger("PlotWindow", "Left", -1), 30);
    QCOMPARE(ini.ReadInteger("PlotWindow", "Width", -1), 500);
    QCOMPARE(ini.ReadInteger("PlotWindow", "Height", -1), 400);
    QCOMPARE(ini.ReadString("MainForm", "HLEq", ""), P().GetComboBox("ComboEq").Text());  // the rest kept
  }
  struct Case {
    QRect saved;
    bool stays;  // opens just there, else somewhere on the screen
  };
  const QRect screen = window->screen()->availableGeometry();
  for (const Case& c : {Case{QRect(30, 40, 500, 400), true}, Case{QRect(5000, 5000, 3000, 2500), false}}) {
    settings::IniFile(SettingsPath()).Update([&](settings::IniDocument& doc) {
      doc.SetInteger("PlotWindow", "Top", c.saved.y());
      doc.SetInteger("PlotWindow", "Left", c.saved.x());
      doc.SetInteger("PlotWindow", "Width", c.saved.width());
      doc.SetInteger("PlotWindow", "Height", c.saved.height());
    });
    QtPlotViewer next{QIcon()};
    next.SetSettingsFile(SettingsPath());
    next.Show(window->Data());
    QVERIFY(QTest::qWaitForWindowExposed(next.Window()));
    if (c.stays) {
      QCOMPARE(QRect(next.Window()->pos(), next.Window()->size()),
               c.saved);  // the frame there, the inside that size
    } else {
      QTRY_VERIFY(screen.contains(next.Window()->frameGeometry()));
    }
  }
  dynamic_cast<MenuAction&>(P().GetMenuItem("Plot1")).trigger();
  QVERIFY(window->isVisible());
}

void GuiTest::PickIn(const char* chooser, const QString& entry) {
  auto& box = dynamic_cast<ChooserBox&>(P().GetComboBox(chooser));
  box.setFocus();
  QTest::keyClick(&box, Qt::Key_F4);
  QAbstractItemView* view = box.view();
  QTRY_VERIFY(view->isVisible());
  const int index = box.findText(entry);
  QVERIFY(index >= 0);
  view->setCurrentIndex(view->model()->index(index, 0));
  QTest::keyClick(view, Qt::Key_Return);
  QTRY_COMPARE(QString::fromStdString(box.Text()), entry);
}

// Under a dark theme, a problem with few fields shows its rows one under the other: no gap
// where a hidden row was, and the window as high as what it shows.
void GuiTest::hiddenRowsTakeNoHeightOnADarkTheme() {
  const QPalette before = QApplication::palette();
  QApplication::setPalette(DarkPalette());
  Frame().activateWindow();
  PickProblem("HL given D,L,C,Q");
  QCoreApplication::processEvents();
  const int allRows = Frame().height();
  PickProblem("Vel given D,Q");
  QTRY_VERIFY(Frame().height() < allRows);
  std::vector<QWidget*> rows;
  for (const calc::ParamInfo& info : calc::ParamTable) {
    QWidget* field = &Field(info.edit);
    if (field->isVisible()) rows.push_back(field);
  }
  QVERIFY(rows.size() >= 3 && rows.size() < calc::ParamTable.size());
  std::sort(rows.begin(), rows.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
  for (size_t i = 1; i < rows.size(); ++i) {
    const int gap = rows[i]->y() - rows[i - 1]->geometry().bottom();
    QVERIFY2(gap <= rows[i]->height() / 2,
             qPrintable(QString("%1 px above %2").arg(gap).arg(rows[i]->objectName())));
  }
  // The last row is near the window's bottom: no room kept for the hidden ones.
  const QWidget* last = rows.back();
  const int below = Frame().centralWidget()->height() - last->geometry().bottom();
  QVERIFY2(below < 2 * last->height(), qPrintable(QString::number(below)));
  // Both colours read on the dark base.
  const QColor base = Field("EditVel").palette().color(QPalette::Active, QPalette::Base);
  QCOMPARE(base, DarkPalette().color(QPalette::Base));
  QVERIFY(ContrastRatio(Field("EditVel").palette().color(QPalette::Active, QPalette::Text), base) >= 4.5);
  QVERIFY(ContrastRatio(Field("EditIDia").palette().color(QPalette::Active, QPalette::Text), base) >= 4.5);
  PickProblem("HL given D,L,C,Q");
  QApplication::setPalette(before);
}

// A wider window gives its fields and choosers the room.
void GuiTest::resizeGrowsTheFields() {
  LineField& flow = Field("EditFlow");
  QWidget& problem = dynamic_cast<ChooserBox&>(P().GetComboBox("cbSolveFor"));
  const int field = flow.width(), chooser = problem.width();
  const int apart = Field("EditFlow").y() - Field("EditLen").y();
  const QSize size = Frame().size();
  Frame().resize(size.width() + 200, size.height() + 100);
  QTRY_COMPARE(Frame().width(), size.width() + 200);
  QTRY_VERIFY(flow.width() >= field + 150);
  QVERIFY(problem.width() >= chooser + 150);
  // The rows stay together at the top; the list buttons at the end of their fields.
  QCOMPARE(Field("EditFlow").y() - Field("EditLen").y(), apart);
  auto* button = Frame().findChild<QWidget*>("cbFricList");
  QVERIFY(button->geometry().right() >= Field("EditFric").width() - 4);
  Frame().resize(size);
}

void GuiTest::closeButton() {
  QVERIFY(program_->Running());
  QVERIFY(Frame().isVisible());
  const bool tray = QSystemTrayIcon::isSystemTrayAvailable();
  Frame().close();
  QVERIFY(!Frame().isVisible());
  QVERIFY(!P().HelpWindow().Window()->isVisible());  // the help closes with the window
  QVERIFY(!P().PlotViewer().Open());                 // and so do the plots
  if (tray) {
    QVERIFY(program_->Running());  // hidden to the notification area
    return;
  }
  QVERIFY(!program_->Running());  // no notification area: closing ends the program
  const fs::path settings =
      fs::path(temp_.path().toStdString()) / "config" / "WXB/ZYNTA/1.1" / "zynta-gui-tests.ini";
  QVERIFY(fs::is_regular_file(settings));
}

// The mended start: Start Hidden with no notification area would leave nothing to bring the
// window back with, so the window shows anyway.
void GuiTest::startHiddenWithoutANotificationAreaShowsTheWindow() {
  if (QSystemTrayIcon::isSystemTrayAvailable()) QSKIP("this desktop has a notification area");
  QVERIFY(program_ && !program_->Running());  // ended by the close button
  const fs::path settings =
      fs::path(temp_.path().toStdString()) / "config" / "WXB/ZYNTA/1.1" / "zynta-gui-tests.ini";
  settings::IniFile ini(settings);
  ini.WriteBool("MainForm", "StartHidden", true);
  ini.WriteBool("MainForm", "NoIntro", true);
  program_.reset();
  program_ = std::make_unique<DesktopProgram>(programDir_);
  QVERIFY(program_->Start());
  QVERIFY(P().GetMenuItem("StartHidden1").Checked());
  QVERIFY(!P().GetTrayIcon().Available());
  QVERIFY(Frame().isVisible());
  QVERIFY(QTest::qWaitForWindowExposed(&Frame()));
}

// The notification icon cannot appear offscreen; its menu can: the entries the core made, the
// icon's right click opening it, and each entry reaching the core.
void GuiTest::trayMenuEntriesAreWiredToTheCore() {
  QVERIFY(program_ && program_->Running());
  auto& tray = dynamic_cast<PopupMenu&>(P().GetMenu("TaskBarPopupMenu"));
  QStringList captions;
  for (QAction* a : tray.Widget()->actions()) captions << a->text();
  QCOMPARE(captions, (QStringList{"Exit ZYNTA", "Hide", "Pop-up"}));
  P().Tray().OnRightClick();
  QMenu* menu = OpenPopup();
  QCOMPARE(menu, tray.Widget());
  QTest::keyClick(menu, Qt::Key_Escape);
  QTRY_VERIFY(!menu->isVisible());
  auto entry = [&](const char* caption) { return ActionNamed(tray.Widget(), caption); };
  entry("Hide")->trigger();  // nowhere to hide to: the window stays
  QVERIFY(Frame().isVisible());
  entry("Pop-up")->trigger();
  QVERIFY(Frame().isVisible());
  const fs::path settings =
      fs::path(temp_.path().toStdString()) / "config" / "WXB/ZYNTA/1.1" / "zynta-gui-tests.ini";
  fs::remove(settings);
  entry("Exit ZYNTA")->trigger();
  QVERIFY(!program_->Running());
  QVERIFY(!Frame().isVisible());
  QVERIFY(fs::is_regular_file(settings));  // saved on the way out
  QCOMPARE(settings::IniFile(settings).ReadString("MainForm", "StartHidden", ""), std::string("1"));
}

// SIGTERM from a logout or shutdown ends the program as the session's end does: settings saved.
void GuiTest::terminationSignalSavesTheSettings() {
  program_.reset();
  const fs::path settings =
      fs::path(temp_.path().toStdString()) / "config" / "WXB/ZYNTA/1.1" / "zynta-gui-tests.ini";
  std::error_code ec;
  fs::remove(settings, ec);
  program_ = std::make_unique<DesktopProgram>(programDir_);
  bool introSeen = false;
  CloseIntroWhenShown(introSeen);
  QVERIFY(program_->Start());
  const auto solvedOnDisk = [&] { return settings::IniFile(settings).ReadString("MainForm", "Solved", ""); };
  QCOMPARE(solvedOnDisk(), std::string("0"));  // the first run's copy of the shipped settings
  QVERIFY(QTest::qWaitForWindowExposed(&Frame()));
  QTRY_VERIFY(QApplication::focusWidget());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
  QVERIFY(program_->Program().Form().Solved);
  TerminationSignals termination([this] { program_->EndSession(); });
  QCOMPARE(::raise(SIGTERM), 0);
  QTRY_VERIFY(!program_->Running());
  QCOMPARE(solvedOnDisk(), std::string("1"));
}

// A position saved on a monitor that is gone opens the window on the screen there is.
void GuiTest::savedRectangleOffTheScreensOpensOnScreen() {
  program_.reset();
  {
    settings::IniFile ini(SettingsPath());
    ini.WriteInteger("MainForm", "Top", 5000);
    ini.WriteInteger("MainForm", "Left", 5000);
    ini.WriteBool("MainForm", "NoIntro", true);
    ini.WriteBool("MainForm", "StartHidden", false);
  }
  program_ = std::make_unique<DesktopProgram>(programDir_);
  QVERIFY(program_->Start());
  QVERIFY(QTest::qWaitForWindowExposed(&Frame()));
  const QRect screen = Frame().screen()->availableGeometry();
  QTRY_VERIFY2(
      screen.contains(Frame().frameGeometry()),
      qPrintable(
          QString("%1,%2 on %3x%4").arg(Frame().x()).arg(Frame().y()).arg(screen.width()).arg(screen.height())));
  QVERIFY(P().GetWindow().Left() < screen.right());
  QVERIFY(P().GetWindow().Top() < screen.bottom());
}

QTEST_MAIN(GuiTest)
#include "gui_test.moc"
