#include "refdata/data_packet.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <fstream>
#include <optional>
#include <system_error>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "units/utf8.h"

namespace zynta::refdata {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const std::string& what) { throw DataPacketError(what); }

// Values quoted in messages are cut to this many bytes, so that a runaway attribute does not
// make a runaway message.
constexpr std::size_t kQuoteMax = 40;

std::string Quote(std::string_view text) {
  std::string quoted = "'";
  quoted += text.substr(0, kQuoteMax);
  if (text.size() > kQuoteMax) quoted += "...";
  quoted += "'";
  return quoted;
}

// Reading the numbers of a packet must not leave floating-point flags behind: the calculator
// checks them to report faults of its own computations.
class FloatFlagsKeeper {
 public:
  FloatFlagsKeeper() { std::fegetexceptflag(&flags_, FE_ALL_EXCEPT); }
  ~FloatFlagsKeeper() { std::fesetexceptflag(&flags_, FE_ALL_EXCEPT); }
  FloatFlagsKeeper(const FloatFlagsKeeper&) = delete;
  FloatFlagsKeeper& operator=(const FloatFlagsKeeper&) = delete;

 private:
  std::fexcept_t flags_{};
};

// ---------------------------------------------------------------------------
// Text encoding.
// ---------------------------------------------------------------------------

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// The value of the encoding named in the XML declaration at the start of xml; empty when
// there is no declaration or it names no encoding. A declaration that does not scan is left
// to the XML parser to refuse.
std::string_view DeclaredEncoding(std::string_view xml) {
  constexpr std::string_view kOpen = "<?xml";
  if (!xml.starts_with(kOpen) || xml.size() == kOpen.size() || !IsXmlSpace(xml[kOpen.size()])) return {};
  const std::size_t close = xml.find("?>", kOpen.size());
  if (close == std::string_view::npos) return {};
  const std::string_view decl = xml.substr(kOpen.size(), close - kOpen.size());
  std::size_t p = 0;
  const auto skipSpaces = [&] {
    while (p < decl.size() && IsXmlSpace(decl[p])) ++p;
  };
  for (;;) {
    skipSpaces();
    const std::size_t nameStart = p;
    while (p < decl.size() && IsAsciiLetter(decl[p])) ++p;
    const std::string_view name = decl.substr(nameStart, p - nameStart);
    if (name.empty()) return {};
    skipSpaces();
    if (p >= decl.size() || decl[p] != '=') return {};
    ++p;
    skipSpaces();
    if (p >= decl.size() || (decl[p] != '"' && decl[p] != '\'')) return {};
    const char quote = decl[p++];
    const std::size_t valueEnd = decl.find(quote, p);
    if (valueEnd == std::string_view::npos) return {};
    const std::string_view value = decl.substr(p, valueEnd - p);
    p = valueEnd + 1;
    if (name == "encoding") return value;
  }
}

// A packet without a declared encoding holds single-byte text, read as Latin-1; the parser
// turns it into UTF-8, the text of every string the packet yields.
pugi::xml_encoding ChooseEncoding(std::string_view xml) {
  if (xml.starts_with(kUtf8Bom)) return pugi::encoding_utf8;
  if (xml.starts_with("\xFE\xFF") || xml.starts_with("\xFF\xFE")) Fail("UTF-16 text is not supported");
  const std::string_view declared = DeclaredEncoding(xml);
  if (declared.empty() || SameName(declared, "ISO-8859-1")) return pugi::encoding_latin1;
  if (SameName(declared, "UTF-8")) return pugi::encoding_utf8;
  Fail("unsupported encoding " + Quote(declared));
}

// ---------------------------------------------------------------------------
// Values.
// ---------------------------------------------------------------------------

// Decimal with "." and an optional exponent, the whole text; not infinite, not NaN.
std::optional<double> ReadReal(std::string_view text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto res = std::from_chars(text.data(), end, value, std::chars_format::general);
  if (res.ec != std::errc() || res.ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

// Decimal, optionally negative, the whole text, in the 32-bit range.
std::optional<std::int32_t> ReadInteger(std::string_view text) {
  std::int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto res = std::from_chars(text.data(), end, value, 10);
  if (res.ec != std::errc() || res.ptr != end) return std::nullopt;
  return value;
}

// The first `width` characters of UTF-8 text (characters, not bytes).
std::string CutToWidth(std::string_view text, int width) {
  int count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // continuation byte
    if (count == width) return std::string(text.substr(0, i));
    ++count;
  }
  return std::string(text);
}

// ---------------------------------------------------------------------------
// Structure.
// ---------------------------------------------------------------------------

// One element at the top of the document and nothing but markup beside it.
pugi::xml_node DocumentElement(const pugi::xml_document& doc) {
  pugi::xml_node root;
  for (const pugi::xml_node node : doc.children()) {
    switch (node.type()) {
      case pugi::node_element:
        if (root) Fail("not well-formed XML: more than one root element");
        root = node;
        break;
      case pugi::node_pcdata:
      case pugi::node_cdata: Fail("not well-formed XML: text outside the root element");
      default: break;
    }
  }
  if (!root) Fail("not well-formed XML: no root element");
  return root;
}

Column ReadColumn(const pugi::xml_node field) {
  Column column;
  column.name = field.attribute("attrname").value();
  if (column.name.empty()) Fail("a FIELD without attrname");
  const std::string_view type = field.attribute("fieldtype").value();
  if (type == "string") {
    column.type = FieldType::String;
    const std::optional<std::int32_t> width = ReadInteger(field.attribute("WIDTH").value());
    if (!width || *width <= 0) Fail("text column " + Quote(column.name) + " without a valid WIDTH");
    column.width = *width;
  } else if (type == "r8") {
    column.type = FieldType::Real;
  } else if (type == "i4") {
    column.type = FieldType::Integer;
  } else {
    Fail("column " + Quote(column.name) + " has the unknown type " + Quote(type));
  }
  return column;
}

// Column positions by name, so that neither the duplicate check nor the rows' reads cost a scan
// of every column.
using ColumnPositions = std::unordered_map<std::string_view, std::size_t>;

std::vector<Column> ReadColumns(const pugi::xml_node fields) {
  std::vector<Column> columns;
  std::unordered_set<std::string> names;
  for (const pugi::xml_node field : fields.children("FIELD")) {
    Column column = ReadColumn(field);
    if (!names.insert(column.name).second) Fail("column " + Quote(column.name) + " is defined twice");
    columns.push_back(std::move(column));
  }
  return columns;
}

// An empty attribute of a number column is no value, like a missing one.
Value ReadValue(const Column& column, std::string_view text, std::size_t rowNumber) {
  const auto bad = [&](const char* what) {
    Fail("row " + std::to_string(rowNumber) + ": " + Quote(text) + " in column " + Quote(column.name) +
         " is not " + what);
  };
  switch (column.type) {
    case FieldType::String:
      // The text itself is valid UTF-8 by now; a character reference can still name a
      // surrogate or a code point beyond Unicode, which no XML document may hold.
      if (!units::IsUtf8(text)) Fail("not well-formed XML: a character reference to no character");
      return CutToWidth(text, column.width);
    case FieldType::Real: {
      if (text.empty()) return {};
      const std::optional<double> value = ReadReal(text);
      if (!value) bad("a real number");
      return *value;
    }
    case FieldType::Integer: {
      if (text.empty()) return {};
      const std::optional<std::int32_t> value = ReadInteger(text);
      if (!value) bad("a 32-bit integer");
      return *value;
    }
  }
  return {};
}

// Each row's attributes are walked once, whatever the number of columns and attributes; the
// values are then read in column order, so the first bad one reported is the leftmost column's.
std::vector<std::vector<Value>> ReadRows(const pugi::xml_node rowData, const std::vector<Column>& columns) {
  ColumnPositions positions;
  for (std::size_t c = 0; c < columns.size(); ++c) positions.emplace(columns[c].name, c);
  std::vector<std::vector<Value>> rows;
  std::vector<pugi::xml_attribute> found(columns.size());
  std::size_t rowNumber = 0;
  for (const pugi::xml_node row : rowData.children("ROW")) {
    ++rowNumber;
    std::fill(found.begin(), found.end(), pugi::xml_attribute());
    for (const pugi::xml_attribute attribute : row.attributes()) {
      // The first of repeated attributes counts; RowState and unknown attributes are ignored.
      const auto at = positions.find(attribute.name());
      if (at != positions.end() && !found[at->second]) found[at->second] = attribute;
    }
    std::vector<Value>& values = rows.emplace_back(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (found[c]) values[c] = ReadValue(columns[c], found[c].value(), rowNumber);
    }
  }
  return rows;
}

DataPacket ReadPacket(const pugi::xml_document& doc) {
  const pugi::xml_node root = DocumentElement(doc);
  if (std::string_view(root.name()) != "DATAPACKET")
    Fail("the root element is " + Quote(root.name()) + ", not DATAPACKET");
  const pugi::xml_node metadata = root.child("METADATA");
  if (!metadata) Fail("no METADATA");
  const pugi::xml_node fields = metadata.child("FIELDS");
  if (!fields) Fail("no FIELDS in METADATA");
  const pugi::xml_node rowData = root.child("ROWDATA");
  if (!rowData) Fail("no ROWDATA");
  DataPacket packet;
  packet.columns = ReadColumns(fields);
  packet.rows = ReadRows(rowData, packet.columns);
  return packet;
}

}  // namespace

int DataPacket::ColumnIndex(std::string_view name) const {
  for (std::size_t c = 0; c < columns.size(); ++c)
    if (columns[c].name == name) return static_cast<int>(c);
  return -1;
}

DataPacket DataPacket::Parse(std::string_view xml) {
  if (std::ranges::all_of(xml, IsXmlSpace)) Fail("the file is empty");
  const pugi::xml_encoding encoding = ChooseEncoding(xml);
  if (encoding == pugi::encoding_utf8 && !units::IsUtf8(xml)) Fail("the text is not valid UTF-8");
  const FloatFlagsKeeper keeper;
  pugi::xml_document doc;
  // As a fragment the parser keeps text outside the root element, which DocumentElement
  // refuses; otherwise it would drop it silently.
  const pugi::xml_parse_result parsed =
      doc.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_fragment, encoding);
  if (!parsed)
    Fail(std::string("not well-formed XML: ") + parsed.description() + " at byte " +
         std::to_string(parsed.offset));
  return ReadPacket(doc);
}

DataPacket DataPacket::Load(const fs::path& file) {
  std::error_code ec;
  const fs::file_status status = fs::status(file, ec);
  if (!fs::exists(status)) Fail("file not found");
  if (!fs::is_regular_file(status)) Fail("not a regular file");
  std::ifstream in(file, std::ios::binary);
  if (!in) Fail("the file cannot be opened");
  std::string text;
  char block[65536];
  while (in.read(block, sizeof block) || in.gcount() > 0)
    text.append(block, static_cast<std::size_t>(in.gcount()));
  if (in.bad()) Fail("the file cannot be read");
  return Parse(text);
}

}  // namespace zynta::refdata
