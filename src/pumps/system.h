#pragma once
// The system a pump works against: the solved pipe, the static head (the lift between the two
// liquid levels; zero or negative when the outlet is level or lower) and the sum of the loss
// coefficients K of its fittings. Flows in US gpm, heads in feet of the flowing liquid.

#include "calc/pipe_head.h"

namespace zynta::pumps {

struct System {
  calc::PipeOnScreen pipe;
  double staticHeadFt = 0.0;
  double sumK = 0.0;  // dimensionless, >= 0
};

// The head a flow needs, by its three parts.
struct SystemHead {
  double staticFt = 0.0;
  double frictionFt = 0.0;  // the pipe's head loss, as the window's "HL given" solve computes it
  double minorFt = 0.0;     // K V^2 / (2 g)
  double Total() const { return staticFt + frictionFt + minorFt; }
};

// The mean velocity in the pipe, ft/s: V = Q / A.
double VelocityAt(const calc::PipeOnScreen& pipe, double flowGpm);

SystemHead SystemHeadAt(const System& system, double flowGpm);

}  // namespace zynta::pumps
