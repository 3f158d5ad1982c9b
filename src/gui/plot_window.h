#pragma once
// The plot window: the system curve and the Moody diagram of the pipe on screen on two tabs,
// with PNG and SVG export of the tab on show. The core opens it through platform::PlotViewer
// (Tools, "Plot...") and shows it new data after every solve while it is open.

#include <filesystem>
#include <functional>
#include <memory>

#include <QIcon>
#include <QPointer>
#include <QWidget>

#include "gui/plot_charts.h"
#include "gui/pump_panel_widget.h"
#include "platform/services.h"

class QLabel;
class QPushButton;
class QStackedWidget;
class QTabWidget;
QT_BEGIN_NAMESPACE
class QChartView;
QT_END_NAMESPACE

namespace zynta::gui {

class PlotWindow : public QWidget {
 public:
  PlotWindow();
  ~PlotWindow() override;
  void SetData(const platform::PlotData& data);
  const platform::PlotData& Data() const { return data_; }

  // The tab on show: the system curve (0) or the Moody diagram (1).
  PlotKind Shown() const;
  void ShowTab(PlotKind kind);
  QChartView* View(PlotKind kind) const;
  // The side panel of the pumps on the system curve.
  PumpPanelWidget* Pumps() const { return pumps_; }
  // The notice that takes a plot's place when there is nothing to draw; "" while it draws.
  QString Notice(PlotKind kind) const;
  // Writes the tab's picture (the export buttons ask for the file first).
  bool Export(PlotKind kind, PictureFormat format, const QString& file, std::string* error = nullptr);
  // Where the export dialog opens: the folder last exported to, at first the user's pictures.
  QString ExportFolder() const { return exportFolder_; }
  // Runs as the window goes off screen (closed, Esc, with the calculator window).
  std::function<void()> OnHidden;

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  struct Page {
    QStackedWidget* stack = nullptr;
    QChartView* view = nullptr;
    QLabel* notice = nullptr;
  };
  void ExportAsked(PictureFormat format);
  void Fill(Page& page, PlotKind kind);

  platform::PlotData data_;
  QTabWidget* tabs_ = nullptr;
  PumpPanelWidget* pumps_ = nullptr;
  Page pages_[2];
  QPushButton* png_ = nullptr;
  QPushButton* svg_ = nullptr;
  QString exportFolder_;
};

class QtPlotViewer : public platform::PlotViewer {
 public:
  explicit QtPlotViewer(QIcon icon) : icon_(std::move(icon)) {}
  ~QtPlotViewer() override;
  void Show(const platform::PlotData& data) override;
  void Update(const platform::PlotData& data) override;
  bool Open() const override;
  void CloseAll() override;
  PlotWindow* Window() const { return window_; }
  // The settings file where the window keeps its place and size (section PlotWindow: Top and
  // Left of its frame, Width and Height of its inside), read as it is first made, written each
  // time it closes. None: it opens at its own size and keeps nothing.
  void SetSettingsFile(std::filesystem::path file) { settingsFile_ = std::move(file); }

 private:
  void RestorePlace();
  void SavePlace();

  QIcon icon_;
  std::filesystem::path settingsFile_;
  QPointer<PlotWindow> window_;
};

}  // namespace zynta::gui
