#pragma once
// The plot pictures as a module of their own, which zynta-cli loads only to run `plot`: the
// rest of the tool links and loads no Qt library. No Qt in this header.

#include <iosfwd>
#include <optional>
#include <string>

#include "platform/plot_data.h"

namespace zynta::platform {

// The module's file: beside the programs in the build, in <prefix>/lib/zynta installed.
inline constexpr const char* PlotModuleFile = "zynta-plots.so";
inline constexpr const char* PlotModuleFolder = "../lib/zynta";

// Its one entry: WritePlotFiles of the Qt side (gui/plot_files.h) under an unmangled name.
inline constexpr const char* PlotModuleEntry = "zynta_write_plot_files";
using WritePlotFilesEntry = int (*)(const PlotData& data, const std::optional<std::string>& pngPrefix,
                                    const std::optional<std::string>& svgPrefix, std::ostream& out,
                                    std::ostream& err);

}  // namespace zynta::platform
