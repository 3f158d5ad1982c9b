#pragma once
// The two plots of the pipe on screen as Qt Charts, and their pictures: the one place where
// plot data (platform/plot_data.h, computed by shell/plot_curves) becomes a chart. The plot
// window shows these charts and exports through WritePicture; zynta-cli plot writes the same
// pictures offscreen.
//
// Qt Charts draws on a QGraphicsScene: a QApplication must exist (any platform, offscreen too).

#include <memory>
#include <string>

#include <QGraphicsScene>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QtCharts/QChart>

#include "platform/plot_data.h"

namespace zynta::gui {

enum class PlotKind { System, Moody };
enum class PictureFormat { Png, Svg };

// The size of an exported picture, in pixels (PNG) or SVG user units.
inline constexpr QSize PictureSize{900, 620};

// The system curve (head loss against flow, linear axes titled with the window's units) or
// the Moody diagram (friction factor against Reynolds number, both axes logarithmic), with the
// operating point marked and labelled. Without anything to plot (the data not ok, or no
// Moody diagram for the equation) the chart holds no series and its title is the notice.
std::unique_ptr<QChart> BuildChart(const platform::PlotData& data, PlotKind kind);

// Where the box of the operating point's values lies on a laid-out chart, in the chart's
// coordinates (empty for a chart without one).
QRectF OperatingLabelRect(const QChart& chart);

// Puts the chart on the scene at that size and lets Qt Charts lay it out (the caller takes it
// off the scene again before either goes).
void LayOutChart(QChart& chart, QGraphicsScene& scene, QSize size);

// Whether the data has that plot (otherwise its chart is only the notice).
bool HasPlot(const platform::PlotData& data, PlotKind kind);

// A fresh chart of the data painted on a white picture of PictureSize; *operating (when
// given) receives where the operating point lies on it, in pixels (nothing to plot: (-1, -1)).
QImage RenderPicture(const platform::PlotData& data, PlotKind kind, QPointF* operating = nullptr);

// Renders a fresh chart of the data to a file, white background, at PictureSize. False (with
// the reason in *error when given) when the file cannot be written.
bool WritePicture(const platform::PlotData& data, PlotKind kind, PictureFormat format, const QString& file,
                  std::string* error = nullptr);

// The round step (1, 2 or 5 x 10^n) that cuts a span into at most that many ticks.
double RoundStep(double span, int ticks);

// "PREFIX-system.png", "PREFIX-moody.svg".
QString PictureFile(const QString& prefix, PlotKind kind, PictureFormat format);

}  // namespace zynta::gui
