#pragma once
// What the plot window shows: the points of the system curve and of the Moody diagram of the
// pipe on screen with its operating point and the axes' units, or the notice that there is
// nothing to plot. Plain numbers and texts: the shell computes them (shell/plot_curves.h), a
// PlotViewer (platform/services.h) draws them.

#include <string>
#include <utility>
#include <vector>

namespace zynta::platform {

struct CurvePoint {
  double x = 0.0;
  double y = 0.0;
};

// Head loss against flow, from zero to twice the solved flow, in the units the window shows:
// x in the flow field's unit, y in the head-loss field's unit.
struct SystemCurve {
  bool ok = false;  // false: nothing to plot ("Solve first"); everything else is empty then
  std::vector<CurvePoint> points;
  CurvePoint operating;  // the solved flow and head loss, as the window holds them
  std::string xUnit, yUnit;
};

// Friction factor against Reynolds number (both axes logarithmic).
struct MoodyDiagram {
  bool ok = false;  // false: nothing to plot; everything else is empty then
  // One curve for each relative roughness e/D of the diagram's family, in that order, over
  // the turbulent range.
  std::vector<std::pair<double, std::vector<CurvePoint>>> roughnessCurves;
  std::vector<CurvePoint> laminar;  // f = 64/Re
  std::vector<CurvePoint> pipe;     // the pipe on screen over the turbulent range
  double pipeRelativeRoughness = 0.0;
  CurvePoint operating;  // the solved Reynolds number and friction factor
};

// A pump curve over the system curve, in the system curve's units: the head of its arrangement
// over its range of flows, its catalogue points as arranged, and the operating point where it
// meets the system, or why it does not.
struct PumpPlot {
  std::vector<CurvePoint> curve;
  std::vector<CurvePoint> points;
  bool meets = false;
  CurvePoint operating;
  std::string text;    // "Q 812.3 gpm, H 75.24 ftliq", or the failure
  std::string shares;  // "static 48%, friction 47%, minor 5%" of a pump that meets the system
};

// The pump panel as the plot window edits it, in the units on screen: the static head in the
// head-loss unit, the sum of K, the arrangement ("single", "parallel", "series") and each pump's
// points as "flow:head" pairs separated by commas (the user's decimal separator).
struct PumpInput {
  std::string staticHead;
  std::string sumK;
  std::string arrangement = "single";
  std::vector<std::string> pumps;
};

// A fitting of the Fittings dialog and its loss coefficient.
struct FittingK {
  std::string name;
  double k = 0.0;
};

// Everything one showing of the plot window needs.
struct PlotData {
  // False: nothing to plot; `notice` says why ("Solve first") and the rest is empty.
  bool ok = false;
  std::string notice;
  // The pipe as the window shows it, for the titles: "Hazen-Williams, HL given D,L,C,Q" and
  // "D 2.067 in, L 100.00 ft, C 120.00".
  std::string equation;
  std::string problem;
  std::string pipeText;
  // The operating point as the window's fields show it: "Q 100.00 gpm, HL 21.79 ftliq" and
  // "Re 135400, f 0.021".
  std::string systemOperatingText;
  std::string moodyOperatingText;
  SystemCurve system;
  // With a static head or fittings, the system curve is static head plus head loss plus minor
  // losses, and `systemText` says so ("static 30 ftliq, sum of K 1.5"); the pumps drawn on it.
  std::string systemText;
  std::vector<PumpPlot> pumps;
  // The panel's values as the window last took them, why an edit was not taken ("" when it
  // was), and the fittings the Fittings dialog offers.
  PumpInput pumpInput;
  std::string pumpRefusal;
  std::vector<FittingK> fittings;
  // The Moody diagram is Darcy-Weisbach's: not ok for the other equations, `moodyNotice`
  // then says so.
  MoodyDiagram moody;
  std::string moodyNotice;
};

}  // namespace zynta::platform
