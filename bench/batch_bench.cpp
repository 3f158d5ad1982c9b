// zynta-cli batch end to end: a process started as a user starts it, fed "HL given D,L,E,Vis,Q"
// rows with varying inputs through its standard input and read back through its standard
// output (parse, solve through the window model, write). Reported per row: CPU time of the
// batch process (one core) and wall time; and its peak resident memory, which stays the same
// from the smallest to the largest run when memory is flat.
//
// The default run is short (2,000 and 20,000 rows). ZYNTA_BATCH_ROWS=1000000 adds a run of
// that many rows:
//   ZYNTA_BATCH_ROWS=1000000 build/bin/zynta-bench --benchmark_filter=BatchEndToEnd
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <benchmark/benchmark.h>

namespace {

constexpr const char* Header = "equation,problem,IDia [in],Len [ft],Fric [ft],Vis [cSt],Flow [gpm],SG\n";

// Row i's inputs, from a fixed pseudo-random sequence: every run sees the same rows.
class Rows {
 public:
  void Append(std::string& out) {
    static const char* const roughness[] = {"0.000005", "0.00015", "0.0005", "0.00085"};
    char line[160];
    const double d = 0.5 + 23.5 * Next();
    const double l = 10.0 + 4990.0 * Next();
    const double vis = 0.3 + 49.7 * Next();
    const double q = 1.0 + 4999.0 * Next();
    const int n =
        std::snprintf(line, sizeof line, "Darcy-Weisbach,\"HL given D,L,E,Vis,Q\",%.3f,%.1f,%s,%.2f,%.1f,1\n", d,
                      l, roughness[state_ >> 62], vis, q);
    out.append(line, static_cast<size_t>(n));
  }

 private:
  double Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state_ >> 11) / 9007199254740992.0;
  }
  unsigned long long state_ = 0x2545F4914F6CDD1DULL;
};

struct BatchRun {
  double wallSeconds = 0;
  double cpuSeconds = 0;  // user + system time of the batch process
  long peakKb = 0;
  long lines = 0;
  long solved = 0;
  int exit = -1;
};

std::filesystem::path Cli() { return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "zynta-cli"; }

BatchRun RunBatch(long rows) {
  int in[2], out[2];
  if (pipe(in) || pipe(out)) return {};
  std::signal(SIGPIPE, SIG_IGN);
  const std::string program = Cli().string();
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
    execl(program.c_str(), program.c_str(), "batch", "-", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  std::thread feeder([fd = in[1], rows] {
    Rows source;
    std::string chunk = Header;
    for (long i = 0; i < rows; ++i) {
      source.Append(chunk);
      if (chunk.size() >= (1 << 16) || i + 1 == rows) {
        for (size_t done = 0; done < chunk.size();) {
          const ssize_t w = write(fd, chunk.data() + done, chunk.size() - done);
          if (w <= 0) break;
          done += static_cast<size_t>(w);
        }
        chunk.clear();
      }
    }
    close(fd);
  });
  BatchRun run;
  static char buf[1 << 16];
  // "...,Solved!\n" across reads: the last characters before each line end
  std::string tail;
  for (ssize_t got; (got = read(out[0], buf, sizeof buf)) > 0;) {
    for (ssize_t i = 0; i < got; ++i) {
      if (buf[i] == '\n') {
        ++run.lines;
        if (tail.size() >= 8 && tail.compare(tail.size() - 8, 8, ",Solved!") == 0) ++run.solved;
        tail.clear();
      } else if (tail.size() < 64) {
        tail.push_back(buf[i]);
      } else {
        tail.erase(0, 32);
        tail.push_back(buf[i]);
      }
    }
  }
  close(out[0]);
  feeder.join();
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  run.peakKb = usage.ru_maxrss;
  return run;
}

void BatchEndToEnd(benchmark::State& state) {
  const long rows = state.range(0);
  BatchRun last;
  double cpu = 0, wall = 0;
  for (auto _ : state) {
    last = RunBatch(rows);
    state.SetIterationTime(last.wallSeconds);
    cpu += last.cpuSeconds;
    wall += last.wallSeconds;
  }
  if (last.exit != 0 || last.lines != rows + 1 || last.solved != rows) {
    state.SkipWithError(("exit " + std::to_string(last.exit) + ", " + std::to_string(last.lines) + " lines, " +
                         std::to_string(last.solved) + " solved of " + std::to_string(rows))
                            .c_str());
    return;
  }
  const auto runs = static_cast<double>(state.iterations());
  state.counters["cpu_us_per_row"] = cpu / runs / static_cast<double>(rows) * 1e6;
  state.counters["wall_us_per_row"] = wall / runs / static_cast<double>(rows) * 1e6;
  state.counters["peak_rss_kB"] = static_cast<double>(last.peakKb);
  state.SetItemsProcessed(static_cast<int64_t>(runs) * rows);
}

[[maybe_unused]] const int registered = [] {
  auto* b = benchmark::RegisterBenchmark("BatchEndToEnd", BatchEndToEnd);
  b->Arg(2000)->Arg(20000);
  if (const char* extra = std::getenv("ZYNTA_BATCH_ROWS")) {
    if (const long n = std::strtol(extra, nullptr, 10); n > 0) b->Arg(n);
  }
  b->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
  return 0;
}();

}  // namespace
