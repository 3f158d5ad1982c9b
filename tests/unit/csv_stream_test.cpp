// The CSV reader keeps runs of plain bytes whole and goes byte by byte at quotes, line ends and
// limits: both must read every record as the format has it, wherever the 64 KiB reads cut it.
#include "cli/csv_stream.h"

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace zynta::cli {
namespace {

struct Record {
  std::vector<std::string> cells;
  std::string refusal;
  bool operator==(const Record&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Record& r) {
  os << "{";
  for (const std::string& c : r.cells) os << "[" << (c.size() > 40 ? c.substr(0, 40) + "..." : c) << "]";
  return os << " \"" << r.refusal << "\"}";
}

std::vector<Record> ReadAll(const std::string& text) {
  std::istringstream in(text);
  CsvReader reader(in);
  std::vector<Record> records;
  std::vector<std::string> cells;
  while (reader.Next(cells)) records.push_back({cells, reader.Refusal()});
  return records;
}

TEST(CsvReader, ReadsRecordsWhereverTheReadsCutThem) {
  const std::string e256 = [] {
    std::string s;
    for (int i = 0; i < 256; ++i) s += "\xC3\xA9";  // 256 characters in 512 bytes
    return s;
  }();
  // A record of short cells that ends 3 bytes before the first read's end, so that the next
  // record's first cell is cut by it.
  std::vector<std::string> padCells;
  std::string pad;
  while (pad.size() < 65532 - 21) {
    padCells.emplace_back(20, 'p');
    pad += (pad.empty() ? "" : ",") + padCells.back();
  }
  padCells.emplace_back(65532 - pad.size() - 1, 'q');
  pad += "," + padCells.back();
  struct Case {
    const char* what;
    std::string text;
    std::vector<Record> expected;
  };
  const std::vector<Case> cases = {
      {"plain", "a,b,c\n1,2,3\n", {{{"a", "b", "c"}, ""}, {{"1", "2", "3"}, ""}}},
      {"quotes", "\"x,y\",a\"b\",\"q\"\"q\"\r\n", {{{"x,y", "a\"b\"", "q\"q"}, ""}}},
      {"empty cells and lines", "\n,,\n\n", {{{"", "", ""}, ""}}},
      {"no line end", "1.5,2", {{{"1.5", "2"}, ""}}},
      {"256 characters of two bytes", "x," + e256 + "\n", {{{"x", e256}, ""}}},
      {"257 characters", "x," + e256 + "\xC3\xA9,y\n", {{{"x", "", "y"}, "cell 2 is longer than 256 characters"}}},
      {"a cell across the read", pad + "\n123456,\"a\nb\"\n", {{padCells, ""}, {{"123456", "a\nb"}, ""}}},
  };
  ASSERT_EQ(pad.size(), 65532u);
  for (const Case& c : cases) EXPECT_EQ(ReadAll(c.text), c.expected) << c.what;
}

// A cell is written as it is unless a comma, quote, line end or an outer space needs quotes;
// a quote inside is doubled.
TEST(AppendCsvCell, QuotesOnlyWhatNeedsIt) {
  struct Cell {
    const char* cell;
    const char* written;
  };
  const Cell cells[] = {
      {"", ""},
      {"12.35", "12.35"},
      {"Solved!  Flow is not turbulent", "Solved!  Flow is not turbulent"},
      {"HL given D,L,E,Vis,Q", "\"HL given D,L,E,Vis,Q\""},
      {" 1", "\" 1\""},
      {"1 ", "\"1 \""},
      {"a\"b", "\"a\"\"b\""},
      {"\"", "\"\"\"\""},
      {"\"x\"\"", "\"\"\"x\"\"\"\"\""},
      {"line\r\nend", "\"line\r\nend\""},
  };
  for (const Cell& c : cells) {
    std::string line = "x,";
    AppendCsvCell(line, c.cell);
    EXPECT_EQ(line, std::string("x,") + c.written) << c.cell;
  }
}

}  // namespace
}  // namespace zynta::cli
