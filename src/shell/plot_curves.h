#pragma once
// The points of the two plots of the pipe on screen, without any drawing: the system curve
// (head loss against flow) and the Moody diagram (Darcy friction factor against Reynolds
// number). The plot window draws what these functions return.
//
// There is no physics of its own here: the bare formulas are the solvers' (calc/formulas.h,
// calc/darcy.h), and HeadLossAt combines them exactly as the "HL given" solvers do, so every
// point of a system curve is the head loss the window's own solve gives at that flow.

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "calc/catalog.h"
#include "platform/plot_data.h"
#include "shell/form_model.h"

namespace zynta::shell {

// The pipe as entered in the window, in the parameters' base units.
struct PipeOnScreen {
  calc::Equation equation = calc::Equation::HazenWilliams;
  double insideDiameterIn = 0.0;  // inches
  double lengthIn = 0.0;          // inches
  // Hazen-Williams C, Manning's n, or the Darcy-Weisbach specific roughness E in feet.
  double friction = 0.0;
  double viscosityCSt = 0.0;  // kinematic viscosity, centistokes
};

// Reads the pipe from the parameters' ParamValue (the values the last solve read) and the
// equation from the equation chooser's text.
PipeOnScreen FromForm(const shell::FormModel& f);

// The Reynolds number of a flow (US gpm) in the pipe, as the solvers compute it.
double ReynoldsAt(const PipeOnScreen& pipe, double flowGpm);
// E / D, both in feet (Darcy-Weisbach only: the friction is a roughness there).
double RelativeRoughness(const PipeOnScreen& pipe);
// The Darcy friction factor of the pipe at Reynolds number re, as the head-loss solve computes
// it: 64/Re up to 2000, otherwise three Newton steps on Colebrook's equation from 0.02^-0.5.
double FrictionFactorAt(const PipeOnScreen& pipe, double re);
// The head loss (feet of the flowing liquid) of a flow (US gpm) in the pipe, by the pipe's
// equation, as the "HL given" solve of that equation computes it. 0 at zero flow.
double HeadLossAt(const PipeOnScreen& pipe, double flowGpm);

// The plain data the plot window draws (platform/plot_data.h).
using platform::CurvePoint;
using platform::MoodyDiagram;
using platform::PlotData;
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
