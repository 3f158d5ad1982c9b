// The batch command's CSV input, header row first.
//
// CsvReader keeps every cell within MaxCsvCellChars characters and every record within its
// limits (a record it refuses says why), and a record written back with AppendCsvCell reads as
// the same cells. `zynta-cli batch` over the input ends with 0, 1 or 2; with 0 or 1 its output
// is one CSV record per input record after the header, each as wide as the output's header;
// its messages hold no control character but line ends.

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/batch_command.h"
#include "cli/csv_stream.h"
#include "fuzz_check.h"

namespace zynta::cli {
namespace {

using fuzz::Shown;

size_t Characters(std::string_view text) {
  size_t count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

std::vector<std::vector<std::string>> ReadAll(const std::string& text, std::vector<std::string>* refusals) {
  std::istringstream in(text);
  CsvReader reader(in);
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> cells;
  while (reader.Next(cells)) {
    FUZZ_CHECK(cells.size() <= MaxCsvCells, std::to_string(cells.size()) + " cells");
    for (const std::string& cell : cells) FUZZ_CHECK(Characters(cell) <= MaxCsvCellChars, Shown(cell));
    if (refusals) refusals->push_back(reader.Refusal());
    records.push_back(cells);
  }
  return records;
}

void CheckReader(const std::string& text) {
  std::vector<std::string> refusals;
  const auto records = ReadAll(text, &refusals);
  for (size_t r = 0; r < records.size(); ++r) {
    if (!refusals[r].empty()) continue;
    std::string line;
    for (size_t c = 0; c < records[r].size(); ++c) {
      if (c) line += ',';
      AppendCsvCell(line, records[r][c]);
    }
    const auto again = ReadAll(line + "\n", nullptr);
    // A record of one empty cell writes as an empty line, which is no record.
    if (records[r].size() == 1 && records[r][0].empty()) continue;
    FUZZ_CHECK(again.size() == 1 && again[0] == records[r], "record " + std::to_string(r) + ": " + Shown(line));
  }
}

void CheckBatch(const std::string& text) {
  std::istringstream in(text);
  std::ostringstream out;
  std::ostringstream err;
  const int status = BatchCommand({"-"}, in, out, err);
  FUZZ_CHECK(status >= 0 && status <= 2, "exit " + std::to_string(status));
  for (const char c : err.str()) {
    const auto u = static_cast<unsigned char>(c);
    FUZZ_CHECK(u >= 0x20 || c == '\n', "a control character in " + Shown(err.str()));
  }
  if (status == 2) return;
  const auto inputs = ReadAll(text, nullptr);
  const auto outputs = ReadAll(out.str(), nullptr);
  FUZZ_CHECK(outputs.size() == inputs.size(), std::to_string(outputs.size()) + " output records of " +
                                                  std::to_string(inputs.size()) + ": " + Shown(out.str()));
  for (const auto& record : outputs) FUZZ_CHECK(record.size() == outputs[0].size(), Shown(out.str()));
}

}  // namespace
}  // namespace zynta::cli

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(zynta::fuzz::AsText(data, size));
  zynta::cli::CheckReader(text);
  // A calculator starts for each run: only inputs of a few rows, so the fuzzer keeps its pace.
  if (size <= 4096) zynta::cli::CheckBatch(text);
  return 0;
}
