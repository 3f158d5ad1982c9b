#pragma once
// Comma-separated values, one record at a time: fields in double quotes may hold commas,
// quotes (doubled) and line breaks; records end with LF, CR LF or CR.

#include <array>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace zynta::cli {

// A record or cell beyond these is refused, and memory stays within them whatever the input.
inline constexpr size_t MaxCsvCellChars = 256;        // characters (UTF-8 sequences)
inline constexpr size_t MaxCsvRecordBytes = 1 << 20;  // the record as written, quotes included
inline constexpr size_t MaxCsvCells = 4096;           // far beyond any header the batch can use

class CsvReader {
 public:
  explicit CsvReader(std::istream& in) : in_(in) {}

  // The next record's cells (the vector and its strings are reused); false at the end.
  // Empty lines are no records. A UTF-8 byte-order mark before the first record is dropped.
  // A record that breaks a limit is still read to its end (an unclosed quote: to the end of
  // the input) and returned with Refusal() saying why; a cell over the limit is then empty,
  // and a record over the limit has no cells.
  bool Next(std::vector<std::string>& cells);
  // Why the last record was refused ("cell 3 is longer than 256 characters"); "" when not. A
  // record with more than MaxCsvCells cells keeps its first ones.
  const std::string& Refusal() const { return refusal_; }
  // Whether the last record read ended with CR LF.
  bool EndedWithCrLf() const { return crlf_; }
  // The line the last record started on, from 1.
  long Line() const { return recordLine_; }

 private:
  int Get();
  int Peek();
  bool Fill();
  int RecordGet(std::vector<std::string>& cells);
  void Keep(std::string* cell, int c, size_t count);
  bool KeepPlainRun(std::string* cell, size_t count);
  bool ReadRecord(std::vector<std::string>& cells);

  std::istream& in_;
  std::array<char, 1 << 16> buffer_{};
  size_t pos_ = 0;
  size_t end_ = 0;
  bool started_ = false;
  bool crlf_ = false;
  long line_ = 1;
  long recordLine_ = 0;
  size_t recordBytes_ = 0;
  size_t cellBytes_ = 0;
  size_t cellChars_ = 0;
  std::string refusal_;
};

// Appends one cell, quoted when it holds a comma, a quote, a line break or edge spaces.
void AppendCsvCell(std::string& line, std::string_view cell);

}  // namespace zynta::cli
