#pragma once
// zynta-cli plot: one problem solved as `solve` solves it, then the plot window's two pictures
// (system curve, Moody diagram) written as PNG or SVG files, rendered offscreen.

#include <iosfwd>
#include <string>
#include <vector>

namespace zynta::cli {

extern const char* const PlotHelp;

// Exit status: 0 the pictures were written (their files on out); 1 not solved, nothing to
// plot, or a file that cannot be written; 2 a usage error; 3 built without plots.
int PlotCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zynta::cli
