#pragma once
// The program's windows as the core sees them. The focus as the core knows it is kept here:
// a click or Tab of the user and a move asked for by the program both go through MoveFocus,
// which runs the exit and enter handlers in the order the core relies on.

#include <string>
#include <unordered_map>

#include <QDialog>
#include <QMainWindow>
#include <QPointer>

#include "platform/controls.h"

namespace zynta::gui {

class WindowAdapter : public platform::Window {
 public:
  explicit WindowAdapter(QWidget* widget);
  ~WindowAdapter() override;

  // The window's controls, for the focus: a widget inside a control counts as the control.
  void Register(QWidget* widget, platform::Control* control);
  platform::Control* ControlOf(QWidget* widget) const;
  QWidget* WidgetOf(const platform::Control* control) const;
  QWidget* Widget() const { return widget_; }

  bool Shown() const override;
  void SetShown(bool shown) override;
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override;
  int Top() const override;
  int Left() const override;
  int Width() const override;
  int Height() const override;
  void MoveTo(int top, int left) override;
  bool StayOnTop() const override { return onTop_; }
  void SetStayOnTop(bool onTop) override;
  platform::Control* Focused() const override { return focused_; }
  void ShowModal() override;
  void Close() override;
  void MoveCentredOn(int x, int y) override;
  void SetBusyCursor(bool busy) override;
  void SetFocus(platform::Control& control) override;

  // What Qt reports.
  void QtFocusChanged(QWidget* now);
  void QtActivated();
  bool QtCloseQuery();  // false: the close is refused

 private:
  void MoveFocus(platform::Control& target);
  void ShowQtFocus(platform::Control& control);
  void QueueReconcile();
  void Reconcile();

  QPointer<QWidget> widget_;
  std::unordered_map<QWidget*, platform::Control*> controls_;
  std::unordered_map<const platform::Control*, QWidget*> widgets_;
  platform::Control* focused_ = nullptr;
  unsigned focusMoves_ = 0;  // lets a move tell whether an exit handler moved the focus
  int applying_ = 0;         // the focus is being shown in Qt: Qt's reports are our own
  bool reconcileQueued_ = false;
  std::string caption_;
  bool onTop_ = false;
  bool busy_ = false;
};

// The calculator window: only a close button; the user may make it larger, and its height
// follows the rows the problem shows. Only an activation from outside the program (another
// program's window, the tray, the start) is reported to the core.
class MainFrame : public QMainWindow {
 public:
  MainFrame();
  void SetAdapter(WindowAdapter* adapter) { adapter_ = adapter; }
  void setVisible(bool visible) override;

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FitHeight();

  WindowAdapter* adapter_ = nullptr;
  bool handedToOwnWindow_ = false;
  bool fitQueued_ = false;
  int contentHeight_ = 0;
};

class DialogFrame : public QDialog {
 public:
  explicit DialogFrame(QWidget* parent);
  void SetAdapter(WindowAdapter* adapter) { adapter_ = adapter; }

 protected:
  bool event(QEvent* event) override;

 private:
  WindowAdapter* adapter_ = nullptr;
};

}  // namespace zynta::gui
