#pragma once
// The closed-form pipe-flow relations in feet and seconds, with no fields around them.
// Constants and exponents are the calculator's own, used exactly as written: several are
// rounded inverses of each other (0.54 for 1/1.85, 0.20553 for 1/4.8655, 0.592 for
// 1.49/4^(2/3)), so a solve for one unknown does not exactly invert the solve for another.

#include <numbers>

namespace zynta::calc::formulas {

// Unit conversions of the equations (exact definitions or the program's fixed constants).
constexpr double InchesPerFoot = 12.0;
constexpr double GpmPerCfs = 448.831;            // US gal/min in one ft^3/s (231 in^3 gallon)
constexpr double CentistokesPerFt2s = 92903.04;  // 1 ft^2/s = 0.3048^2 m^2/s = 92903.04 cSt
constexpr double Gravity = 32.174;               // ft/s^2, standard gravity 9.80665 m/s^2
constexpr double Pi = std::numbers::pi;

// Area of a circle of diameter d (any length unit; the area comes in its square).
double CircleArea(double d);
// Mean velocity (ft/s) of a flow q (ft^3/s) in a pipe of diameter d (ft).
double PipeVelocity(double q, double d);
// Reynolds number of a flow q (ft^3/s) in diameter d (ft) with kinematic viscosity nu (ft^2/s):
// Re = V D / nu = 4 |q| / (pi D nu).
double Reynolds(double q, double d, double nu);

// Hazen-Williams in US customary units, from Q = 0.432 C D^2.63 S^0.54 (Williams and Hazen,
// Hydraulic Tables, 1920; the 4.727 coefficient is 0.432^-1.85):
//   hf = 4.727 L |Q|^1.85 / (C^1.85 D^4.8655), with L, D, hf in ft and Q in ft^3/s.
double HwHeadLoss(double q, double d, double c, double l);
double HwDiameter(double q, double hl, double c, double l);
double HwFlow(double d, double l, double c, double hl);

// Manning's equation for a pipe flowing full, US customary units (1.49 = 3.2808^(1/3)):
//   V = (1.49 / n) R^(2/3) S^(1/2), with the hydraulic radius R = D / 4.
double ManningHeadLoss(double v, double d, double n, double l);
double ManningDiameter(double q, double l, double hl, double n);
double ManningFlow(double d, double l, double hl, double n);

// Continuity, Q = V A, solved for the diameter (in inches) or the flow (ft^3/s).
double DiameterFromVelocity(double q, double v);  // q ft^3/s, v ft/s -> inches
double FlowFromVelocity(double d, double v);      // d ft, v ft/s -> ft^3/s

}  // namespace zynta::calc::formulas
