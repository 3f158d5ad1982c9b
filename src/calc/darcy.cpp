#include "calc/darcy.h"

#include <cmath>

#include "calc/formulas.h"

namespace zynta::calc::darcy {

using formulas::Gravity;
using formulas::Pi;

double ColebrookStep(double x, double a, double aPrime, double re) {
  const double fx = 0.8686 * std::log(a + 2.51 * x / re) + x;
  const double dfx = (2.51 / re) / (aPrime + 2.51 * x / re) * 0.8686 + 1.0;
  return x - fx / dfx;
}

double HeadLoss(double q, double d, double l, double f) {
  return std::fabs(q) * std::fabs(q) * (l * (0.8108 * f) / std::pow(d, 5) / Gravity);
}

double Diameter(double q, double l, double hl, double f) {
  return std::pow((l * (8.0 * f) * (q * q)) / (Pi * Pi * hl * Gravity), 0.2);
}

double Flow(double d, double l, double hl, double f) {
  return std::pow((hl * (Pi * Pi) * Gravity * std::pow(d, 5)) / (l * (8.0 * f)), 0.5);
}

double FrictionFactor(double re, double relRoughness, double x0) {
  if (!(re > LaminarLimit)) return 64.0 / re;
  const double a = relRoughness / 3.7;
  double x = x0;
  for (int step = 0; step < NewtonSteps; ++step) x = ColebrookStep(x, a, a, re);
  return 1.0 / (x * x);
}

}  // namespace zynta::calc::darcy
