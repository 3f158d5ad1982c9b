#include "cli/csv_stream.h"

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
    size_t count = 0;
    std::string* cell = nullptr;
    auto newCell = [&] {
      if (count < cells.size()) {
        cells[count].clear();
      } else {
        cells.emplace_back();
      }
      cell = &cells[count++];
    };
    newCell();
    bool any = false;
    for (;;) {
      int c = Get();
      if (c == '"' && cell->empty()) {
        any = true;
        while ((c = Get()) >= 0) {
          if (c == '"') {
            if (Peek() != '"') break;
            Get();
          } else if (c == '\n') {
            ++line_;
          }
          cell->push_back(static_cast<char>(c));
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
          Get();
          crlf_ = true;
        }
        break;
      }
      any = true;
      cell->push_back(static_cast<char>(c));
    }
    cells.resize(count);
    if (any) return true;  // otherwise an empty line: no record
  }
}

void AppendCsvCell(std::string& line, std::string_view cell) {
  const bool quote = cell.find_first_of(",\"\r\n") != std::string_view::npos ||
                     (!cell.empty() && (cell.front() == ' ' || cell.back() == ' '));
  if (!quote) {
    line.append(cell);
    return;
  }
  line.push_back('"');
  for (const char c : cell) {
    if (c == '"') line.push_back('"');
    line.push_back(c);
  }
  line.push_back('"');
}

}  // namespace zynta::cli
