#include "gui/services_qt.h"

#include <thread>

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QEventLoop>
#include <QMessageBox>
#include <QShortcut>
#include <QTimer>
#include <QUrl>

#include "gui/controls_qt.h"
#include "gui/dispatch.h"
#include "gui/screen_fit.h"
#include "gui/timing.h"

namespace zynta::gui {

namespace {
constexpr const char* AppTitle = "ZYNTA";

// A box belongs to the modal window open (the about box asking for updates), else to the
// calculator window while it is shown.
QWidget* BoxParent(QWidget* window) {
  if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) return modal;
  return window && window->isVisible() ? window : nullptr;
}

// Above its window, a window that stays on top included; a box of no window (the start, a
// second copy) above every window, the splash and a running copy's on-top window too.
void PlaceAbove(QMessageBox& box, QWidget* parent) {
  if (!parent || parent->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

QString BoxCaption(const std::string& caption) { return caption.empty() ? QString(AppTitle) : Q(caption); }

// A message may quote text from outside (a version file from the web, a field's text): it is
// shown as it is, never read as markup, so no link in it can be followed.
void ShowAsPlainText(QMessageBox& box) {
  box.setTextFormat(Qt::PlainText);
  box.setTextInteractionFlags(Qt::TextSelectableByMouse);
}
}  // namespace

void QtBeeper::MessageBeep(unsigned) { QApplication::beep(); }

void QtMessageBoxes::Show(const std::string& text, const std::string& caption) {
  QWidget* parent = BoxParent(parent_);
  QMessageBox box(QMessageBox::NoIcon, BoxCaption(caption), Q(text), QMessageBox::Ok, parent);
  box.setObjectName("ZyntaMessage");
  PlaceAbove(box, parent);
  ShowAsPlainText(box);
  ArrowWhileAsking arrow;
  Loop([&] { box.exec(); });
}

bool QtMessageBoxes::Confirm(const std::string& text, const std::string& caption) {
  QWidget* parent = BoxParent(parent_);
  QMessageBox box(QMessageBox::Question, BoxCaption(caption), Q(text), QMessageBox::Ok | QMessageBox::Cancel,
                  parent);
  box.setObjectName("ZyntaQuestion");
  PlaceAbove(box, parent);
  ShowAsPlainText(box);
  box.setDefaultButton(QMessageBox::Ok);
  int answer = QMessageBox::Cancel;
  ArrowWhileAsking arrow;
  Loop([&] { answer = box.exec(); });
  return answer == QMessageBox::Ok;
}

std::string QtClipboard::Text() const { return S(QGuiApplication::clipboard()->text()); }

void QtClipboard::SetText(const std::string& text) { QGuiApplication::clipboard()->setText(Q(text)); }

void QtDesktop::OpenUrl(const std::string& url) {
  Request([&] { QDesktopServices::openUrl(QUrl(Q(url))); });
}

QtTrayIcon::~QtTrayIcon() { delete tray_; }

bool QtTrayIcon::Available() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void QtTrayIcon::Add(const std::string& tip) {
  tip_ = tip;
  present_ = true;
  if (!tray_) {
    tray_ = new QSystemTrayIcon(icon_);
    tray_->setObjectName("ZyntaTray");
    QObject::connect(tray_, &QSystemTrayIcon::activated, tray_, [this](QSystemTrayIcon::ActivationReason reason) {
      platform::Handler run;
      if (reason == QSystemTrayIcon::Trigger) run = OnLeftClick;
      if (reason == QSystemTrayIcon::Context) run = OnRightClick;
      FromQt(run);
    });
  }
  tray_->setToolTip(Q(tip));
  if (Available()) Request([&] { tray_->show(); });
}

void QtTrayIcon::Remove() {
  present_ = false;
  if (tray_) Request([&] { tray_->hide(); });
}

void QtTrayIcon::PopupMenu(platform::Menu& menu) {
  if (auto* popup = dynamic_cast<gui::PopupMenu*>(&menu)) {
    popup->PopupAt(QCursor::pos());
  } else {
    menu.Popup();
  }
}

QtHelpViewer::~QtHelpViewer() { delete browser_; }

bool QtHelpViewer::ShowContents(const std::string& entryPage) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(entryPage, ec)) return false;
  if (!browser_) {
    browser_ = new QTextBrowser();
    browser_->setObjectName("ZyntaHelp");
    browser_->setWindowTitle("ZYNTA Help");
    browser_->setWindowIcon(icon_);
    // Only the help's own pages open, inside the window: a link elsewhere is not followed.
    browser_->setOpenLinks(false);
    QObject::connect(browser_, &QTextBrowser::anchorClicked, browser_, [this](const QUrl& link) {
      const QUrl target = browser_->source().resolved(link);
      if (target.isLocalFile()) browser_->setSource(target);
    });
    browser_->resize(640, 520);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), browser_);
    QObject::connect(escape, &QShortcut::activated, browser_, &QWidget::close);
  }
  browser_->setSource(QUrl::fromLocalFile(Q(entryPage)));
  Request([&] {
    if (!browser_->isVisible()) KeepOnScreen(browser_);
    browser_->show();
    browser_->raise();
    browser_->activateWindow();
  });
  return true;
}

void QtHelpViewer::CloseAll() {
  if (browser_) Request([&] { browser_->close(); });
}

std::string MailtoUrl(const platform::MailMessage& mail) {
  auto encode = [](const std::string& text) { return QUrl::toPercentEncoding(Q(text)).toStdString(); };
  return "mailto:" + encode(mail.toAddress) + "?subject=" + encode(mail.subject) + "&body=" + encode(mail.body);
}

int QtMailComposer::Compose(const platform::MailMessage& mail) {
  bool opened = false;
  const QUrl url = QUrl::fromEncoded(QByteArray::fromStdString(MailtoUrl(mail)), QUrl::StrictMode);
  Request([&] { opened = url.isValid() && QDesktopServices::openUrl(url); });
  return opened ? 0 : 2;
}

std::optional<std::string> QtWaitingHttpClient::Get(const std::string& host, int port, const std::string& path) {
  std::optional<std::string> body;
  QEventLoop loop;
  // The inner client ends by its own deadline, so the join below never waits long.
  std::thread worker([&] {
    body = inner_.Get(host, port, path);
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  try {
    Loop([&] { loop.exec(QEventLoop::ExcludeUserInputEvents); });
  } catch (...) {  // a handler's error kept from the loop: the thread must end first
    worker.join();
    throw;
  }
  worker.join();
  return body;
}

void QtSystem::ProcessEventsFor(int milliseconds) {
  waitedMs += milliseconds;
  Loop([&] {
    Timing::Get().WaitStarted();
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    Timing::Get().WaitEnded();
  });
}

}  // namespace zynta::gui
