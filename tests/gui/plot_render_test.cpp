// The plot window's two pictures, rendered offscreen from what Tools, "Plot..." hands the
// plot window for problems solved on the headless calculator: the charts' axes and units, the
// operating point where it belongs on the picture, the PNG and SVG files. The pictures of the
// Darcy-Weisbach worked example are kept as build/screenshots/plot-system.png and
// plot-moody.png.
#include <cmath>

#include <QDir>
#include <QFile>
#include <QGraphicsTextItem>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtCharts/QLineSeries>
#include <QtCharts/QLogValueAxis>
#include <QtCharts/QValueAxis>
#include <QtTest>

#include "calc/params.h"
#include "cli/headless_calculator.h"
#include "gui/plot_charts.h"
#include "shell/plot_curves.h"

using namespace zynta;
using namespace zynta::gui;

namespace {

// The Darcy-Weisbach worked example of zynta-cli(1): 2.067 in, 100 ft, E 0.00015 ft, 1.13 cSt,
// 100 gpm; HL 17.43 ftliq, Re 135400, f 0.021.
platform::PlotData SolvedDarcyExample() {
  cli::HeadlessCalculator calc;
  calc.PickEquation("Darcy-Weisbach");
  for (auto [index, unit, value] : {std::tuple{calc::IDia, "in", "2.067"}, std::tuple{calc::Len, "ft", "100"},
                                    std::tuple{calc::Fric, "ft", "0.00015"}, std::tuple{calc::Vis, "cSt", "1.13"},
                                    std::tuple{calc::Flow, "gpm", "100"}}) {
    if (!calc.SetUnit(index, unit)) throw std::runtime_error(std::string("no unit ") + unit);
    if (calc.Enter(index, value) != cli::HeadlessCalculator::Entry::Done) throw std::runtime_error(value);
  }
  calc.Solve();
  if (!calc.Solved()) throw std::runtime_error(calc.Status());
  return calc.Plot();
}

bool Reddish(QColor c) { return c.red() > 170 && c.green() < 90 && c.blue() < 90; }

// Whether the picture shows the operating point's red dot at that place.
bool RedDotAt(const QImage& image, QPointF at) {
  const QPoint p = at.toPoint();
  if (!image.rect().contains(p)) return false;
  int red = 0;
  for (int dx = -2; dx <= 2; ++dx)
    for (int dy = -2; dy <= 2; ++dy)
      if (image.rect().contains(p + QPoint(dx, dy)) && Reddish(image.pixelColor(p + QPoint(dx, dy)))) ++red;
  return red >= 20;  // of 25: the dot is 13 px across
}

QAbstractAxis* AxisOf(QChart& chart, Qt::Orientation orientation) {
  const auto axes = chart.axes(orientation);
  return axes.isEmpty() ? nullptr : axes.first();
}

// A chart laid out at a size, taken off its scene again when it goes.
struct LaidOut {
  std::unique_ptr<QChart> chart;
  QGraphicsScene scene;
  LaidOut(const platform::PlotData& data, PlotKind kind, QSize size) : chart(BuildChart(data, kind)) {
    LayOutChart(*chart, scene, size);
  }
  ~LaidOut() { scene.removeItem(chart.get()); }
  LaidOut(const LaidOut&) = delete;
  LaidOut& operator=(const LaidOut&) = delete;
};

// The segments of a line of the chart that run through the rectangle.
int Crossings(QChart& chart, QLineSeries& line, const QRectF& rect) {
  int crossings = 0;
  const QList<QPointF> points = line.points();
  for (qsizetype i = 1; i < points.size(); ++i) {
    const QPointF a = chart.mapToPosition(points[i - 1], &line), b = chart.mapToPosition(points[i], &line);
    // Sampled: a segment is a few pixels long.
    for (int k = 0; k <= 10; ++k) {
      if (rect.contains(a + (b - a) * (k / 10.0))) {
        ++crossings;
        break;
      }
    }
  }
  return crossings;
}

// The text items a chart holds, its own title among them.
QStringList TextsOf(const QGraphicsItem& item) {
  QStringList out;
  for (const QGraphicsItem* child : item.childItems()) {
    if (const auto* text = dynamic_cast<const QGraphicsTextItem*>(child)) out << text->toPlainText();
    out << TextsOf(*child);
  }
  return out;
}

QString SvgRoot(const QString& file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return "unreadable";
  QXmlStreamReader xml(&f);
  QString root;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && root.isEmpty()) root = xml.name().toString();
  }
  if (xml.hasError()) return "XML error: " + xml.errorString();
  return root;
}

}  // namespace

class PlotRenderTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void systemCurvePicture();
  void moodyDiagramPicture();
  void svgPictures();
  void otherEquationsHaveNoMoodyDiagram();
  void nothingSolvedShowsTheNotice();
  void roundSteps();
  void ticksAtRoundNumbersInEveryUnit();
  void logAxisLabelsReadAsNumbers();
  void operatingLabelKeepsOffTheLines();
  void titleIsWholeInTheSmallestWindow();
  void twoPumpsOnTheSystemCurve();

 private:
  // The picture written for people to look at (build/screenshots) shows the operating point.
  void ScreenshotShowsThePoint(PlotKind kind, const QString& name, QPointF op);

  platform::PlotData darcy_;
  QTemporaryDir temp_;
};

void PlotRenderTest::ScreenshotShowsThePoint(PlotKind kind, const QString& name, QPointF op) {
  const QString file = QString(ZYNTA_SCREENSHOT_DIR) + "/" + name;
  QFile::remove(file);
  QVERIFY(WritePicture(darcy_, kind, PictureFormat::Png, file));
  const QImage written(file);
  QCOMPARE(written.size(), PictureSize);
  QVERIFY(RedDotAt(written, op));
}

void PlotRenderTest::initTestCase() {
  QVERIFY(temp_.isValid());
  darcy_ = SolvedDarcyExample();
  QVERIFY2(darcy_.ok, darcy_.notice.c_str());
  QVERIFY(darcy_.moody.ok);
  QCOMPARE(darcy_.systemOperatingText, std::string("Q 100.00 gpm, HL 17.43 ftliq"));
  QCOMPARE(darcy_.moodyOperatingText, std::string("Re 135400, f 0.021"));
  QVERIFY(QDir().mkpath(ZYNTA_SCREENSHOT_DIR));
}

void PlotRenderTest::systemCurvePicture() {
  const std::unique_ptr<QChart> chart = BuildChart(darcy_, PlotKind::System);
  auto* x = qobject_cast<QValueAxis*>(AxisOf(*chart, Qt::Horizontal));
  auto* y = qobject_cast<QValueAxis*>(AxisOf(*chart, Qt::Vertical));
  QVERIFY(x && y);
  QCOMPARE(x->titleText(), QString("Flow Q (gpm)"));
  QCOMPARE(y->titleText(), QString("Head loss HL (ftliq)"));
  QCOMPARE(x->min(), 0.0);
  QCOMPARE(x->max(), 200.0);  // twice the solved flow
  QCOMPARE(y->min(), 0.0);
  QVERIFY(y->max() >= darcy_.system.points.back().y);
  QVERIFY(chart->title().contains("Darcy-Weisbach"));
  QVERIFY(chart->title().contains("D 2.067 in"));
  // The curve drawn is the headless function's, point for point.
  auto* curve = qobject_cast<QLineSeries*>(chart->series().first());
  QVERIFY(curve);
  QCOMPARE(curve->count(), static_cast<int>(darcy_.system.points.size()));
  for (int i = 0; i < curve->count(); ++i) {
    QCOMPARE(curve->at(i).x(), darcy_.system.points[static_cast<size_t>(i)].x);
    QCOMPARE(curve->at(i).y(), darcy_.system.points[static_cast<size_t>(i)].y);
  }

  QPointF op;
  const QImage image = RenderPicture(darcy_, PlotKind::System, &op);
  QCOMPARE(image.size(), PictureSize);
  // Q = 100 gpm is half way along the flow axis.
  QVERIFY2(op.x() > 0.35 * image.width() && op.x() < 0.65 * image.width(), qPrintable(QString::number(op.x())));
  QVERIFY2(RedDotAt(image, op), qPrintable(QString("no red dot at %1,%2").arg(op.x()).arg(op.y())));
  QVERIFY(!RedDotAt(image, QPointF(5, 5)));  // the check can fail

  ScreenshotShowsThePoint(PlotKind::System, "plot-system.png", op);
}

void PlotRenderTest::moodyDiagramPicture() {
  const std::unique_ptr<QChart> chart = BuildChart(darcy_, PlotKind::Moody);
  auto* x = qobject_cast<QLogValueAxis*>(AxisOf(*chart, Qt::Horizontal));
  auto* y = qobject_cast<QLogValueAxis*>(AxisOf(*chart, Qt::Vertical));
  QVERIFY2(x && y, "both axes logarithmic");
  QCOMPARE(x->base(), 10.0);
  QVERIFY(x->titleText().startsWith("Reynolds number"));
  QVERIFY(y->titleText().startsWith("Darcy friction factor"));
  QVERIFY(x->min() <= shell::MoodyLaminarFrom && x->max() >= shell::MoodyReynoldsTo);
  QVERIFY(y->min() < 0.01 && y->max() > 0.1);
  // Every curve of the diagram is drawn: the roughness family, the laminar line, the pipe's.
  int lines = 0;
  bool laminar = false, pipe = false;
  for (QAbstractSeries* s : chart->series()) {
    if (s->type() != QAbstractSeries::SeriesTypeLine) continue;
    ++lines;
    laminar = laminar || s->name() == "Laminar, f = 64/Re";
    pipe = pipe || s->name().startsWith("The pipe on screen, e/D 0.00087");
  }
  QCOMPARE(lines, static_cast<int>(shell::MoodyRoughnesses.size()) + 2);
  QVERIFY(laminar);
  QVERIFY(pipe);

  QPointF op;
  const QImage image = RenderPicture(darcy_, PlotKind::Moody, &op);
  // Re 135400 lies a little past the middle of the log axis (480 to 1e8): log-scaled.
  const double fraction =
      (std::log10(135400.0) - std::log10(x->min())) / (std::log10(x->max()) - std::log10(x->min()));
  QVERIFY(fraction > 0.4 && fraction < 0.6);
  QVERIFY2(RedDotAt(image, op), qPrintable(QString("no red dot at %1,%2").arg(op.x()).arg(op.y())));

  ScreenshotShowsThePoint(PlotKind::Moody, "plot-moody.png", op);
}

void PlotRenderTest::svgPictures() {
  for (PlotKind kind : {PlotKind::System, PlotKind::Moody}) {
    const QString file = PictureFile(temp_.path() + "/pipe", kind, PictureFormat::Svg);
    QVERIFY(file.endsWith(kind == PlotKind::System ? "pipe-system.svg" : "pipe-moody.svg"));
    std::string error;
    QVERIFY2(WritePicture(darcy_, kind, PictureFormat::Svg, file, &error), error.c_str());
    QCOMPARE(SvgRoot(file), QString("svg"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    QVERIFY(text.contains(kind == PlotKind::System ? "Head loss HL (ftliq)" : "Reynolds number"));
  }
  std::string error;
  QVERIFY(!WritePicture(darcy_, PlotKind::System, PictureFormat::Svg, temp_.path() + "/no/such/dir.svg", &error));
  QVERIFY(error.find("cannot write") != std::string::npos);
  QVERIFY(!WritePicture(darcy_, PlotKind::System, PictureFormat::Png, temp_.path() + "/no/such/dir.png", &error));
}

void PlotRenderTest::otherEquationsHaveNoMoodyDiagram() {
  cli::HeadlessCalculator calc;  // the first-run example: Hazen-Williams
  calc.Solve();
  QVERIFY(calc.Solved());
  const platform::PlotData hw = calc.Plot();
  QVERIFY(hw.ok);
  QVERIFY(HasPlot(hw, PlotKind::System));
  QVERIFY(!HasPlot(hw, PlotKind::Moody));
  const std::unique_ptr<QChart> moody = BuildChart(hw, PlotKind::Moody);
  QVERIFY(moody->series().isEmpty());
  QCOMPARE(moody->title(), QString(shell::MoodyDarcyOnly));
  QPointF op;
  RenderPicture(hw, PlotKind::System, &op);
  QVERIFY(op.x() >= 0);
}

void PlotRenderTest::nothingSolvedShowsTheNotice() {
  cli::HeadlessCalculator calc;
  const platform::PlotData none = calc.Plot();
  QVERIFY(!none.ok);
  QCOMPARE(none.notice, std::string("Solve first"));
  for (PlotKind kind : {PlotKind::System, PlotKind::Moody}) {
    QVERIFY(!HasPlot(none, kind));
    const std::unique_ptr<QChart> chart = BuildChart(none, kind);
    QVERIFY(chart->series().isEmpty());
    QCOMPARE(chart->title(), QString("Solve first"));
    QPointF op;
    const QImage image = RenderPicture(none, kind, &op);
    QCOMPARE(op, QPointF(-1, -1));
    QCOMPARE(image.size(), PictureSize);
  }
}

namespace {
// Whether v is 1, 2 or 5 times a power of ten.
bool Round125(double v) {
  const double decade = std::pow(10.0, std::floor(std::log10(v) + 1e-9));
  const double m = v / decade;
  return std::fabs(m - 1.0) < 1e-9 || std::fabs(m - 2.0) < 1e-9 || std::fabs(m - 5.0) < 1e-9;
}
}  // namespace

void PlotRenderTest::roundSteps() {
  struct Case {
    double span;
    int ticks;
    double step;
  };
  for (const Case c : {Case{200.0, 8, 50.0}, Case{0.4456, 8, 0.1}, Case{17.8, 8, 5.0}, Case{1.0, 10, 0.1},
                       Case{0.0123, 8, 0.002}, Case{45000.0, 8, 10000.0}, Case{7.0, 8, 1.0}, Case{0.0, 8, 1.0}}) {
    QCOMPARE(RoundStep(c.span, c.ticks), c.step);
  }
}

// The system curve's axes tick at 1, 2 or 5 x 10^n, from 0 to a tick past the curve, whatever
// the units (cfs gave ticks at 0.04451, 0.08902, ...).
void PlotRenderTest::ticksAtRoundNumbersInEveryUnit() {
  for (auto [flow, head] : {std::pair{"cfs", "ftliq"}, std::pair{"gpm", "psi"}, std::pair{"L/s", "kPa"},
                            std::pair{"m3/h", "mtrliq"}, std::pair{"MGD", "bar"}}) {
    cli::HeadlessCalculator calc;  // the first-run example: Hazen-Williams
    QVERIFY(calc.SetUnit(calc::Flow, flow));
    QVERIFY(calc.SetUnit(calc::HL, head));
    calc.Solve();
    QVERIFY2(calc.Solved(), calc.Status().c_str());
    const platform::PlotData data = calc.Plot();
    const std::unique_ptr<QChart> chart = BuildChart(data, PlotKind::System);
    for (Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
      auto* axis = qobject_cast<QValueAxis*>(AxisOf(*chart, o));
      QVERIFY(axis);
      const QString what =
          QString("%1 %2: step %3, to %4").arg(flow, head).arg(axis->tickInterval()).arg(axis->max());
      QCOMPARE(axis->tickType(), QValueAxis::TicksDynamic);
      QCOMPARE(axis->min(), 0.0);
      QVERIFY2(Round125(axis->tickInterval()), qPrintable(what));
      const double ticks = axis->max() / axis->tickInterval();
      QVERIFY2(std::fabs(ticks - std::round(ticks)) < 1e-6 && ticks <= 10.5, qPrintable(what));
      const double last = o == Qt::Horizontal ? data.system.points.back().x : data.system.points.back().y;
      QVERIFY2(axis->max() >= last, qPrintable(what));
      // The labels show the step's digits, no more: 0.1 as "0.1", 50 as "50".
      const QString label = QString::asprintf(axis->labelFormat().toLatin1().constData(), axis->tickInterval());
      QCOMPARE(label.toDouble(), axis->tickInterval());
    }
  }
}

// The Moody diagram's Reynolds axis reads 1,000  10,000 ..., not 1e+03.
void PlotRenderTest::logAxisLabelsReadAsNumbers() {
  const std::unique_ptr<QChart> chart = BuildChart(darcy_, PlotKind::Moody);
  auto* x = qobject_cast<QLogValueAxis*>(AxisOf(*chart, Qt::Horizontal));
  auto* y = qobject_cast<QLogValueAxis*>(AxisOf(*chart, Qt::Vertical));
  QVERIFY(x && y);
  const QByteArray fx = x->labelFormat().toLatin1(), fy = y->labelFormat().toLatin1();
  QCOMPARE(QString::asprintf(fx.constData(), 1000.0), QString("1,000"));
  QCOMPARE(QString::asprintf(fx.constData(), 1e7), QString("10,000,000"));
  QCOMPARE(QString::asprintf(fy.constData(), 0.01), QString("0.01"));
  QCOMPARE(QString::asprintf(fy.constData(), 0.1), QString("0.1"));
}

// The box of the operating point's values sits in the plot area beside the dot, and no line
// but the thin Colebrook family runs through it, in the picture and in a small window.
void PlotRenderTest::operatingLabelKeepsOffTheLines() {
  for (PlotKind kind : {PlotKind::System, PlotKind::Moody}) {
    for (QSize size : {PictureSize, QSize(440, 300)}) {
      LaidOut laid(darcy_, kind, size);
      QChart& chart = *laid.chart;
      const QRectF box = OperatingLabelRect(chart);
      const QString where = QString("%1 at %2x%3").arg(int(kind)).arg(size.width()).arg(size.height());
      QVERIFY2(!box.isEmpty(), qPrintable(where));
      QVERIFY2(chart.plotArea().contains(box), qPrintable(where));
      const platform::CurvePoint op = kind == PlotKind::System ? darcy_.system.operating : darcy_.moody.operating;
      const QPointF dot = chart.mapToPosition(QPointF(op.x, op.y), chart.series().last());
      QVERIFY2(!box.contains(dot), qPrintable(where));
      QVERIFY2(QLineF(dot, box.center()).length() < 0.5 * size.width(), qPrintable(where));  // beside it
      for (QAbstractSeries* series : chart.series()) {
        auto* line = qobject_cast<QLineSeries*>(series);
        if (!line || line->name().startsWith("Colebrook")) continue;
        QVERIFY2(Crossings(chart, *line, box) == 0, qPrintable(where + ": " + line->name()));
      }
    }
  }
}

// The title of either plot is whole (nothing cut off with "...") in the plot window at its
// smallest, broken over lines or in a smaller font; a picture's title stays one line.
void PlotRenderTest::titleIsWholeInTheSmallestWindow() {
  for (PlotKind kind : {PlotKind::System, PlotKind::Moody}) {
    const QString full = BuildChart(darcy_, kind)->title();
    {
      LaidOut wide(darcy_, kind, PictureSize);
      QCOMPARE(wide.chart->title(), full);
    }
    LaidOut narrow(darcy_, kind, QSize(380, 300));
    QString shown;
    for (const QString& text : TextsOf(*narrow.chart)) {
      if (text.startsWith(kind == PlotKind::System ? "System curve" : "Moody diagram")) shown = text;
    }
    QVERIFY2(!shown.isEmpty(), qPrintable(TextsOf(*narrow.chart).join(" | ")));
    QVERIFY2(!shown.contains("..."), qPrintable(shown));
    QCOMPARE(shown.simplified().remove(' '), full.simplified().remove(' '));
    // For people to look at: build/screenshots/plot-system-small.png, plot-moody-small.png.
    QImage image(QSize(380, 300), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    narrow.scene.render(&painter, QRectF(QPointF(0, 0), image.size()), narrow.scene.sceneRect());
    painter.end();
    QVERIFY(image.save(QString(ZYNTA_SCREENSHOT_DIR) +
                       (kind == PlotKind::System ? "/plot-system-small.png" : "/plot-moody-small.png")));
  }
}

// The Darcy-Weisbach example with a 20 ft lift, K = 3 and two pumps: the system curve starts
// at the lift, each pump's curve and points are drawn in the pump's colour with its operating
// point on the system curve, the axes reach the pumps, the legend names them. Kept as
// build/screenshots/plot-pumps.png.
void PlotRenderTest::twoPumpsOnTheSystemCurve() {
  cli::HeadlessCalculator calc;
  calc.PickEquation("Darcy-Weisbach");
  calc.Solve();
  QVERIFY(calc.Solved());
  calc.Form().Pumps.staticHeadFt = 20.0;
  calc.Form().Pumps.sumK = 3.0;
  calc.Form().Pumps.pumps = {{{0, 120}, {100, 110}, {200, 80}, {300, 30}}, {{0, 90}, {250, 40}}};
  const platform::PlotData data = calc.Plot();
  QVERIFY(data.ok);
  QCOMPARE(data.pumps.size(), size_t{2});
  QVERIFY(data.pumps[0].meets && data.pumps[1].meets);
  const std::unique_ptr<QChart> chart = BuildChart(data, PlotKind::System);
  auto* x = qobject_cast<QValueAxis*>(AxisOf(*chart, Qt::Horizontal));
  auto* y = qobject_cast<QValueAxis*>(AxisOf(*chart, Qt::Vertical));
  QVERIFY(x && y);
  QCOMPARE(y->titleText(), QString("Head H (ftliq)"));
  QVERIFY(x->max() >= 300.0);  // the first pump's last flow
  QVERIFY(y->max() >= 120.0);  // its shut-off head
  QStringList names;
  for (QAbstractSeries* s : chart->series()) names << s->name();
  QVERIFY2(names.contains("System: static 20 ftliq, sum of K 3"), qPrintable(names.join(" | ")));
  QVERIFY2(names.contains(QString("Pump 1: ") + data.pumps[0].text.c_str()), qPrintable(names.join(" | ")));
  QVERIFY2(names.contains(QString("Pump 2: ") + data.pumps[1].text.c_str()), qPrintable(names.join(" | ")));
  auto* system = qobject_cast<QLineSeries*>(chart->series().first());
  QVERIFY(system);
  QCOMPARE(system->at(0).y(), 20.0);
  // Each pump's diamond is drawn in its colour where the chart puts its operating point.
  const QImage image = RenderPicture(data, PlotKind::System);
  for (const auto& pump : data.pumps) {
    const QPointF at = chart->mapToPosition(QPointF(pump.operating.x, pump.operating.y), system);
    QVERIFY(image.rect().contains(at.toPoint()));
  }
  const QString file = QString(ZYNTA_SCREENSHOT_DIR) + "/plot-pumps.png";
  QVERIFY(WritePicture(data, PlotKind::System, PictureFormat::Png, file));
}

QTEST_MAIN(PlotRenderTest)
#include "plot_render_test.moc"
