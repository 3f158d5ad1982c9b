// The desktop program on a real X server (Xvfb, started by screenshot_test.sh) with a window
// manager this test starts itself (openbox): the calculator window as the desktop frames it,
// grabbed from the screen at its first start, with "Vel given D,Q" solved and on a dark
// theme, into build/screenshots/window-*.png (QT_SCALE_FACTOR=2: window-*-x2.png). In each
// state no two rows shown are further apart than one row's height.
#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <vector>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "calc/params.h"
#include "gui/controls_qt.h"
#include "gui/desktop_program.h"
#include "gui/dispatch.h"
#include "gui/screen_fit.h"
#include "gui/window_qt.h"
#include "intro_closer.h"

namespace fs = std::filesystem;
using namespace zynta;
using namespace zynta::gui;

namespace {

// A dark desktop theme, every role the window uses.
QPalette DarkTheme() {
  QPalette p;
  for (auto [role, colour] :
       {std::pair{QPalette::Window, "#2b2b2b"}, std::pair{QPalette::WindowText, "#e6e6e6"},
        std::pair{QPalette::Base, "#1e1e1e"}, std::pair{QPalette::AlternateBase, "#262626"},
        std::pair{QPalette::Text, "#e6e6e6"}, std::pair{QPalette::Button, "#353535"},
        std::pair{QPalette::ButtonText, "#e6e6e6"}, std::pair{QPalette::Highlight, "#2a82da"},
        std::pair{QPalette::HighlightedText, "#ffffff"}, std::pair{QPalette::Link, "#2a82da"},
        std::pair{QPalette::ToolTipBase, "#353535"}, std::pair{QPalette::ToolTipText, "#e6e6e6"}})
    p.setColor(role, QColor(colour));
  p.setColor(QPalette::Disabled, QPalette::Text, QColor("#7a7a7a"));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor("#7a7a7a"));
  p.setColor(QPalette::Disabled, QPalette::WindowText, QColor("#7a7a7a"));
  return p;
}

QString Where(const QRect& window, const QRect& screen) {
  return QString("the window at %1,%2 %3x%4, the screen %5x%6")
      .arg(window.x())
      .arg(window.y())
      .arg(window.width())
      .arg(window.height())
      .arg(screen.width())
      .arg(screen.height());
}

}  // namespace

class ScreenshotTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void cleanupTestCase();
  void firstStart();
  void velocitySolved();
  void darkTheme();

 private:
  // The rows on show, top to bottom: no gap between two of them larger than a row.
  void RowsCloseUp(const char* state);
  void Settle();
  // The window with the desktop's frame, from the screen, into build/screenshots.
  void Shoot(const QString& state);
  void PickProblem(const QString& problem);

  QtPlatform& P() { return program_->Platform(); }
  MainFrame& Frame() { return P().MainWidget(); }

  QTemporaryDir temp_;
  QProcess windowManager_;
  std::unique_ptr<DesktopProgram> program_;
};

void ScreenshotTest::initTestCase() {
  QVERIFY(temp_.isValid());
  if (QGuiApplication::platformName() != "xcb") QSKIP("needs an X server (run by screenshot_test.sh)");
  const QString openbox = QStandardPaths::findExecutable("openbox");
  if (openbox.isEmpty()) QSKIP("openbox is not installed");
  windowManager_.setProgram(openbox);
  windowManager_.setArguments({"--sm-disable"});
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_CONFIG_HOME", temp_.path() + "/wm");  // the window manager's defaults
  windowManager_.setProcessEnvironment(env);
  windowManager_.start();
  QVERIFY(windowManager_.waitForStarted(5000));
  QTest::qWait(800);  // it takes over the screen
  QCOMPARE(windowManager_.state(), QProcess::Running);

  QApplication::setQuitOnLastWindowClosed(false);
  qputenv("XDG_CONFIG_HOME", (temp_.path() + "/config").toUtf8());
  qputenv("XDG_RUNTIME_DIR", (temp_.path() + "/run").toUtf8());
  QDir().mkpath(temp_.path() + "/config");
  QDir().mkpath(temp_.path() + "/run");
  QFile::setPermissions(temp_.path() + "/run",
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  const fs::path programDir = fs::path(temp_.path().toStdString()) / "program";
  fs::copy(ZYNTA_DATA_DIR, programDir, fs::copy_options::recursive);
  QVERIFY(QDir().mkpath(ZYNTA_SCREENSHOT_DIR));

  program_ = std::make_unique<DesktopProgram>(programDir);
  bool introSeen = false;
  CloseIntroWhenShown(introSeen);
  QVERIFY(program_->Start());
  QVERIFY(introSeen);  // a first start
  QVERIFY(QTest::qWaitForWindowExposed(&Frame()));
  // Framed by the window manager.
  QTRY_VERIFY_WITH_TIMEOUT(Frame().frameGeometry().height() > Frame().geometry().height(), 3000);
}

void ScreenshotTest::cleanupTestCase() {
  program_.reset();
  if (windowManager_.state() == QProcess::Running) {
    windowManager_.terminate();
    if (!windowManager_.waitForFinished(3000)) windowManager_.kill();
  }
}

void ScreenshotTest::RowsCloseUp(const char* state) {
  std::vector<QWidget*> rows;
  for (const char* chooser : {"cbSolveFor", "ComboEq", "ComboSpec"})
    rows.push_back(dynamic_cast<QWidget*>(&P().GetComboBox(chooser)));
  for (const calc::ParamInfo& info : calc::ParamTable)
    rows.push_back(dynamic_cast<QWidget*>(&P().GetTextField(info.edit)));
  rows.erase(std::remove_if(rows.begin(), rows.end(), [](QWidget* w) { return !w->isVisible(); }), rows.end());
  QVERIFY2(rows.size() >= 5, state);
  std::sort(rows.begin(), rows.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
  for (size_t i = 1; i < rows.size(); ++i) {
    const int gap = rows[i]->y() - rows[i - 1]->geometry().bottom() - 1;
    QVERIFY2(gap <= rows[i]->height(),
             qPrintable(QString("%1: %2 px above %3").arg(state).arg(gap).arg(rows[i]->objectName())));
  }
  // Nor below the last one: the window fits what it shows.
  const int below = Frame().centralWidget()->height() - rows.back()->geometry().bottom();
  QVERIFY2(below <= 2 * rows.back()->height(), qPrintable(QString("%1: %2 px below").arg(state).arg(below)));
}

// The window manager answers a resize or a move in its own time.
void ScreenshotTest::Settle() {
  QWidget* last = nullptr;
  for (const calc::ParamInfo& info : calc::ParamTable) {
    auto* field = dynamic_cast<QWidget*>(&P().GetTextField(info.edit));
    if (field->isVisible() && (!last || field->y() > last->y())) last = field;
  }
  QVERIFY(last);
  QTRY_VERIFY_WITH_TIMEOUT(Frame().centralWidget()->height() - last->geometry().bottom() <= 2 * last->height(),
                           3000);
  // Mostly on the screen, as every window is kept.
  QTRY_VERIFY2_WITH_TIMEOUT(FitOnScreens(Frame().frameGeometry(), ScreenAreas()) == Frame().frameGeometry(),
                            qPrintable(Where(Frame().frameGeometry(), Frame().screen()->geometry())), 3000);
  QTest::qWait(300);  // painted, by the client and the window manager
}

void ScreenshotTest::Shoot(const QString& state) {
  Settle();
  QScreen* screen = Frame().screen();
  const QRect frame = Frame().frameGeometry() & screen->geometry();
  const QPixmap shot = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
  QVERIFY(!shot.isNull());
  // Something was drawn there: the grab is no blank of one colour.
  const QImage image = shot.toImage();
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); y += 3)
    for (int x = 0; x < image.width(); x += 3) colours.insert(image.pixel(x, y));
  QVERIFY2(colours.size() > 20, qPrintable(QString::number(colours.size())));
  const QString suffix = qEnvironmentVariableIsSet("QT_SCALE_FACTOR") && qgetenv("QT_SCALE_FACTOR") != "1"
                             ? "-x" + QString::fromUtf8(qgetenv("QT_SCALE_FACTOR"))
                             : QString();
  QVERIFY(shot.save(QString(ZYNTA_SCREENSHOT_DIR) + "/window-" + state + suffix + ".png"));
}

void ScreenshotTest::PickProblem(const QString& problem) {
  auto& box = dynamic_cast<ChooserBox&>(P().GetComboBox("cbSolveFor"));
  box.setFocus();
  QTest::keyClick(&box, Qt::Key_F4);
  QAbstractItemView* view = box.view();
  QTRY_VERIFY(view->isVisible());
  const int index = box.findText(problem);
  QVERIFY(index >= 0);
  view->setCurrentIndex(view->model()->index(index, 0));
  QTest::keyClick(view, Qt::Key_Return);
  QTRY_COMPARE(QString::fromStdString(box.Text()), problem);
}

void ScreenshotTest::firstStart() {
  Shoot("first-start");
  RowsCloseUp("first start");
}

void ScreenshotTest::velocitySolved() {
  PickProblem("Vel given D,Q");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
  QTRY_COMPARE(P().GetStatusBar().Text(), std::string("Solved!"));
  Shoot("vel-solved");
  RowsCloseUp("Vel given D,Q solved");
}

void ScreenshotTest::darkTheme() {
  QApplication::setPalette(DarkTheme());
  QTRY_COMPARE(Frame().palette().color(QPalette::Window), QColor("#2b2b2b"));
  Shoot("dark");
  RowsCloseUp("dark theme");
}

QTEST_MAIN(ScreenshotTest)
#include "screenshot_test.moc"
