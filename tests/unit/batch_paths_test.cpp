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

TEST(BatchPaths, RecordsGiveWhatTheWindowGives) {
  const char* const headers[] = {
      "equation,problem,IDia [in],Len [ft],Fric [ft],Vis [cSt],SG,Flow [gpm],HL [ftliq],Vel [ft/s]",
      "equation,problem,IDia [mm],Len [m],Fric [mm],Vis [cpoises],SG,Flow [L/s],HL [psi],Vel [m/s]",
      "equation,problem,SG,HL [kPa],Vis [cpoises],Flow [m3/h],IDia [in],Len [ft],Fric,Vel",
      "equation,problem,IDia,Len,Fric,Vis,SG,Flow,HL,Vel,Flow decimals,HL decimals",
  };
  const char* equations[] = {"Hazen-Williams", "Darcy-Weisbach", "Mannings", ""};
  std::mt19937 rng(20261211);
  std::uniform_int_distribution<int> problem(0, 6), equation(0, 3), decimals(0, 6);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  size_t compared = 0;
  for (const char* const columnNames : headers) {
    const std::string header = columnNames;
    std::string csv = header + "\n";
    for (int row = 0; row < 1200; ++row) {
      const int eq = equation(rng);
      const bool darcy = eq == 1;
      csv += equations[eq];
      csv += "," + std::to_string(problem(rng));
      // The values in the order of the header's parameter columns.
      const std::string columns = header;
      size_t at = columns.find(',', columns.find(',') + 1);
      while (at != std::string::npos) {
        const size_t next = columns.find(',', at + 1);
        const std::string name = columns.substr(at + 1, next == std::string::npos ? next : next - at - 1);
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
    BatchCounts counts;
    const std::vector<std::string> records = Lines(Solve(csv, BatchPath::Records, &counts));
    // Most rows are plain; those with a fault, a key or decimals out of the menu go through the window.
    EXPECT_GT(counts.records, 800) << header;
    const std::vector<std::string> window = Lines(Solve(csv, BatchPath::Window));
    ASSERT_EQ(records.size(), window.size()) << header;
    const std::vector<std::string> input = Lines(csv);
    for (size_t i = 0; i < records.size(); ++i) {
      EXPECT_EQ(records[i], window[i]) << "row " << i + 1 << ": " << input[i + 1];
      ++compared;
    }
  }
  EXPECT_EQ(compared, 4800u);
}

}  // namespace
}  // namespace zynta::cli
