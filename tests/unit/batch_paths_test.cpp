// The batch solves plain rows on records and the rest through the window; both must give what
// the window alone gives. Thousands of generated rows (every equation, problems 0 to 6, units
// that go through the specific gravity and units that do not, decimals columns, missing,
// refused, malformed and overflowing values) are solved both ways and compared line by line:
// every field's text and value, and the status.
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/batch_command.h"

namespace zynta::cli {
namespace {

std::string Solve(const std::string& csv, BatchPath path, BatchCounts* counts = nullptr) {
  std::istringstream in(csv);
  std::ostringstream out, err;
  BatchCommand({"--json", "-"}, in, out, err, path, counts);
  EXPECT_EQ(err.str(), "");
  return out.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream s(text);
  for (std::string line; std::getline(s, line);) lines.push_back(line);
  return lines;
}

// A cell for a parameter: mostly an ordinary value, sometimes missing, zero, negative, no
// number, a backspace, too large for the solve, or written with many digits.
std::string ValueCell(std::mt19937& rng, double low, double high) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const double pick = unit(rng);
  if (pick < 0.06) return "";
  if (pick < 0.08) return "0";
  if (pick < 0.10) return "-1.5";
  if (pick < 0.11) return "abc";
  if (pick < 0.12) return "1\b2";
  if (pick < 0.13) return "1e300";
  if (pick < 0.14) return "1e-300";
  const double v = low * std::pow(high / low, unit(rng));
  char text[32];
  std::snprintf(text, sizeof text, pick < 0.5 ? "%.4g" : pick < 0.8 ? "%.7g" : "%.3e", v);
  return text;
}

const char* const kHeaders[] = {
    "equation,problem,IDia [in],Len [ft],Fric [ft],Vis [cSt],SG,Flow [gpm],HL [ftliq],Vel [ft/s]",
    "equation,problem,IDia [mm],Len [m],Fric [mm],Vis [cpoises],SG,Flow [L/s],HL [psi],Vel [m/s]",
    "equation,problem,SG,HL [kPa],Vis [cpoises],Flow [m3/h],IDia [in],Len [ft],Fric,Vel",
    "equation,problem,IDia,Len,Fric,Vis,SG,Flow,HL,Vel,Flow decimals,HL decimals",
};

// `count` rows under `header`. With `meanRun` above 1 the equation and problem stay the same
// for runs of rows (about that long on average), as a batch of one kind of problem has them.
std::string GeneratedRows(const std::string& header, std::mt19937& rng, int count, int meanRun = 1) {
  const char* equations[] = {"Hazen-Williams", "Darcy-Weisbach", "Mannings", ""};
  std::uniform_int_distribution<int> problem(0, 6), equation(0, 3), decimals(0, 6);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::string csv = header + "\n";
  int eq = 0;
  int pr = 0;
  for (int row = 0; row < count; ++row) {
    if (row == 0 || meanRun <= 1 || unit(rng) < 1.0 / meanRun) {
      eq = equation(rng);
      pr = problem(rng);
    }
    const bool darcy = eq == 1;
    csv += equations[eq];
    csv += "," + std::to_string(pr);
    // The values in the order of the header's parameter columns.
    size_t at = header.find(',', header.find(',') + 1);
    while (at != std::string::npos) {
      const size_t next = header.find(',', at + 1);
      const std::string name = header.substr(at + 1, next == std::string::npos ? next : next - at - 1);
      std::string cell;
      if (name.find("decimals") != std::string::npos) {
        if (unit(rng) < 0.5) cell = std::to_string(decimals(rng));
      } else if (name.rfind("IDia", 0) == 0) {
        cell = ValueCell(rng, 0.2, 1500);
      } else if (name.rfind("Len", 0) == 0) {
        cell = ValueCell(rng, 1, 60000);
      } else if (name.rfind("Fric", 0) == 0) {
        cell = darcy ? ValueCell(rng, 1e-6, 1) : ValueCell(rng, 0.008, 150);
      } else if (name.rfind("Vis", 0) == 0) {
        cell = ValueCell(rng, 1e-6, 100);
      } else if (name.rfind("SG", 0) == 0) {
        cell = ValueCell(rng, 0.6, 1.6);
      } else if (name.rfind("Flow", 0) == 0) {
        cell = ValueCell(rng, 0.001, 100000);
      } else if (name.rfind("HL", 0) == 0) {
        cell = ValueCell(rng, 0.001, 2000);
      } else {
        cell = ValueCell(rng, 0.1, 20);
      }
      csv += "," + cell;
      at = next;
    }
    csv += "\n";
  }
  return csv;
}

// Both paths over the same rows, line by line; the number of lines compared.
size_t CompareLines(const std::string& csv, const std::string& records, const std::string& window) {
  const std::vector<std::string> ours = Lines(records);
  const std::vector<std::string> theirs = Lines(window);
  EXPECT_EQ(ours.size(), theirs.size());
  const std::vector<std::string> input = Lines(csv);
  size_t compared = 0;
  for (size_t i = 0; i < ours.size() && i < theirs.size(); ++i) {
    EXPECT_EQ(ours[i], theirs[i]) << "line " << i + 1 << ": " << (i < input.size() ? input[i] : "");
    ++compared;
  }
  return compared;
}

TEST(BatchPaths, RecordsGiveWhatTheWindowGives) {
  std::mt19937 rng(20261211);
  size_t compared = 0;
  for (const char* const header : kHeaders) {
    const std::string csv = GeneratedRows(header, rng, 1200);
    BatchCounts counts;
    const std::string records = Solve(csv, BatchPath::Records, &counts);
    // Most rows are plain; those with a fault, a key or decimals out of the menu go through the window.
    EXPECT_GT(counts.records, 800) << header;
    compared += CompareLines(csv, records, Solve(csv, BatchPath::Window)) - 1;  // the JSON has no header line
  }
  EXPECT_EQ(compared, 4800u - 4u);
}

// Runs of rows of one problem: after the first, each starts from what the row before left on
// records, and the window catches up only where a row needs it. The JSON report, made from the
// window at every row, shows each field's text and value as the window alone has them; the
// CSV's steady rows never touch the window.
TEST(BatchPaths, RunsOfOneProblemGiveWhatTheWindowGives) {
  std::mt19937 rng(17);
  for (const bool json : {true, false}) {
    for (const char* const header : kHeaders) {
      const std::string csv = GeneratedRows(header, rng, 1000, 25);
      BatchCounts counts;
      std::istringstream in(csv), again(csv);
      std::ostringstream records, window, err;
      const std::vector<std::string> args =
          json ? std::vector<std::string>{"--json", "-"} : std::vector<std::string>{"-"};
      BatchCommand(args, in, records, err, BatchPath::Records, &counts);
      BatchCommand(args, again, window, err, BatchPath::Window);
      EXPECT_EQ(err.str(), "");
      EXPECT_GT(counts.steady, 400) << header;
      EXPECT_EQ(CompareLines(csv, records.str(), window.str()), json ? 1000u : 1001u) << header;
    }
  }
}

}  // namespace
}  // namespace zynta::cli
