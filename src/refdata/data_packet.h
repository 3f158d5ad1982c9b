#pragma once
// The XML data packet: one whole table in one XML document, its column definitions first
// (METADATA/FIELDS/FIELD) and its rows after them (ROWDATA/ROW, one attribute per column).

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zynta::refdata {

// A file that is missing, empty, not a data packet, or holds a value its column cannot take.
struct DataPacketError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

enum class FieldType { String, Real, Integer };

struct Column {
  std::string name;  // attrname
  FieldType type;    // fieldtype "string", "r8", "i4"
  int width = 0;     // WIDTH of a string column: longer texts are cut to it
};

// A missing attribute is a null value.
using Value = std::variant<std::monostate, std::string, double, std::int32_t>;

struct DataPacket {
  std::vector<Column> columns;
  std::vector<std::vector<Value>> rows;  // one value per column, in column order

  // -1 when the packet has no such column.
  int ColumnIndex(std::string_view name) const;

  static DataPacket Parse(std::string_view xml);
  static DataPacket Load(const std::filesystem::path& file);
};

}  // namespace zynta::refdata
