// The operating point of a pump on a solved pipe: the fit of its catalogue points and the
// bisection on pump head against system head.
#include <variant>

#include <benchmark/benchmark.h>

#include "pumps/operating_point.h"

namespace {

using namespace zynta::pumps;

// A 6 in Darcy-Weisbach pipe, 500 ft, a 30 ft lift and K = 8; a pump of five points.
System DarcySystem() {
  System s;
  s.pipe = {zynta::calc::Equation::DarcyWeisbach, 6.065, 500.0 * 12.0, 0.00015, 1.13};
  s.staticHeadFt = 30.0;
  s.sumK = 8.0;
  return s;
}

const std::vector<PumpPoint> FivePoints = {{0, 120}, {300, 112}, {600, 96}, {900, 70}, {1200, 35}};

void OperatingPointDarcyFivePoints(benchmark::State& state) {
  const System system = DarcySystem();
  for (auto _ : state) {
    auto fit = FitPumpCurve(FivePoints);
    auto point = FindOperatingPoint(system, std::get<PumpCurve>(fit), Arrangement::Single);
    benchmark::DoNotOptimize(point);
  }
}
BENCHMARK(OperatingPointDarcyFivePoints);

void SystemHeadDarcy(benchmark::State& state) {
  const System system = DarcySystem();
  double q = 500.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(SystemHeadAt(system, q));
    q += 1e-9;
  }
}
BENCHMARK(SystemHeadDarcy);

}  // namespace
