// Whole solves through the window model, and beside them the bare formulas they wrap.
#include <cmath>

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "calc/darcy.h"
#include "calc/formulas.h"

namespace {

using zynta::bench::Calculator;
using namespace zynta::calc;

void SolveHazenWilliamsHeadLoss(benchmark::State& state) {
  Calculator calc;  // the shipped first-run state is "HL given D,L,C,Q"
  for (auto _ : state) calc.Solve();
  if (!calc.form->Solved) state.SkipWithError("not solved");
}
BENCHMARK(SolveHazenWilliamsHeadLoss);

// The same solve with the undo history emptied now and then (outside the timing): what a solve
// costs in a session of ordinary length, without the history's growth to millions of points.
void SolveHazenWilliamsHeadLossShortHistory(benchmark::State& state) {
  Calculator calc;
  int n = 0;
  for (auto _ : state) {
    calc.Solve();
    if (++n % 256 == 0) {
      state.PauseTiming();
      calc.form->SnapshotStack.clear();
      state.ResumeTiming();
    }
  }
  if (!calc.form->Solved) state.SkipWithError("not solved");
}
BENCHMARK(SolveHazenWilliamsHeadLossShortHistory);

void SolveDarcyHeadLoss(benchmark::State& state) {
  Calculator calc;
  calc.PickEquation("Darcy-Weisbach");
  for (auto _ : state) calc.Solve();
  if (!calc.form->Solved) state.SkipWithError("not solved");
}
BENCHMARK(SolveDarcyHeadLoss);

void SolveDarcyDiameter(benchmark::State& state) {
  Calculator calc;
  calc.PickEquation("Darcy-Weisbach");
  calc.Solve();  // a head loss to start from
  calc.PickProblem(1);
  for (auto _ : state) calc.Solve();
  if (!calc.form->Solved) state.SkipWithError("not solved");
}
BENCHMARK(SolveDarcyDiameter);

// The floor: the same arithmetic with no fields, no reads, no display.
void BareDarcyHeadLoss(benchmark::State& state) {
  double q = 100.0 / formulas::GpmPerCfs, d = 2.067 / 12.0, l = 100.0;
  const double nu = 1.13 / formulas::CentistokesPerFt2s;
  for (auto _ : state) {
    benchmark::DoNotOptimize(q);
    benchmark::DoNotOptimize(d);
    const double re = formulas::Reynolds(q, d, nu);
    const double f = darcy::FrictionFactor(re, 0.00015 / d, std::pow(0.02, -0.5));
    benchmark::DoNotOptimize(darcy::HeadLoss(q, d, l, f));
  }
}
BENCHMARK(BareDarcyHeadLoss);

void BareHazenWilliamsHeadLoss(benchmark::State& state) {
  double q = 100.0 / formulas::GpmPerCfs, d = 2.067 / 12.0, l = 100.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(q);
    benchmark::DoNotOptimize(formulas::HwHeadLoss(q, d, 120.0, l));
  }
}
BENCHMARK(BareHazenWilliamsHeadLoss);

}  // namespace

BENCHMARK_MAIN();
