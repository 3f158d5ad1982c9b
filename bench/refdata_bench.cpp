// Opening the three reference tables as window creation does: each shipped data packet read
// from the program folder and turned into its table, the sizes linked to their pipe schedules.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "refdata/data_packet.h"
#include "refdata/table.h"

namespace {

namespace fs = std::filesystem;
using zynta::refdata::DataPacket;
using zynta::refdata::DataPacketError;
using zynta::refdata::Table;

fs::path ProgramDir() { return fs::read_symlink("/proc/self/exe").parent_path(); }

// Skips the benchmark when a shipped file is not there; true when all are.
bool HaveFiles(benchmark::State& state, std::initializer_list<const char*> names) {
  std::string missing;
  for (const char* name : names) {
    if (fs::exists(ProgramDir() / name)) continue;
    missing += std::string(missing.empty() ? "" : ", ") + name;
  }
  if (missing.empty()) return true;
  state.SkipWithError((missing + " not found beside the benchmark").c_str());
  return false;
}

// Runs open(folder) once per iteration; a refused file ends the benchmark with its message.
template <typename Open>
void RunOpening(benchmark::State& state, std::initializer_list<const char*> names, Open open) {
  if (!HaveFiles(state, names)) return;
  const fs::path dir = ProgramDir();
  for (auto _ : state) {
    try {
      open(dir);
    } catch (const DataPacketError& e) {
      state.SkipWithError(e.what());
      break;
    }
  }
}

Table OpenSpecs(const fs::path& dir) { return Table(DataPacket::Load(dir / "PipeSpec.XML"), {"Index"}); }

Table OpenSizes(const fs::path& dir) {
  return Table(DataPacket::Load(dir / "PipeSize.XML"), {"Index", "NomSize"});
}

Table OpenLiquids(const fs::path& dir) { return Table(DataPacket::Load(dir / "Liq_prop.XML"), {"Description"}); }

void OpenAllTables(benchmark::State& state) {
  RunOpening(state, {"PipeSpec.XML", "PipeSize.XML", "Liq_prop.XML"}, [](const fs::path& dir) {
    Table specs = OpenSpecs(dir);
    Table sizes = OpenSizes(dir);
    sizes.SetMaster(specs, "Index");
    Table liquids = OpenLiquids(dir);
    // The link takes effect at the first read of the sizes.
    benchmark::DoNotOptimize(sizes.RowCount());
    benchmark::DoNotOptimize(liquids.RowCount());
  });
}
BENCHMARK(OpenAllTables)->Unit(benchmark::kMillisecond);

void OpenPipeSpec(benchmark::State& state) {
  RunOpening(state, {"PipeSpec.XML"},
             [](const fs::path& dir) { benchmark::DoNotOptimize(OpenSpecs(dir).RowCount()); });
}
BENCHMARK(OpenPipeSpec)->Unit(benchmark::kMicrosecond);

void OpenPipeSize(benchmark::State& state) {
  RunOpening(state, {"PipeSize.XML"},
             [](const fs::path& dir) { benchmark::DoNotOptimize(OpenSizes(dir).RowCount()); });
}
BENCHMARK(OpenPipeSize)->Unit(benchmark::kMicrosecond);

void OpenLiqProp(benchmark::State& state) {
  RunOpening(state, {"Liq_prop.XML"},
             [](const fs::path& dir) { benchmark::DoNotOptimize(OpenLiquids(dir).RowCount()); });
}
BENCHMARK(OpenLiqProp)->Unit(benchmark::kMicrosecond);

// Walking the sizes of every pipe schedule, as filling the size list for each would.
void WalkAllSizes(benchmark::State& state) {
  if (!HaveFiles(state, {"PipeSpec.XML", "PipeSize.XML"})) return;
  try {
    const fs::path dir = ProgramDir();
    Table specs = OpenSpecs(dir);
    Table sizes = OpenSizes(dir);
    sizes.SetMaster(specs, "Index");
    for (auto _ : state) {
      double sum = 0.0;
      for (specs.First(); !specs.Eof(); specs.Next())
        for (sizes.First(); !sizes.Eof(); sizes.Next()) sum += sizes.AsFloat("InDia");
      benchmark::DoNotOptimize(sum);
    }
  } catch (const DataPacketError& e) {
    state.SkipWithError(e.what());
  }
}
BENCHMARK(WalkAllSizes)->Unit(benchmark::kMicrosecond);

}  // namespace
