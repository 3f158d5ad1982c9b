#include "gui/plot_files.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <utility>

#include <QApplication>

#include "gui/plot_charts.h"

namespace zynta::gui {

namespace {

// Without $XDG_RUNTIME_DIR Qt makes itself one under $TMPDIR and leaves it behind: it gets a
// private one (mode 0700, as Qt wants it) for the run instead, removed afterwards.
class PrivateRuntimeDir {
 public:
  PrivateRuntimeDir() {
    if (std::getenv("XDG_RUNTIME_DIR")) return;
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zynta-cli-runtime-XXXXXX";
    if (!mkdtemp(pattern.data())) return;
    folder_ = pattern;
    setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);  // NOLINT(concurrency-mt-unsafe): before Qt starts a thread
  }
  ~PrivateRuntimeDir() {
    if (folder_.empty()) return;
    unsetenv("XDG_RUNTIME_DIR");  // NOLINT(concurrency-mt-unsafe): Qt's threads have ended
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  PrivateRuntimeDir(const PrivateRuntimeDir&) = delete;
  PrivateRuntimeDir& operator=(const PrivateRuntimeDir&) = delete;

 private:
  std::string folder_;
};

}  // namespace

// Qt Charts draws through a QApplication. Offscreen unless the caller chose a platform: the
// pictures do not depend on one, and a display that is set but unreachable would abort.
int WritePlotFiles(const platform::PlotData& data, const std::optional<std::string>& pngPrefix,
                   const std::optional<std::string>& svgPrefix, std::ostream& out, std::ostream& err) {
  // NOLINTNEXTLINE(concurrency-mt-unsafe): before Qt starts a thread
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  PrivateRuntimeDir runtime;
  static int argc = 1;
  static char name[] = "zynta-cli";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  int status = 0;
  for (const auto& [prefix, format] :
       {std::pair{pngPrefix, PictureFormat::Png}, std::pair{svgPrefix, PictureFormat::Svg}}) {
    if (!prefix) continue;
    for (PlotKind kind : {PlotKind::System, PlotKind::Moody}) {
      if (!HasPlot(data, kind)) continue;
      const QString file = PictureFile(QString::fromStdString(*prefix), kind, format);
      std::string error;
      if (WritePicture(data, kind, format, file, &error)) {
        out << file.toStdString() << "\n";
      } else {
        err << "zynta-cli plot: " << error << "\n";
        status = 1;
      }
    }
  }
  if (data.ok && !data.moody.ok) err << "zynta-cli plot: no Moody diagram: " << data.moodyNotice << "\n";
  return status;
}

}  // namespace zynta::gui
