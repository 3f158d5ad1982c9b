#include "cli/csv_stream.h"

#include <algorithm>
#include <array>

namespace zynta::cli {

bool CsvReader::Fill() {
  if (pos_ < end_) return true;
  if (!in_) return false;
  in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  end_ = static_cast<size_t>(in_.gcount());
  pos_ = 0;
  return end_ > 0;
}

int CsvReader::Get() { return Fill() ? static_cast<unsigned char>(buffer_[pos_++]) : -1; }

int CsvReader::Peek() { return Fill() ? static_cast<unsigned char>(buffer_[pos_]) : -1; }

// One byte of a cell. Once the cell is over its limit it is emptied and the record marked
// refused; once the record is, nothing is kept (`cell` is null). The first cell limit broken is
// the one reported, unless the record breaks its own limit later.
void CsvReader::Keep(std::string* cell, int c, size_t count) {
  if (recordBytes_ > MaxCsvRecordBytes || count > MaxCsvCells) cell = nullptr;
  ++cellBytes_;
  if ((c & 0xC0) != 0x80) ++cellChars_;
  if (cellChars_ > MaxCsvCellChars) {
    if (refusal_.empty())
      refusal_ =
          "cell " + std::to_string(count) + " is longer than " + std::to_string(MaxCsvCellChars) + " characters";
    if (cell) cell->clear();
    return;
  }
  if (cell) cell->push_back(static_cast<char>(c));
}

int CsvReader::RecordGet(std::vector<std::string>& cells) {
  const int c = Get();
  if (c >= 0 && ++recordBytes_ == MaxCsvRecordBytes + 1) {
    refusal_ = "the record is longer than 1 MiB (" + std::to_string(MaxCsvRecordBytes) + " bytes)";
    cells.clear();
    cells.shrink_to_fit();
  }
  return c;
}

// The bytes from the read position up to the next separator, quote or line end within the
// buffer, kept as one piece when they leave every limit unbroken (Keep byte by byte otherwise,
// so that a broken limit is reported as it is there). False when nothing was kept.
bool CsvReader::KeepPlainRun(std::string* cell, size_t count) {
  if (!cell || pos_ >= end_ || count > MaxCsvCells) return false;
  size_t run = pos_;
  size_t chars = 0;
  for (; run < end_; ++run) {
    const char b = buffer_[run];
    if (b == ',' || b == '"' || b == '\r' || b == '\n') break;
    if ((static_cast<unsigned char>(b) & 0xC0) != 0x80) ++chars;
  }
  const size_t n = run - pos_;
  if (n == 0 || recordBytes_ + n > MaxCsvRecordBytes || cellChars_ + chars > MaxCsvCellChars) return false;
  cell->append(buffer_.data() + pos_, n);
  pos_ = run;
  recordBytes_ += n;
  cellBytes_ += n;
  cellChars_ += chars;
  return true;
}

// Reads one record to its end; false for an empty line.
bool CsvReader::ReadRecord(std::vector<std::string>& cells) {
  size_t count = 0;
  std::string* cell = nullptr;
  auto newCell = [&] {
    cellBytes_ = 0;
    cellChars_ = 0;
    ++count;
    if (count == MaxCsvCells + 1 && refusal_.empty())
      refusal_ = "the record has more than " + std::to_string(MaxCsvCells) + " cells";
    if (recordBytes_ > MaxCsvRecordBytes || count > MaxCsvCells) {
      cell = nullptr;
    } else if (count <= cells.size()) {
      cell = &cells[count - 1];
      cell->clear();
    } else {
      cell = &cells.emplace_back();
    }
  };
  newCell();
  bool any = false;
  for (;;) {
    if (KeepPlainRun(cell, count)) {
      any = true;
      continue;
    }
    int c = RecordGet(cells);
    if (c == '"' && cellBytes_ == 0) {
      any = true;
      while ((c = RecordGet(cells)) >= 0) {
        if (c == '"') {
          if (Peek() != '"') break;
          RecordGet(cells);
        } else if (c == '\n') {
          ++line_;
        }
        Keep(cell, c, count);
      }
      continue;  // what follows the closing quote up to the separator is kept
    }
    if (c < 0) break;
    if (c == ',') {
      any = true;
      newCell();
      continue;
    }
    if (c == '\r' || c == '\n') {
      ++line_;
      if (c == '\r' && Peek() == '\n') {
        RecordGet(cells);
        crlf_ = true;
      }
      break;
    }
    any = true;
    Keep(cell, c, count);
  }
  cells.resize(recordBytes_ > MaxCsvRecordBytes ? 0 : std::min(count, MaxCsvCells));
  return any;
}

bool CsvReader::Next(std::vector<std::string>& cells) {
  if (!started_) {
    started_ = true;
    // read fills the whole buffer unless the input is shorter
    if (Fill() && end_ >= 3 && buffer_[0] == '\xEF' && buffer_[1] == '\xBB' && buffer_[2] == '\xBF') pos_ = 3;
  }
  for (;;) {
    if (Peek() < 0) {
      cells.clear();
      return false;
    }
    recordLine_ = line_;
    crlf_ = false;
    recordBytes_ = 0;
    refusal_.clear();
    if (ReadRecord(cells)) return true;  // otherwise an empty line: no record
  }
}

namespace {

// The characters that make a cell quoted wherever they stand.
constexpr std::array<bool, 256> QuotedBy = [] {
  std::array<bool, 256> table{};
  for (const unsigned char c : {',', '"', '\r', '\n'}) table[c] = true;
  return table;
}();

}  // namespace

void AppendCsvCell(std::string& line, std::string_view cell) {
  bool quote = !cell.empty() && (cell.front() == ' ' || cell.back() == ' ');
  for (size_t i = 0; i < cell.size() && !quote; ++i) quote = QuotedBy[static_cast<unsigned char>(cell[i])];
  if (!quote) {
    line.append(cell);
    return;
  }
  line.push_back('"');
  // Runs up to each double quote, which is doubled.
  for (size_t at = 0; at < cell.size();) {
    const size_t q = cell.find('"', at);
    const size_t end = q == std::string_view::npos ? cell.size() : q + 1;
    line.append(cell.substr(at, end - at));
    if (q != std::string_view::npos) line.push_back('"');
    at = end;
  }
  line.push_back('"');
}

}  // namespace zynta::cli
