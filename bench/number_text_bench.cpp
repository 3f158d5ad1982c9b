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

// The paths the three above do not take: negative values (whose fixed text is
// read back), the ',' separator (read from a copy with '.'), an exponent, and
// a pasted long digit string.
namespace {

void DisplayNegative(benchmark::State& state) {
  double v = -5.123;
  for (auto _ : state) {
    benchmark::DoNotOptimize(v);
    benchmark::DoNotOptimize(DisplayText(v, v, 2, ','));
  }
}
BENCHMARK(DisplayNegative);

void ParseFieldComma(benchmark::State& state) {
  const std::string text = "  2,067 ";
  for (auto _ : state) benchmark::DoNotOptimize(ParseFieldNumber(text, ','));
}
BENCHMARK(ParseFieldComma);

void ParseFieldExponent(benchmark::State& state) {
  const std::string text = "-1.52E-04";
  for (auto _ : state) benchmark::DoNotOptimize(ParseFieldNumber(text, '.'));
}
BENCHMARK(ParseFieldExponent);

void ParseFieldLong(benchmark::State& state) {
  const std::string text = "0.1000000000000000055511151231257827021181583404541015625";
  for (auto _ : state) benchmark::DoNotOptimize(ParseFieldNumber(text, '.'));
}
BENCHMARK(ParseFieldLong);

}  // namespace
