// Data packets and the tables over them.
//
// DataPacket::Parse either refuses the input with DataPacketError or gives a packet whose
// rows hold one value per column, each of its column's kind, texts valid UTF-8 and no longer
// than the column's width. A table over the packet, indexed by its first one or two columns,
// shows every row once; a detail table linked through the first column shows the master's
// row's rows; every value a row shows is found again by Locate and FindKey.

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "fuzz_check.h"
#include "refdata/data_packet.h"
#include "refdata/table.h"
#include "units/number_text.h"

namespace zynta::refdata {
namespace {

using fuzz::Shown;

// The number of UTF-8 characters of text; -1 when it is not well-formed UTF-8.
long Utf8Length(std::string_view text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  long count = 0;
  for (std::size_t i = 0; i < text.size(); ++count) {
    const unsigned c = s[i];
    std::size_t n = c < 0x80                 ? 1
                    : c >= 0xC2 && c <= 0xDF ? 2
                    : c >= 0xE0 && c <= 0xEF ? 3
                    : c >= 0xF0 && c <= 0xF4 ? 4
                                             : 0;
    if (n == 0 || text.size() - i < n) return -1;
    unsigned cp = n == 1 ? c : n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
    for (std::size_t k = 1; k < n; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) return -1;
      cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    const unsigned least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
    i += n;
  }
  return count;
}

void CheckPacket(const DataPacket& packet) {
  for (std::size_t c = 0; c < packet.columns.size(); ++c) {
    const Column& column = packet.columns[c];
    FUZZ_CHECK(!column.name.empty(), "a column without a name");
    FUZZ_CHECK(packet.ColumnIndex(column.name) == static_cast<int>(c), "column " + Shown(column.name));
    if (column.type == FieldType::String) FUZZ_CHECK(column.width > 0, Shown(column.name));
  }
  for (const std::vector<Value>& row : packet.rows) {
    FUZZ_CHECK(row.size() == packet.columns.size(), "a row with " + std::to_string(row.size()) + " values");
    for (std::size_t c = 0; c < row.size(); ++c) {
      const Value& v = row[c];
      if (std::holds_alternative<std::monostate>(v)) continue;
      switch (packet.columns[c].type) {
        case FieldType::String: {
          const auto* text = std::get_if<std::string>(&v);
          FUZZ_CHECK(text != nullptr, "a text column with a number");
          const long length = Utf8Length(*text);
          FUZZ_CHECK(length >= 0, "not UTF-8: " + Shown(*text));
          FUZZ_CHECK(length <= packet.columns[c].width, "longer than its width: " + Shown(*text));
          break;
        }
        case FieldType::Real:
          FUZZ_CHECK(std::holds_alternative<double>(v), "a real column with another value");
          FUZZ_CHECK(std::isfinite(std::get<double>(v)), "a real that is not finite");
          break;
        case FieldType::Integer:
          FUZZ_CHECK(std::holds_alternative<std::int32_t>(v), "an integer column with another value");
          break;
      }
    }
  }
}

// The text that FindKey and Locate take for the current row's value of a column; "" for a null.
std::string KeyText(const Table& table, const Column& column) {
  const std::string shown = table.AsString(column.name);
  if (shown.empty() || column.type != FieldType::Real) return shown;
  // AsString has 15 digits; 17 give the double back.
  return units::FormatGeneral(table.AsFloat(column.name), 17, 0, '.');
}

// Every row of the table, once each, from First to Eof; each value found again.
void Walk(Table& table, const std::vector<Column>& columns, std::size_t expected) {
  FUZZ_CHECK(table.RowCount() == expected,
             std::to_string(table.RowCount()) + " rows, not " + std::to_string(expected));
  std::vector<std::vector<std::string>> keys;
  table.First();
  for (std::size_t n = 0; !table.Eof(); ++n) {
    FUZZ_CHECK(n < expected, "more rows walked than the table has");
    std::vector<std::string>& row = keys.emplace_back();
    for (const Column& column : columns) {
      row.push_back(KeyText(table, column));
      if (column.type == FieldType::Real && !row.back().empty()) {
        const std::string shown = table.AsString(column.name);
        const std::optional<double> back = units::ParseFieldNumber(shown, '.');
        FUZZ_CHECK(back.has_value(), "AsString gave " + Shown(shown));
      }
    }
    table.Next();
  }
  FUZZ_CHECK(keys.size() == expected, std::to_string(keys.size()) + " rows walked of " + std::to_string(expected));
  for (const std::vector<std::string>& row : keys) {
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (row[c].empty()) continue;
      FUZZ_CHECK(table.Locate(columns[c].name, row[c]), "Locate did not find " + Shown(row[c]));
      FUZZ_CHECK(KeyText(table, columns[c]) == row[c], "Locate went to another row");
    }
    if (!row[0].empty()) {
      FUZZ_CHECK(table.FindKey({row[0]}), "FindKey did not find " + Shown(row[0]));
      FUZZ_CHECK(KeyText(table, columns[0]) == row[0], "FindKey went to another row");
    }
  }
}

void CheckTables(const DataPacket& packet) {
  const std::vector<Column>& columns = packet.columns;
  // A packet may well declare the name this check takes for a missing one: only a name the
  // packet does not have must be refused.
  const std::string missingName = "no such column \x01";
  if (packet.ColumnIndex(missingName) < 0) {
    try {
      Table missing(packet, {missingName});
      FUZZ_CHECK(false, "an index over a missing column");
    } catch (const DataPacketError&) {
    }
  }
  if (columns.empty()) {
    Table table(packet, {});
    FUZZ_CHECK(table.RowCount() == packet.rows.size(), "rows of a table without columns");
    return;
  }
  std::vector<std::string> index = {columns[0].name};
  Table master(packet, index);
  Walk(master, columns, packet.rows.size());

  if (columns.size() > 1) index.push_back(columns[1].name);
  Table detail(packet, index);
  Walk(detail, columns, packet.rows.size());
  detail.SetMaster(master, columns[0].name);
  std::size_t shown = 0;
  master.First();
  for (std::size_t n = 0; !master.Eof() && n < 64; ++n) {
    const std::string link = KeyText(master, columns[0]);
    std::size_t rows = 0;
    for (detail.First(); !detail.Eof(); detail.Next(), ++rows)
      FUZZ_CHECK(KeyText(detail, columns[0]) == link, "a detail row of another master row");
    FUZZ_CHECK(rows == detail.RowCount(), "detail rows walked and counted differ");
    shown += rows;
    master.Next();
  }
  (void)shown;
}

}  // namespace
}  // namespace zynta::refdata

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zynta::refdata;
  DataPacket packet;
  try {
    packet = DataPacket::Parse(zynta::fuzz::AsText(data, size));
  } catch (const DataPacketError&) {
    return 0;
  }
  CheckPacket(packet);
  CheckTables(packet);
  return 0;
}
