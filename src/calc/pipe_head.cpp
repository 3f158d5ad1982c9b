#include "calc/pipe_head.h"

#include <cmath>

#include "calc/darcy.h"
#include "calc/formulas.h"

namespace zynta::calc {

using namespace formulas;

double HeadLossSolveStart() { return std::pow(0.02, -0.5); }

// Re = V D / nu = 4 |Q| / (pi D nu) (formulas::Reynolds), with Q in ft^3/s, D in ft and nu in
// ft^2/s converted as UpdateReynolds converts them.
double ReynoldsAt(const PipeOnScreen& pipe, double flowGpm) {
  const double q = flowGpm / GpmPerCfs;
  const double d = pipe.insideDiameterIn / InchesPerFoot;
  const double nu = pipe.viscosityCSt / CentistokesPerFt2s;
  return Reynolds(q, d, nu);
}

// Relative roughness e/D of Colebrook's equation (J. Inst. Civil Eng. 11, 1939), with the
// roughness (ft) and the diameter in feet as DarcyFrictionFactor takes them.
double RelativeRoughness(const PipeOnScreen& pipe) {
  return pipe.friction / (pipe.insideDiameterIn / InchesPerFoot);
}

// darcy::FrictionFactor: f = 64/Re (Hagen-Poiseuille) up to Re 2000, above it three Newton
// steps on Colebrook's equation (1939) from the head-loss solve's start value.
double FrictionFactorAt(const PipeOnScreen& pipe, double re) {
  return darcy::FrictionFactor(re, RelativeRoughness(pipe), HeadLossSolveStart());
}

// The "HL given" solvers (calc/solvers_closed.cpp, calc/solvers_darcy.cpp), each once:
// - Hazen-Williams (Williams and Hazen, Hydraulic Tables, 1920), SolveHwHeadLoss:
//     formulas::HwHeadLoss(Q, D, C, L);
// - Manning's equation for a full pipe (Manning, 1891), SolveManningHeadLoss: the velocity
//     V = Q / A (formulas::PipeVelocity), then formulas::ManningHeadLoss(V, D, n, L);
// - Darcy-Weisbach, SolveDwHeadLoss: Re from the viscosity (formulas::Reynolds), the friction
//     factor of FrictionFactorAt, then darcy::HeadLoss(Q, D, L, f) (with its 0.8108 for 8/pi^2).
// Q in ft^3/s (gpm / 448.831), D and L in feet (inches / 12), the head loss in feet of liquid.
// At zero flow every equation's head loss is 0 (the Darcy-Weisbach limit of the laminar
// f = 64/Re, whose Re would be 0; the solvers refuse a zero flow).
double HeadLossAt(const PipeOnScreen& pipe, double flowGpm) {
  if (flowGpm == 0.0) return 0.0;
  const double q = flowGpm / GpmPerCfs;
  const double d = pipe.insideDiameterIn / InchesPerFoot;
  const double l = pipe.lengthIn / InchesPerFoot;
  switch (pipe.equation) {
    case Equation::HazenWilliams: return HwHeadLoss(q, d, pipe.friction, l);
    case Equation::Mannings: return ManningHeadLoss(PipeVelocity(q, d), d, pipe.friction, l);
    case Equation::DarcyWeisbach:
      return darcy::HeadLoss(q, d, l, FrictionFactorAt(pipe, ReynoldsAt(pipe, flowGpm)));
  }
  return 0.0;
}

}  // namespace zynta::calc
