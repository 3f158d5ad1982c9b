#pragma once
// The points of the two plots of the pipe on screen, without any drawing: the system curve
// (head loss against flow) and the Moody diagram (Darcy friction factor against Reynolds
// number). The plot window draws what these functions return.
//
// There is no physics of its own here: the head loss at a flow is calc/pipe_head.h's, which
// combines the solvers' bare formulas exactly as the "HL given" solvers do, so every point of a
// system curve is the head loss the window's own solve gives at that flow.

#include <array>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "calc/catalog.h"
#include "calc/pipe_head.h"
#include "platform/plot_data.h"
#include "shell/form_model.h"

namespace zynta::shell {

using calc::FrictionFactorAt;
using calc::HeadLossAt;
using calc::PipeOnScreen;
using calc::RelativeRoughness;
using calc::ReynoldsAt;

// Reads the pipe from the parameters' ParamValue (the values the last solve read) and the
// equation from the equation chooser's text.
PipeOnScreen FromForm(const shell::FormModel& f);

// The plain data the plot window draws (platform/plot_data.h).
using platform::CurvePoint;
using platform::MoodyDiagram;
using platform::PlotData;
using platform::PumpPlot;
using platform::SystemCurve;

// The relative roughnesses of the diagram's family of curves.
inline constexpr std::array<double, 13> MoodyRoughnesses = {0.0,  1e-6, 1e-5, 5e-5, 1e-4, 2e-4, 5e-4,
                                                            1e-3, 2e-3, 5e-3, 0.01, 0.02, 0.05};
inline constexpr double MoodyLaminarFrom = 600.0;
inline constexpr double MoodyReynoldsTo = 1e8;

// Whether the window holds a solution with a flow, a diameter and a head loss: solved, and the
// problem is one of the three head-loss problems (HL, D or Q given the others).
bool HasHeadLossSolution(const shell::FormModel& f);

// The system curve of the solved state, `points` points (at least 2) evenly spaced in flow
// from 0 to twice the solved flow, both ends included. Not ok when HasHeadLossSolution is
// false, or a pressure unit of the head loss has no valid specific gravity.
SystemCurve BuildSystemCurve(const shell::FormModel& f, int points = 50);

// The Moody diagram of the solved state, its curves with about `pointsPerDecade` (at least 1)
// log-spaced points per decade of Reynolds number. The pipe's curve holds the solved Reynolds
// number as a point when it is turbulent, the laminar line when it is not (the ranges widen to
// reach it). Not ok unless HasHeadLossSolution and the equation is Darcy-Weisbach.
MoodyDiagram BuildMoodyDiagram(const shell::FormModel& f, int pointsPerDecade = 10);

// The system curve of a pump panel that is not empty: static head plus head loss plus minor
// losses, from zero to the larger of twice the solved flow and the last flow of the pumps'
// curves, and each pump's curve, points and operating point (or its failure, or why its points
// make no curve), in the units on screen. Added to plot data that is ok.
void AddPumps(const FormModel& f, const PumpPanel& panel, PlotData& data, int points = 50);

// The panel in the units on screen, and back: a value that is no number, a negative sum of K,
// an unknown arrangement, more than MaxPumps pumps or points that make no pump curve refuse
// the input with their message.
platform::PumpInput InputOf(const FormModel& f, const PumpPanel& panel);
std::variant<PumpPanel, std::string> PanelOf(const FormModel& f, const platform::PumpInput& input);

// The notices of the plot window when there is nothing (or no Moody diagram) to plot.
inline constexpr const char* PlotSolveFirst = "Solve first";
inline constexpr const char* PlotNeedsHeadLossProblem =
    "Solve first: the plots need a head-loss problem (HL, D or Q given the others)";
inline constexpr const char* MoodyDarcyOnly = "The Moody diagram is for the Darcy-Weisbach equation";

// Everything the plot window shows for the current state: both plots with the pipe's texts,
// or not ok with PlotSolveFirst (not solved) or PlotNeedsHeadLossProblem (a velocity problem,
// or a head loss in a pressure unit without a valid specific gravity).
PlotData BuildPlotData(const shell::FormModel& f);

}  // namespace zynta::shell
