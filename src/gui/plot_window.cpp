#include "gui/plot_window.h"

#include <algorithm>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtCharts/QChartView>

#include "gui/dispatch.h"
#include "gui/screen_fit.h"
#include "settings/ini_file.h"

namespace zynta::gui {

PlotWindow::PlotWindow() {
  setObjectName("ZyntaPlot");
  setWindowTitle("ZYNTA Plots");
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("plot.tabs");
  for (PlotKind kind : {PlotKind::System, PlotKind::Moody}) {
    Page& page = pages_[static_cast<int>(kind)];
    page.stack = new QStackedWidget(tabs_);
    page.view = new QChartView(page.stack);
    page.view->setObjectName(kind == PlotKind::System ? "plot.system" : "plot.moody");
    page.view->setRenderHint(QPainter::Antialiasing);
    page.notice = new QLabel(page.stack);
    page.notice->setObjectName(kind == PlotKind::System ? "plot.systemNotice" : "plot.moodyNotice");
    page.notice->setAlignment(Qt::AlignCenter);
    page.notice->setTextFormat(Qt::PlainText);
    page.notice->setWordWrap(true);
    QFont font = page.notice->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    page.notice->setFont(font);
    page.stack->addWidget(page.view);
    page.stack->addWidget(page.notice);
    tabs_->addTab(page.stack, kind == PlotKind::System ? "System curve" : "Moody diagram");
  }
  pumps_ = new PumpPanelWidget(this);
  auto* body = new QHBoxLayout();
  body->addWidget(tabs_, 1);
  body->addWidget(pumps_);
  layout->addLayout(body);
  auto* buttons = new QHBoxLayout();
  png_ = new QPushButton("Export &PNG...", this);
  png_->setObjectName("plot.exportPng");
  svg_ = new QPushButton("Export S&VG...", this);
  svg_->setObjectName("plot.exportSvg");
  auto* close = new QPushButton("&Close", this);
  close->setObjectName("plot.close");
  buttons->addWidget(png_);
  buttons->addWidget(svg_);
  buttons->addStretch();
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(png_, &QPushButton::clicked, this, [this] { ExportAsked(PictureFormat::Png); });
  connect(svg_, &QPushButton::clicked, this, [this] { ExportAsked(PictureFormat::Svg); });
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &QWidget::close);
  exportFolder_ = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (exportFolder_.isEmpty() || !QDir(exportFolder_).exists()) exportFolder_ = QDir::homePath();
  connect(tabs_, &QTabWidget::currentChanged, this, [this] {
    const bool has = HasPlot(data_, Shown());
    png_->setEnabled(has);
    svg_->setEnabled(has);
  });
  resize(PictureSize + QSize(40 + 270, 90));
  setMinimumSize(480, 400);  // the plots' titles and labels still whole (plot_charts)
  platform::PlotData nothing;
  nothing.notice = "Solve first";
  SetData(nothing);
}

PlotWindow::~PlotWindow() = default;

void PlotWindow::Fill(Page& page, PlotKind kind) {
  QChart* old = page.view->chart();
  page.view->setChart(BuildChart(data_, kind).release());
  delete old;  // the view gives up the old chart without deleting it
  if (HasPlot(data_, kind)) {
    page.notice->clear();
    page.stack->setCurrentWidget(page.view);
  } else {
    page.notice->setText(Q(data_.ok ? data_.moodyNotice : data_.notice));
    page.stack->setCurrentWidget(page.notice);
  }
}

void PlotWindow::SetData(const platform::PlotData& data) {
  data_ = data;
  pumps_->SetData(data);
  for (PlotKind kind : {PlotKind::System, PlotKind::Moody}) Fill(pages_[static_cast<int>(kind)], kind);
  const bool has = HasPlot(data_, Shown());
  png_->setEnabled(has);
  svg_->setEnabled(has);
}

PlotKind PlotWindow::Shown() const { return tabs_->currentIndex() == 1 ? PlotKind::Moody : PlotKind::System; }
void PlotWindow::ShowTab(PlotKind kind) { tabs_->setCurrentIndex(static_cast<int>(kind)); }
QChartView* PlotWindow::View(PlotKind kind) const { return pages_[static_cast<int>(kind)].view; }

QString PlotWindow::Notice(PlotKind kind) const {
  const Page& page = pages_[static_cast<int>(kind)];
  return page.stack->currentWidget() == page.notice ? page.notice->text() : QString();
}

bool PlotWindow::Export(PlotKind kind, PictureFormat format, const QString& file, std::string* error) {
  if (!HasPlot(data_, kind)) {
    if (error) *error = "nothing to plot";
    return false;
  }
  return WritePicture(data_, kind, format, file, error);
}

void PlotWindow::ExportAsked(PictureFormat format) {
  const PlotKind kind = Shown();
  const bool png = format == PictureFormat::Png;
  const QString suggested = QDir(exportFolder_).filePath(PictureFile("zynta", kind, format));
  const QString file = QFileDialog::getSaveFileName(this, png ? "Export PNG" : "Export SVG", suggested,
                                                    png ? "PNG pictures (*.png)" : "SVG pictures (*.svg)");
  if (file.isEmpty()) return;
  exportFolder_ = QFileInfo(file).absolutePath();
  std::string error;
  if (Export(kind, format, file, &error)) return;
  // The reason may hold the file's name: plain text, never markup.
  QMessageBox box(QMessageBox::Warning, "ZYNTA", Q("Export failed: " + error), QMessageBox::Ok, this);
  box.setObjectName("ZyntaExportFailed");
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void PlotWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (OnHidden && !event->spontaneous()) OnHidden();
}

namespace {
constexpr const char* PlotSection = "PlotWindow";
}  // namespace

QtPlotViewer::~QtPlotViewer() { delete window_; }

// Where it was: shown, the window is then kept on the screens there are now (KeepOnScreen).
void QtPlotViewer::RestorePlace() {
  if (settingsFile_.empty()) return;
  const settings::IniFile ini(settingsFile_);
  if (!ini.SectionExists(PlotSection)) return;
  const QSize least = window_->minimumSizeHint();
  const int width = ini.ReadInteger(PlotSection, "Width", window_->width());
  const int height = ini.ReadInteger(PlotSection, "Height", window_->height());
  window_->resize(std::max(width, least.width()), std::max(height, least.height()));
  window_->move(ini.ReadInteger(PlotSection, "Left", window_->x()),
                ini.ReadInteger(PlotSection, "Top", window_->y()));
}

// A file that cannot be written keeps its last place: the calculator's own save at the end
// reports the file.
void QtPlotViewer::SavePlace() {
  if (settingsFile_.empty() || !window_) return;
  const QPoint at = window_->pos();
  const QSize size = window_->size();
  try {
    settings::IniFile(settingsFile_).Update([&](settings::IniDocument& doc) {
      doc.SetInteger(PlotSection, "Top", at.y());
      doc.SetInteger(PlotSection, "Left", at.x());
      doc.SetInteger(PlotSection, "Width", size.width());
      doc.SetInteger(PlotSection, "Height", size.height());
    });
  } catch (const settings::IniWriteError&) {
  }
}

void QtPlotViewer::Show(const platform::PlotData& data) {
  if (!window_) {
    window_ = new PlotWindow();
    window_->setWindowIcon(icon_);
    window_->OnHidden = [this] { SavePlace(); };
    window_->Pumps()->OnChanged = [this](const platform::PumpInput& input) {
      if (OnPumpsChanged) OnPumpsChanged(input);
    };
    RestorePlace();
  }
  window_->SetData(data);
  Request([&] {
    if (!window_->isVisible()) KeepOnScreen(window_);
    window_->show();
    window_->raise();
    window_->activateWindow();
  });
}

void QtPlotViewer::Update(const platform::PlotData& data) {
  if (window_ && window_->isVisible()) window_->SetData(data);
}

bool QtPlotViewer::Open() const { return window_ && window_->isVisible(); }

void QtPlotViewer::CloseAll() {
  if (window_) Request([&] { window_->close(); });
}

}  // namespace zynta::gui
