#pragma once
// The head loss of the solved pipe at any flow, by the solvers' own formulas: what the plots and
// the pump's system curve are made of.

#include "calc/catalog.h"

namespace zynta::calc {

// The pipe as entered in the window, in the parameters' base units.
struct PipeOnScreen {
  Equation equation = Equation::HazenWilliams;
  double insideDiameterIn = 0.0;  // inches
  double lengthIn = 0.0;          // inches
  // Hazen-Williams C, Manning's n, or the Darcy-Weisbach specific roughness E in feet.
  double friction = 0.0;
  double viscosityCSt = 0.0;  // kinematic viscosity, centistokes
};

// The start value of the head-loss solve's Newton iteration, x0 = 1/sqrt(0.02)
// (SolveDwHeadLoss: DarcyFrictionFactor(f, re, d, std::pow(0.02, -0.5))).
double HeadLossSolveStart();

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

}  // namespace zynta::calc
