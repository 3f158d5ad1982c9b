#include "gui/screen_fit.h"

#include <algorithm>
#include <limits>

#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace zynta::gui {

namespace {
qint64 AreaOf(const QRect& r) { return r.isEmpty() ? 0 : static_cast<qint64>(r.width()) * r.height(); }

// How far apart two rectangles are (0 when they touch or overlap), squared.
qint64 Distance2(const QRect& a, const QRect& b) {
  const qint64 dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
  const qint64 dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
  return dx * dx + dy * dy;
}
}  // namespace

QRect FitOnScreens(const QRect& wanted, const QList<QRect>& areas) {
  if (areas.isEmpty() || wanted.isEmpty()) return wanted;
  const QRect* best = nullptr;
  qint64 bestOverlap = -1;
  qint64 bestDistance = std::numeric_limits<qint64>::max();
  for (const QRect& area : areas) {
    const qint64 overlap = AreaOf(area.intersected(wanted));
    const qint64 distance = Distance2(area, wanted);
    if (overlap > bestOverlap || (overlap == bestOverlap && distance < bestDistance)) {
      best = &area;
      bestOverlap = overlap;
      bestDistance = distance;
    }
  }
  const QRect& area = *best;
  const bool fits = wanted.width() <= area.width() && wanted.height() <= area.height();
  if (fits && 2 * bestOverlap >= AreaOf(wanted)) return wanted;
  QRect placed(wanted.topLeft(), wanted.size().boundedTo(area.size()));
  placed.moveLeft(std::clamp(placed.left(), area.left(), area.right() + 1 - placed.width()));
  placed.moveTop(std::clamp(placed.top(), area.top(), area.bottom() + 1 - placed.height()));
  return placed;
}

QList<QRect> ScreenAreas() {
  QList<QRect> areas;
  for (const QScreen* screen : QGuiApplication::screens()) areas.append(screen->availableGeometry());
  return areas;
}

namespace {
// A window not yet on screen has no frame yet: a title bar and borders are allowed for.
constexpr QMargins AssumedFrame{4, 32, 4, 4};

void Fit(QWidget* window) {
  QRect frame = window->frameGeometry();
  const bool frameKnown = window->isVisible() && frame != window->geometry();
  QMargins margins(window->geometry().left() - frame.left(), window->geometry().top() - frame.top(),
                   frame.right() - window->geometry().right(), frame.bottom() - window->geometry().bottom());
  if (!frameKnown && window->isWindow() && !(window->windowFlags() & Qt::FramelessWindowHint)) {
    margins = AssumedFrame;
    frame = window->geometry().marginsAdded(margins);
    frame.moveTopLeft(window->pos());
  }
  const QRect placed = FitOnScreens(frame, ScreenAreas());
  if (placed == frame) return;
  const QSize border(margins.left() + margins.right(), margins.top() + margins.bottom());
  if (placed.size() != frame.size()) window->resize((placed.size() - border).expandedTo(QSize(1, 1)));
  window->move(placed.topLeft());
}
}  // namespace

void KeepOnScreen(QWidget* window) {
  if (!window) return;
  Fit(window);
  if (window->isVisible()) return;
  // Once shown, the frame the desktop gave it is known: placed again with it.
  QTimer::singleShot(0, window, [window] {
    if (window->isVisible()) Fit(window);
  });
}

}  // namespace zynta::gui
