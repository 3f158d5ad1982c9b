// The display rule and field-number reading, which every read and write of a field runs.
#include <benchmark/benchmark.h>

#include "units/number_text.h"

namespace {

using namespace zynta::units;

void DisplayFixed(benchmark::State& state) {
  double v = 21.787846001451854;
  for (auto _ : state) {
    benchmark::DoNotOptimize(v);
    benchmark::DoNotOptimize(DisplayText(v, v, 2, '.'));
  }
}
BENCHMARK(DisplayFixed);

void DisplayScientific(benchmark::State& state) {
  double v = 0.000152;
  for (auto _ : state) {
    benchmark::DoNotOptimize(v);
    benchmark::DoNotOptimize(DisplayText(v, v, 2, '.'));
  }
}
BENCHMARK(DisplayScientific);

void ParseField(benchmark::State& state) {
  const std::string text = "  2.067 ";
  for (auto _ : state) benchmark::DoNotOptimize(ParseFieldNumber(text, '.'));
}
BENCHMARK(ParseField);

}  // namespace
