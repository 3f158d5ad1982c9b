#pragma once
// The first start shows the intro modally: the Qt tests that start the program click its OK.

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace zynta::gui {

// Clicks the intro's OK once it is up; seen becomes true then.
inline void CloseIntroWhenShown(bool& seen) {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, &seen] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal->objectName() != "ZyntaIntro") return;
    auto* ok = modal->findChild<QPushButton*>("intro.Button3");
    if (!ok) return;
    seen = true;
    timer->stop();
    timer->deleteLater();
    QTest::mouseClick(ok, Qt::LeftButton);
  });
  timer->start(20);
}

}  // namespace zynta::gui
