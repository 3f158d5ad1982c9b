#pragma once
// The plot pictures written offscreen, for zynta-cli plot. No Qt in this header: the command
// line tool includes it (only when built with the GUI) and stays a plain C++ program.

#include <iosfwd>
#include <optional>
#include <string>

#include "platform/plot_data.h"

namespace zynta::gui {

// Starts Qt on the offscreen platform (unless $QT_QPA_PLATFORM names another) for the run and
// writes the data's pictures: PREFIX-system.png and PREFIX-moody.png for pngPrefix, .svg for
// svgPrefix; a plot the data does not have (the Moody diagram of Hazen-Williams) is skipped
// with a line on err. Each file written is a line on out. 0 when every picture was written,
// 1 when one could not be (said on err). Not to be called while a QApplication exists.
int WritePlotFiles(const platform::PlotData& data, const std::optional<std::string>& pngPrefix,
                   const std::optional<std::string>& svgPrefix, std::ostream& out, std::ostream& err);

}  // namespace zynta::gui
