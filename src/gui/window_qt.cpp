#include "gui/window_qt.h"

#include <utility>

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QTimer>
#include <QWindow>

#include "gui/dispatch.h"
#include "gui/screen_fit.h"
#include "gui/timing.h"

namespace zynta::gui {

WindowAdapter::WindowAdapter(QWidget* widget) : widget_(widget) {}

WindowAdapter::~WindowAdapter() {
  if (busy_) QApplication::restoreOverrideCursor();
}

void WindowAdapter::Register(QWidget* widget, platform::Control* control) {
  controls_[widget] = control;
  widgets_[control] = widget;
}

platform::Control* WindowAdapter::ControlOf(QWidget* widget) const {
  for (QWidget* w = widget; w; w = w->parentWidget()) {
    if (auto it = controls_.find(w); it != controls_.end()) return it->second;
    if (w->isWindow()) break;
  }
  return nullptr;
}

QWidget* WindowAdapter::WidgetOf(const platform::Control* control) const {
  auto it = widgets_.find(control);
  return it == widgets_.end() ? nullptr : it->second;
}

bool WindowAdapter::Shown() const { return widget_ && widget_->isVisible(); }

void WindowAdapter::SetShown(bool shown) {
  if (!widget_) return;
  Request([&] {
    if (shown) {
      if (!widget_->isVisible()) KeepOnScreen(widget_);
      widget_->show();
      widget_->raise();
      widget_->activateWindow();
    } else {
      widget_->hide();
    }
  });
}

void WindowAdapter::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (widget_) widget_->setWindowTitle(Q(caption));
}

int WindowAdapter::Top() const { return widget_ ? widget_->pos().y() : 0; }
int WindowAdapter::Left() const { return widget_ ? widget_->pos().x() : 0; }
int WindowAdapter::Width() const { return widget_ ? widget_->frameGeometry().width() : 0; }
int WindowAdapter::Height() const { return widget_ ? widget_->frameGeometry().height() : 0; }

void WindowAdapter::MoveTo(int top, int left) {
  if (widget_) Request([&] { widget_->move(left, top); });
}

// A window takes the hint when it is made; one on screen is shown again to take it.
void WindowAdapter::SetStayOnTop(bool onTop) {
  onTop_ = onTop;
  if (!widget_) return;
  if (!widget_->testAttribute(Qt::WA_WState_Created)) {
    widget_->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    return;
  }
  Request([&] {
    const bool visible = widget_->isVisible();
    widget_->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible) widget_->show();
  });
}

void WindowAdapter::ShowModal() {
  if (!widget_) return;
  if (auto* dialog = qobject_cast<QDialog*>(widget_.data())) {
    KeepOnScreen(dialog);
    ArrowWhileAsking arrow;
    Loop([&] {
      Timing::Get().ModalStarted();
      dialog->exec();
      Timing::Get().ModalEnded();
    });
  } else {
    SetShown(true);
  }
}

void WindowAdapter::Close() {
  if (!widget_) return;
  Request([&] {
    if (auto* dialog = qobject_cast<QDialog*>(widget_.data())) {
      dialog->done(QDialog::Accepted);
    } else {
      widget_->hide();
    }
  });
}

void WindowAdapter::MoveCentredOn(int x, int y) {
  if (!widget_) return;
  widget_->ensurePolished();
  if (widget_->layout()) widget_->layout()->activate();
  if (widget_->minimumSize() != widget_->maximumSize()) widget_->adjustSize();
  MoveTo(y - Height() / 2, x - Width() / 2);
}

void WindowAdapter::SetBusyCursor(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void WindowAdapter::SetFocus(platform::Control& control) {
  Request([&] { MoveFocus(control); });
}

// While the losing control runs its exit handler no control has the focus, so a focus move
// made by that handler does not exit it a second time, and wins over the move in progress.
void WindowAdapter::MoveFocus(platform::Control& target) {
  const unsigned move = ++focusMoves_;
  if (focused_ == &target) {
    ShowQtFocus(target);
    return;
  }
  if (platform::Control* old = focused_) {
    focused_ = nullptr;
    try {
      if (old->OnExit) old->OnExit();
    } catch (...) {
      if (focusMoves_ == move) {  // the action ends; the focus stays put
        focused_ = old;
        ShowQtFocus(*old);
      }
      throw;
    }
    if (focusMoves_ != move) return;
  }
  focused_ = &target;
  ShowQtFocus(target);
  if (target.OnEnter) target.OnEnter();
}

void WindowAdapter::ShowQtFocus(platform::Control& control) {
  QWidget* w = WidgetOf(&control);
  if (!w) return;
  if (QWidget* now = QApplication::focusWidget(); now && ControlOf(now) == &control) return;
  ++applying_;
  Request([&] { w->setFocus(Qt::OtherFocusReason); });
  --applying_;
}

void WindowAdapter::QtFocusChanged(QWidget* now) {
  if (applying_ > 0 || !widget_ || !now || now->window() != widget_) return;
  platform::Control* control = ControlOf(now);
  if (!control || control == focused_) return;
  // Qt gives a field the focus on a press of any button; a right click only opens a menu.
  if (focused_ && QGuiApplication::mouseButtons() == Qt::RightButton) {
    ShowQtFocus(*focused_);
    return;
  }
  if (InsideRequest()) {
    // Qt moved the focus on its own (the focused control was hidden or disabled by the
    // program): the core hears of it once the request is over.
    QueueReconcile();
    return;
  }
  FromQt([&] { MoveFocus(*control); });
}

void WindowAdapter::QueueReconcile() {
  if (reconcileQueued_ || !widget_) return;
  reconcileQueued_ = true;
  QTimer::singleShot(0, widget_, [this] { Reconcile(); });
}

void WindowAdapter::Reconcile() {
  reconcileQueued_ = false;
  if (InsideRequest()) {
    QueueReconcile();
    return;
  }
  QWidget* now = QApplication::focusWidget();
  if (!widget_ || !now || now->window() != widget_) return;
  platform::Control* control = ControlOf(now);
  if (!control || control == focused_) return;
  FromQt([&] { MoveFocus(*control); });
}

void WindowAdapter::QtActivated() {
  platform::Handler run = OnActivate;
  FromQt(run);
}

bool WindowAdapter::QtCloseQuery() {
  bool canClose = true;
  auto run = OnCloseQuery;
  if (run) FromQt([&] { run(canClose); });
  return canClose;
}

MainFrame::MainFrame() : QMainWindow(nullptr) {
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  // The program leaving the desktop's focus: the next activation comes from outside.
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state != Qt::ApplicationActive) handedToOwnWindow_ = false;
  });
}

void MainFrame::setVisible(bool visible) {
  if (visible && !isVisible()) FitHeight();
  QMainWindow::setVisible(visible);
}

// The height follows the rows shown; what the user added to it stays added.
void MainFrame::FitHeight() {
  fitQueued_ = false;
  const int content = sizeHint().height();
  if (content == contentHeight_) return;
  const int added = contentHeight_ > 0 ? std::max(0, height() - contentHeight_) : 0;
  contentHeight_ = content;
  if (!isMaximized() && !isFullScreen()) resize(width(), content + added);
}

bool MainFrame::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::UpdateRequest: {
      const bool handled = QMainWindow::event(event);
      Timing::Get().Painted();
      return handled;
    }
    case QEvent::LayoutRequest:
      if (!fitQueued_) {
        fitQueued_ = true;
        QTimer::singleShot(0, this, [this] { FitHeight(); });
      }
      break;
    // The activation went to another window of the program (a message box, a dialog, a menu,
    // the plot window): the window getting it back is no activation from outside, and must not
    // move the focus (FormActivate).
    case QEvent::WindowDeactivate: {
      const QWindow* now = QGuiApplication::focusWindow();
      handedToOwnWindow_ = QApplication::activePopupWidget() || (now && now != windowHandle());
      break;
    }
    case QEvent::Hide:
      handedToOwnWindow_ = false;  // shown again from the tray: from outside
      break;
    case QEvent::WindowActivate:
      if (adapter_ && !std::exchange(handedToOwnWindow_, false)) adapter_->QtActivated();
      break;
    default: break;
  }
  return QMainWindow::event(event);
}

void MainFrame::closeEvent(QCloseEvent* event) {
  if (adapter_ && !adapter_->QtCloseQuery()) {
    event->ignore();
    return;
  }
  event->accept();
}

DialogFrame::DialogFrame(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

bool DialogFrame::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && adapter_) adapter_->QtActivated();
  return QDialog::event(event);
}

}  // namespace zynta::gui
