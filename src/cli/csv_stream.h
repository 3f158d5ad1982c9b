#pragma once
// Comma-separated values, one record at a time: fields in double quotes may hold commas,
// quotes (doubled) and line breaks; records end with LF, CR LF or CR.

#include <array>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace zynta::cli {

class CsvReader {
 public:
  explicit CsvReader(std::istream& in) : in_(in) {}

  // The next record's cells (the vector and its strings are reused); false at the end.
  // Empty lines are no records. A UTF-8 byte-order mark before the first record is dropped.
  bool Next(std::vector<std::string>& cells);
  // Whether the last record read ended with CR LF.
  bool EndedWithCrLf() const { return crlf_; }
  // The line the last record started on, from 1.
  long Line() const { return recordLine_; }

 private:
  int Get();
  int Peek();
  bool Fill();

  std::istream& in_;
  std::array<char, 1 << 16> buffer_{};
  size_t pos_ = 0;
  size_t end_ = 0;
  bool started_ = false;
  bool crlf_ = false;
  long line_ = 1;
  long recordLine_ = 0;
};

// Appends one cell, quoted when it holds a comma, a quote, a line break or edge spaces.
void AppendCsvCell(std::string& line, std::string_view cell);

}  // namespace zynta::cli
