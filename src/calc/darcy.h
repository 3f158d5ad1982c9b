#pragma once
// Darcy-Weisbach in feet and seconds, with no fields around it.

namespace zynta::calc::darcy {

constexpr double LaminarLimit = 2000.0;  // f = 64/Re up to and including this Reynolds number
constexpr int NewtonSteps = 3;
constexpr double DiameterTolerance = 0.002;  // ft
constexpr double FlowTolerance = 1e-06;      // ft^3/s
constexpr int PassLimit = 100;

// One Newton step on Colebrook's equation written for x = 1/sqrt(f) (Colebrook, J. Inst. Civil
// Eng. 11, 1939): F(x) = x + 2 log10(e/3.7D + 2.51 x/Re) = 0, with 0.8686 for 2/ln 10.
// a = e/(3.7 D) in F, aPrime the same in its derivative: the calculator reads the roughness
// from its field for each of them.
double ColebrookStep(double x, double a, double aPrime, double re);

// hf = f (L/D) V^2/2g = (8/pi^2) f L Q^2 / (g D^5); the head-loss problem uses 0.8108 for
// 8/pi^2, the diameter and flow problems the full 8/pi^2.
double HeadLoss(double q, double d, double l, double f);
double Diameter(double q, double l, double hl, double f);
double Flow(double d, double l, double hl, double f);

// The friction factor of a given Reynolds number and relative roughness e/D, as the solvers
// compute it (laminar, or three Newton steps from x0); the bare formula for checks and benchmarks.
double FrictionFactor(double re, double relRoughness, double x0);

}  // namespace zynta::calc::darcy
