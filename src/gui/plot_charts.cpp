#include "gui/plot_charts.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QSvgGenerator>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QLogValueAxis>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include "gui/dispatch.h"

namespace zynta::gui {

namespace {

using platform::CurvePoint;
using platform::PlotData;

const QColor PipeColor(0, 90, 200);
const QColor OperatingColor(220, 30, 30);
const QColor FamilyColor(150, 150, 150);

QLineSeries* Line(const std::vector<CurvePoint>& points, const QString& name, const QPen& pen) {
  auto* series = new QLineSeries();
  series->setName(name);
  series->setPen(pen);
  QList<QPointF> list;
  list.reserve(static_cast<qsizetype>(points.size()));
  for (const CurvePoint& p : points) list.append(QPointF(p.x, p.y));
  series->replace(list);
  return series;
}

// The operating point: a red dot (its values in a box beside it, OperatingLabel).
QScatterSeries* OperatingPoint(CurvePoint at, const QString& text) {
  auto* series = new QScatterSeries();
  series->setName("Operating point: " + text);
  series->setMarkerShape(QScatterSeries::MarkerShapeCircle);
  series->setMarkerSize(13);
  series->setColor(OperatingColor);
  series->setBorderColor(Qt::black);
  series->append(at.x, at.y);
  return series;
}

constexpr int LabelKey = 0;     // the item data that marks the operating point's box
constexpr qreal LabelGap = 10;  // from the point's centre to the box, past the dot

// Whether the segment runs through the rectangle.
bool Crosses(const QRectF& rect, const QLineF& segment) {
  if (rect.contains(segment.p1()) || rect.contains(segment.p2())) return true;
  const QLineF edges[] = {{rect.topLeft(), rect.topRight()},
                          {rect.topRight(), rect.bottomRight()},
                          {rect.bottomRight(), rect.bottomLeft()},
                          {rect.bottomLeft(), rect.topLeft()}};
  for (const QLineF& edge : edges) {
    if (segment.intersects(edge, nullptr) == QLineF::BoundedIntersection) return true;
  }
  return false;
}

// How badly a box there would sit: each line of the chart through it counts, the thin family
// of the Moody diagram far less than the pipe's curve, the laminar line and the guides; a box
// out of the plot area counts most.
double Clash(QChart& chart, const QRectF& box) {
  double clash = chart.plotArea().contains(box) ? 0.0 : 1e6;
  for (QAbstractSeries* series : chart.series()) {
    auto* line = qobject_cast<QLineSeries*>(series);
    if (!line) continue;
    const double weight = line->name().startsWith("Colebrook") ? 1.0 : 100.0;
    const QList<QPointF> points = line->points();
    for (qsizetype i = 1; i < points.size(); ++i) {
      const QPointF a = chart.mapToPosition(points[i - 1], line);
      const QPointF b = chart.mapToPosition(points[i], line);
      if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) || !std::isfinite(b.y()))
        continue;
      if (Crosses(box, QLineF(a, b))) clash += weight;
    }
  }
  return clash;
}

// The box of the operating point's values at a corner of the point (below right first: a
// rising system curve and the guides keep clear of it), where it clashes least with the lines;
// in a small chart it may break its line after the "," and take a smaller font. Placed again
// whenever the plot area changes.
void OperatingLabel(QChart& chart, QScatterSeries* point, CurvePoint at, const QString& text) {
  auto* box = new QGraphicsRectItem(&chart);
  box->setData(LabelKey, QStringLiteral("operating-label"));
  box->setZValue(1000);
  box->setPen(QPen(OperatingColor, 1.0));
  box->setBrush(QColor(255, 255, 255, 235));
  auto* label = new QGraphicsSimpleTextItem(text, box);
  QFont font = label->font();
  font.setBold(true);
  label->setBrush(OperatingColor.darker(130));
  label->setPos(5, 3);
  QString broken = text;
  if (const qsizetype comma = text.indexOf(", "); comma > 0)
    broken = text.left(comma + 1) + "\n" + text.mid(comma + 2);
  auto place = [&chart, box, label, point, at, text, broken, font] {
    const QPointF p = chart.mapToPosition(QPointF(at.x, at.y), point);
    struct Choice {
      QFont font;
      QString lines;
      QRectF rect;
      double clash = std::numeric_limits<double>::infinity();
    } best;
    for (double scale : {1.0, 0.85, 0.7}) {
      QFont shown = font;
      shown.setPointSizeF(font.pointSizeF() * scale);
      for (const QString& lines : {text, broken}) {
        label->setFont(shown);
        label->setText(lines);
        const QSizeF size = label->boundingRect().size() + QSizeF(10, 6);
        const qreal right = p.x() + LabelGap, left = p.x() - LabelGap - size.width();
        const qreal below = p.y() + LabelGap, above = p.y() - LabelGap - size.height();
        for (const QPointF& corner :
             {QPointF(right, below), QPointF(right, above), QPointF(left, below), QPointF(left, above)}) {
          const QRectF candidate(corner, size);
          const double clash = Clash(chart, candidate);
          if (clash < best.clash) best = {shown, lines, candidate, clash};
        }
        if (best.clash == 0.0) break;
      }
      if (best.clash == 0.0) break;
    }
    label->setFont(best.font);
    label->setText(best.lines);
    box->setRect(QRectF(QPointF(0, 0), best.rect.size()));
    box->setPos(best.rect.topLeft());
  };
  QObject::connect(&chart, &QChart::plotAreaChanged, &chart, place);
}

void HideFromLegend(QChart& chart, QAbstractSeries* series) {
  for (QLegendMarker* marker : chart.legend()->markers(series)) marker->setVisible(false);
}

void Attach(QChart& chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
  chart.addSeries(series);
  series->attachAxis(x);
  series->attachAxis(y);
}

// The title in the width the chart has, whole: on one line, else broken after its ":" (and
// then after the first "," of the rest), else in a smaller font, down to 60 %.
void FitTitle(QChart& chart, const QString& title, const QFont& font) {
  const QMarginsF margins = chart.margins();
  const qreal room = chart.size().width() - margins.left() - margins.right() - 24;
  if (room <= 0) return;
  std::vector<QStringList> breaks = {{title}};
  if (const qsizetype colon = title.indexOf(": "); colon > 0) {
    const QString rest = title.mid(colon + 2);
    breaks.push_back({title.left(colon + 1), rest});
    if (const qsizetype comma = rest.indexOf(", "); comma > 0)
      breaks.push_back({title.left(colon + 1), rest.left(comma + 1), rest.mid(comma + 2)});
  }
  auto apply = [&](const QStringList& lines, const QFont& shown) {
    QString text = lines.front();
    if (lines.size() > 1) {
      QStringList escaped;
      for (const QString& line : lines) escaped << line.toHtmlEscaped();
      text = escaped.join("<br>");
    }
    if (chart.title() != text) chart.setTitle(text);
    if (chart.titleFont() != shown) chart.setTitleFont(shown);
  };
  QFont shown = font;
  for (double scale : {1.0, 0.9, 0.8, 0.7, 0.6}) {
    shown.setPointSizeF(font.pointSizeF() * scale);
    const QFontMetricsF metrics(shown);
    for (const QStringList& lines : breaks) {
      qreal widest = 0;
      for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
      if (widest <= room) {
        apply(lines, shown);
        return;
      }
    }
  }
  apply(breaks.back(), shown);
}

std::unique_ptr<QChart> NewChart(const QString& title) {
  auto chart = std::make_unique<QChart>();
  chart->setTitle(title);
  QFont font = chart->titleFont();
  font.setPointSizeF(font.pointSizeF() * 1.15);
  font.setBold(true);
  chart->setTitleFont(font);
  QChart* fitted = chart.get();
  QObject::connect(fitted, &QGraphicsWidget::geometryChanged, fitted,
                   [fitted, title, font] { FitTitle(*fitted, title, font); });
  chart->setBackgroundBrush(Qt::white);
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->legend()->setAlignment(Qt::AlignBottom);
  return chart;
}

}  // namespace

double RoundStep(double span, int ticks) {
  if (!(span > 0.0) || !std::isfinite(span) || ticks < 1) return 1.0;
  const double raw = span / ticks;
  const double decade = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0}) {
    if (m * decade >= raw * (1.0 - 1e-9)) return m * decade;
  }
  return 10.0 * decade;
}

namespace {

// A linear axis from 0 to the first round tick at or above hi (with room above it when
// asked), ticks every 1, 2 or 5 x 10^n, each label with the decimals its step needs.
void RoundAxis(QValueAxis& axis, double hi, double room) {
  if (!(hi > 0.0) || !std::isfinite(hi)) hi = 1.0;
  const double step = RoundStep(hi * room, 8);
  const double top = std::ceil(hi * room / step - 1e-9) * step;
  axis.setRange(0.0, top);
  axis.setTickType(QValueAxis::TicksDynamic);
  axis.setTickAnchor(0.0);
  axis.setTickInterval(step);
  const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
  axis.setLabelFormat(QString("%.%1f").arg(decimals));
}

// Each pump's curve over its range (its operating point or failure in the legend), its
// catalogue points as squares and its operating point as a diamond of its colour.
void AddPumps(QChart& chart, const std::vector<platform::PumpPlot>& pumps, QAbstractAxis* x, QAbstractAxis* y) {
  static const QColor colors[] = {QColor(0, 140, 60), QColor(220, 120, 0), QColor(130, 60, 170)};
  for (size_t i = 0; i < pumps.size(); ++i) {
    const platform::PumpPlot& pump = pumps[i];
    const QColor color = colors[i % std::size(colors)];
    const QString name = QString("Pump %1: ").arg(i + 1) + Q(pump.text);
    auto* curve = Line(pump.curve, name, QPen(color, 2.0));
    Attach(chart, curve, x, y);
    auto* points = new QScatterSeries();
    points->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    points->setMarkerSize(8);
    points->setColor(color);
    points->setBorderColor(color.darker(150));
    for (const CurvePoint& p : pump.points) points->append(p.x, p.y);
    Attach(chart, points, x, y);
    HideFromLegend(chart, points);
    if (!pump.meets) continue;
    auto* duty = new QScatterSeries();
    duty->setMarkerShape(QScatterSeries::MarkerShapeRotatedRectangle);
    duty->setMarkerSize(14);
    duty->setColor(color);
    duty->setBorderColor(Qt::black);
    duty->append(pump.operating.x, pump.operating.y);
    Attach(chart, duty, x, y);
    HideFromLegend(chart, duty);
  }
}

std::unique_ptr<QChart> SystemChart(const PlotData& data) {
  const platform::SystemCurve& curve = data.system;
  auto chart = NewChart("System curve: " + Q(data.equation) + ", " + Q(data.pipeText));

  auto* x = new QValueAxis();
  x->setTitleText("Flow Q (" + Q(curve.xUnit) + ")");
  auto* y = new QValueAxis();
  // With a static head, fittings or pumps the curve is the system's whole head.
  const bool system = !data.systemText.empty();
  y->setTitleText((system ? "Head H (" : "Head loss HL (") + Q(curve.yUnit) + ")");
  double xMax = curve.operating.x;
  double yMax = curve.operating.y;
  auto extend = [&](const std::vector<CurvePoint>& points) {
    for (const CurvePoint& p : points) {
      xMax = std::max(xMax, p.x);
      yMax = std::max(yMax, p.y);
    }
  };
  extend(curve.points);
  for (const platform::PumpPlot& pump : data.pumps) {
    extend(pump.curve);
    extend(pump.points);
  }
  RoundAxis(*x, xMax, 1.0);
  RoundAxis(*y, yMax, 1.02);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);

  const QString name = system ? "System: " + Q(data.systemText) : QString("Head loss of the pipe, 0 to 2 Q");
  Attach(*chart, Line(curve.points, name, QPen(PipeColor, 2.5)), x, y);
  AddPumps(*chart, data.pumps, x, y);

  // Dashed guides from both axes to the operating point.
  QPen guide(OperatingColor, 1.2, Qt::DashLine);
  const CurvePoint op = curve.operating;
  auto* guides = Line({{op.x, 0.0}, op, {0.0, op.y}}, "", guide);
  Attach(*chart, guides, x, y);
  HideFromLegend(*chart, guides);

  auto* point = OperatingPoint(op, Q(data.systemOperatingText));
  Attach(*chart, point, x, y);
  OperatingLabel(*chart, point, op, Q(data.systemOperatingText));
  // With pumps, the legend is theirs: the solved point keeps only its label.
  if (!data.pumps.empty()) HideFromLegend(*chart, point);
  return chart;
}

// "0.001", "5e-05": the relative roughness as a legend or curve label writes it.
QString Roughness(double e) { return e == 0.0 ? QString("0 (smooth)") : QString::number(e, 'g', 3); }

// The curve's point nearest to Re = at (log scale).
const CurvePoint* NearestTo(const std::vector<CurvePoint>& curve, double at) {
  const CurvePoint* best = nullptr;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (const CurvePoint& p : curve) {
    const double d = std::fabs(std::log10(p.x) - std::log10(at));
    if (d < bestDistance) {
      bestDistance = d;
      best = &p;
    }
  }
  return best;
}

std::unique_ptr<QChart> MoodyChart(const PlotData& data) {
  const platform::MoodyDiagram& moody = data.moody;
  auto chart = NewChart("Moody diagram: " + Q(data.equation) + ", " + Q(data.pipeText));

  double xLo = std::numeric_limits<double>::infinity(), xHi = 0.0;
  double yLo = std::numeric_limits<double>::infinity(), yHi = 0.0;
  auto extend = [&](const std::vector<CurvePoint>& points) {
    for (const CurvePoint& p : points) {
      if (!(p.x > 0.0) || !(p.y > 0.0)) continue;
      xLo = std::min(xLo, p.x);
      xHi = std::max(xHi, p.x);
      yLo = std::min(yLo, p.y);
      yHi = std::max(yHi, p.y);
    }
  };
  extend(moody.laminar);
  extend(moody.pipe);
  for (const auto& [e, curve] : moody.roughnessCurves) extend(curve);
  extend({moody.operating});

  auto* x = new QLogValueAxis();
  x->setBase(10.0);
  x->setTitleText("Reynolds number Re = V D / \u03bd");
  x->setLabelFormat("%'.0f");  // 1,000  10,000  100,000
  x->setMinorTickCount(8);
  x->setRange(xLo * 0.8, std::pow(10.0, std::ceil(std::log10(xHi))));
  auto* y = new QLogValueAxis();
  y->setBase(10.0);
  y->setTitleText("Darcy friction factor f (log scale)");
  y->setLabelFormat("%.3g");
  y->setMinorTickCount(8);
  y->setRange(std::min(0.005, yLo * 0.9), std::max(0.12, yHi * 1.1));
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);

  // The family of Colebrook curves (Colebrook 1939, laid out as Moody 1944), thin and grey,
  // each labelled with its e/D at the right; one legend entry for them all.
  bool first = true;
  double lastLabelY = 0.0;
  for (const auto& [e, curve] : moody.roughnessCurves) {
    auto* line = Line(curve, "Colebrook-White, e/D as labelled", QPen(FamilyColor, 1.0));
    Attach(*chart, line, x, y);
    if (!first) HideFromLegend(*chart, line);
    first = false;
    const CurvePoint* at = NearestTo(curve, 4e7);
    // A curve that runs close to the one before at the right gets its label further left.
    const double rightY = at ? at->y : 0.0;
    if (at && lastLabelY > 0.0 && std::fabs(std::log10(rightY) - std::log10(lastLabelY)) < 0.03)
      at = NearestTo(curve, 6e6);
    lastLabelY = rightY;
    if (at) {
      auto* label = new QScatterSeries();
      label->append(at->x, at->y);
      label->setMarkerSize(3);
      label->setColor(FamilyColor);
      label->setBorderColor(FamilyColor);
      label->setPointLabelsVisible(true);
      label->setPointLabelsFormat(Roughness(e));
      label->setPointLabelsColor(FamilyColor.darker(160));
      QFont font = label->pointLabelsFont();
      font.setPointSizeF(font.pointSizeF() * 0.8);
      label->setPointLabelsFont(font);
      label->setPointLabelsClipping(false);
      Attach(*chart, label, x, y);
      HideFromLegend(*chart, label);
    }
  }

  Attach(*chart, Line(moody.laminar, "Laminar, f = 64/Re", QPen(Qt::black, 1.6)), x, y);
  Attach(*chart,
         Line(moody.pipe, "The pipe on screen, e/D " + QString::number(moody.pipeRelativeRoughness, 'g', 3),
              QPen(PipeColor, 2.5)),
         x, y);
  auto* point = OperatingPoint(moody.operating, Q(data.moodyOperatingText));
  Attach(*chart, point, x, y);
  OperatingLabel(*chart, point, moody.operating, Q(data.moodyOperatingText));
  return chart;
}

std::unique_ptr<QChart> NoticeChart(const std::string& notice) {
  auto chart = NewChart(Q(notice));
  chart->legend()->setVisible(false);
  return chart;
}

// The chart on a scene of its own at the picture's size, laid out; then painted.
template <class Paint>
void RenderChart(QChart& chart, QSize size, Paint&& paint) {
  QGraphicsScene scene;
  LayOutChart(chart, scene, size);
  paint(scene);
  scene.removeItem(&chart);
}

}  // namespace

QRectF OperatingLabelRect(const QChart& chart) {
  for (QGraphicsItem* item : chart.childItems()) {
    if (item->data(LabelKey).toString() == "operating-label") return item->mapRectToParent(item->boundingRect());
  }
  return {};
}

void LayOutChart(QChart& chart, QGraphicsScene& scene, QSize size) {
  if (chart.scene() != &scene) scene.addItem(&chart);
  chart.setGeometry(QRectF(QPointF(0, 0), size));
  scene.setSceneRect(QRectF(QPointF(0, 0), size));
  // Qt Charts lays out on posted events.
  QApplication::processEvents();
  QApplication::processEvents();
}

bool HasPlot(const PlotData& data, PlotKind kind) {
  if (!data.ok) return false;
  return kind == PlotKind::System ? data.system.ok : data.moody.ok;
}

std::unique_ptr<QChart> BuildChart(const PlotData& data, PlotKind kind) {
  if (!data.ok) return NoticeChart(data.notice);
  if (kind == PlotKind::System) return data.system.ok ? SystemChart(data) : NoticeChart(data.notice);
  return data.moody.ok ? MoodyChart(data) : NoticeChart(data.moodyNotice);
}

QString PictureFile(const QString& prefix, PlotKind kind, PictureFormat format) {
  return prefix + (kind == PlotKind::System ? "-system" : "-moody") +
         (format == PictureFormat::Png ? ".png" : ".svg");
}

QImage RenderPicture(const PlotData& data, PlotKind kind, QPointF* operating) {
  const std::unique_ptr<QChart> chart = BuildChart(data, kind);
  const QSize size = PictureSize;
  QImage image(size, QImage::Format_ARGB32);
  image.fill(Qt::white);
  if (operating) *operating = QPointF(-1, -1);
  RenderChart(*chart, size, [&](QGraphicsScene& scene) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    scene.render(&painter, QRectF(QPointF(0, 0), size), scene.sceneRect());
    if (operating && HasPlot(data, kind) && !chart->series().isEmpty()) {
      const CurvePoint op = kind == PlotKind::System ? data.system.operating : data.moody.operating;
      // The operating point is the last series of either chart.
      *operating = chart->mapToPosition(QPointF(op.x, op.y), chart->series().last()) + chart->pos();
    }
  });
  return image;
}

bool WritePicture(const PlotData& data, PlotKind kind, PictureFormat format, const QString& file,
                  std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  if (format == PictureFormat::Png) {
    if (!RenderPicture(data, kind).save(file, "PNG")) return fail("cannot write " + file.toStdString());
    return true;
  }
  const std::unique_ptr<QChart> chart = BuildChart(data, kind);
  const QSize size = PictureSize;
  // QSvgGenerator reports no write error of its own: the file must open first.
  {
    QFile probe(file);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate)) return fail("cannot write " + file.toStdString());
  }
  QSvgGenerator svg;
  svg.setFileName(file);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setTitle(chart->title());
  svg.setDescription("ZYNTA " + QString(kind == PlotKind::System ? "system curve" : "Moody diagram"));
  bool painted = false;
  RenderChart(*chart, size, [&](QGraphicsScene& scene) {
    QPainter painter;
    if (!painter.begin(&svg)) return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    scene.render(&painter, QRectF(QPointF(0, 0), size), scene.sceneRect());
    painted = painter.end();
  });
  if (!painted || QFileInfo(file).size() == 0) return fail("cannot write " + file.toStdString());
  return true;
}

}  // namespace zynta::gui
