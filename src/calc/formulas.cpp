#include "calc/formulas.h"

#include <cmath>

namespace zynta::calc::formulas {

double CircleArea(double d) {
  const double r = d / 2.0;
  return Pi * (r * r);
}

double PipeVelocity(double q, double d) { return q / CircleArea(d); }

double Reynolds(double q, double d, double nu) { return (std::fabs(q) * 4.0) / (d * Pi * nu); }

double HwHeadLoss(double q, double d, double c, double l) {
  const double k = (l * 4.727) / std::pow(d, 4.8655);
  return std::pow(std::fabs(q), 1.85) * (k / std::pow(c, 1.85));
}

double HwDiameter(double q, double hl, double c, double l) {
  const double x = hl / std::pow(std::fabs(q), 1.85);
  const double y = std::pow(c, 1.85) * x;
  const double z = (l * 4.727) / y;
  return std::pow(z, 0.20553);
}

double HwFlow(double d, double l, double c, double hl) {
  double k = (l * 4.727) / std::pow(d, 4.8655);
  k = k / std::pow(c, 1.85);
  return std::pow(hl / k, 0.54);
}

double ManningHeadLoss(double v, double d, double n, double l) {
  const double x = (v * n) / (std::pow(d / 4.0, 2.0 / 3.0) * 1.49);
  return l * (x * x);
}

// D = (n Q / (0.592 (pi/4) S^0.5))^(3/8); 0.4649557127312894 is 0.592 pi / 4.
double ManningDiameter(double q, double l, double hl, double n) {
  const double k = std::pow(hl / l, 0.5) * 0.4649557127312894;
  return std::pow((n * q) / k, 0.375);
}

double ManningFlow(double d, double l, double hl, double n) {
  const double s = std::pow(hl / l, 0.5);
  const double v = std::pow(d / 4.0, 2.0 / 3.0) * 1.49 * s;
  const double r = d / 2.0;
  const double w = (r * r) * Pi * v;
  return w / n;
}

double DiameterFromVelocity(double q, double v) { return std::pow((q / v) / Pi, 0.5) * 24.0; }

double FlowFromVelocity(double d, double v) {
  const double r = d / 2.0;
  return v * ((r * r) * Pi);
}

}  // namespace zynta::calc::formulas
