#include "pumps/system.h"

#include "calc/formulas.h"

namespace zynta::pumps {

using namespace calc::formulas;

double VelocityAt(const calc::PipeOnScreen& pipe, double flowGpm) {
  return PipeVelocity(flowGpm / GpmPerCfs, pipe.insideDiameterIn / InchesPerFoot);
}

// Minor losses: h = K V^2 / (2 g), the velocity head times the sum of the fittings' loss
// coefficients (Crane Technical Paper 410, eq. 2-5; Munson, Fundamentals of Fluid Mechanics,
// eq. 8.36).
SystemHead SystemHeadAt(const System& system, double flowGpm) {
  SystemHead h;
  h.staticFt = system.staticHeadFt;
  h.frictionFt = calc::HeadLossAt(system.pipe, flowGpm);
  const double v = VelocityAt(system.pipe, flowGpm);
  h.minorFt = system.sumK * v * v / (2.0 * Gravity);
  return h;
}

}  // namespace zynta::pumps
