// The entry of the plots module (platform/plot_module.h).
#include "platform/plot_module.h"

#include "gui/plot_files.h"

extern "C" __attribute__((visibility("default"))) int zynta_write_plot_files(
    const zynta::platform::PlotData& data, const std::optional<std::string>& pngPrefix,
    const std::optional<std::string>& svgPrefix, std::ostream& out, std::ostream& err) {
  return zynta::gui::WritePlotFiles(data, pngPrefix, svgPrefix, out, err);
}

// The entry and the module's type agree.
[[maybe_unused]] static constexpr zynta::platform::WritePlotFilesEntry CheckedEntry = &zynta_write_plot_files;
