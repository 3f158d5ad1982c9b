#include "refdata/table.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <utility>

#include "units/number_text.h"

namespace zynta::refdata {
namespace {

bool IsNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

// A number value as a double (an int32 is exact in one); nullopt for texts and nulls.
std::optional<double> Number(const Value& v) {
  if (const auto* d = std::get_if<double>(&v)) return *d;
  if (const auto* i = std::get_if<std::int32_t>(&v)) return static_cast<double>(*i);
  return std::nullopt;
}

// Index order: nulls first, texts by their bytes, numbers by value. A column holds one kind
// of value, so texts and numbers only meet in hand-made packets; they order by kind.
int Compare(const Value& a, const Value& b) {
  if (IsNull(a) || IsNull(b)) return static_cast<int>(!IsNull(a)) - static_cast<int>(!IsNull(b));
  const auto* ta = std::get_if<std::string>(&a);
  const auto* tb = std::get_if<std::string>(&b);
  if (ta && tb) {
    const int c = ta->compare(*tb);  // char_traits<char> compares as unsigned bytes
    return (c > 0) - (c < 0);
  }
  if (ta || tb) return ta ? 1 : -1;
  const double x = *Number(a);
  const double y = *Number(b);
  return (x > y) - (x < y);
}

// Equality for look-ups and links: a null equals nothing, not even a null.
bool Equal(const Value& a, const Value& b) {
  if (IsNull(a) || IsNull(b)) return false;
  const auto* ta = std::get_if<std::string>(&a);
  const auto* tb = std::get_if<std::string>(&b);
  if (ta || tb) return ta && tb && *ta == *tb;
  return *Number(a) == *Number(b);
}

// A text looked up in a column: itself for a text column, the number it reads as in the
// user's format for a number column; null (matching no row) when empty or no number.
Value KeyFromText(FieldType type, const std::string& text) {
  if (text.empty()) return {};
  if (type == FieldType::String) return text;
  if (const std::optional<double> v = units::ParseFieldNumber(text)) return *v;
  return {};
}

int FindColumn(const std::vector<Column>& columns, std::string_view name) {
  for (std::size_t c = 0; c < columns.size(); ++c)
    if (columns[c].name == name) return static_cast<int>(c);
  return -1;
}

}  // namespace

Table::Table(DataPacket packet, const std::vector<std::string>& indexColumns)
    : columns_(std::move(packet.columns)), rows_(std::move(packet.rows)) {
  for (const std::string& name : indexColumns) {
    const int column = FindColumn(columns_, name);
    if (column < 0) throw DataPacketError("no column '" + name + "' for the index");
    index_.push_back(column);
  }
  // Rows of a packet put together by hand may be short or long; every row gets one value
  // per column.
  for (std::vector<Value>& row : rows_) row.resize(columns_.size());
  const auto before = [this](const std::vector<Value>& a, const std::vector<Value>& b) {
    for (const int column : index_) {
      const auto c = static_cast<std::size_t>(column);
      if (const int order = Compare(a[c], b[c]); order != 0) return order < 0;
    }
    return false;
  };
  std::ranges::stable_sort(rows_, before);
  visible_.resize(rows_.size());
  std::iota(visible_.begin(), visible_.end(), std::size_t{0});
  eof_ = visible_.empty();
}

void Table::SetMaster(Table& master, const std::string& linkColumn) {
  for (const Table* t = &master; t != nullptr; t = t->master_)
    if (t == this) throw std::invalid_argument("a table cannot be its own master");
  const int here = FindColumn(columns_, linkColumn);
  const int there = FindColumn(master.columns_, linkColumn);
  if (here < 0 || there < 0) throw DataPacketError("no column '" + linkColumn + "' to link the tables");
  master_ = &master;
  linkColumn_ = here;
  masterLinkColumn_ = there;
  ranged_ = false;
}

void Table::Sync() const {  // NOLINT(misc-no-recursion): up the master chain, which SetMaster keeps free of cycles
  if (master_ == nullptr) return;
  master_->Sync();
  if (ranged_ && masterMovesSeen_ == master_->moves_) return;
  ranged_ = true;
  masterMovesSeen_ = master_->moves_;
  visible_.clear();
  if (const Value* key = master_->CurrentValue(masterLinkColumn_)) {
    for (std::size_t r = 0; r < rows_.size(); ++r)
      if (Equal(rows_[r][static_cast<std::size_t>(linkColumn_)], *key)) visible_.push_back(r);
  }
  position_ = 0;
  eof_ = visible_.empty();
  ++moves_;
}

void Table::MoveTo(std::size_t position) {
  position_ = position;
  eof_ = false;
  ++moves_;
}

int Table::RequireColumn(std::string_view name) const {
  const int column = FindColumn(columns_, name);
  if (column < 0) throw DataPacketError("no column '" + std::string(name) + "'");
  return column;
}

const Value* Table::CurrentValue(int column) const {  // NOLINT(misc-no-recursion): as Sync
  Sync();
  if (visible_.empty()) return nullptr;
  return &rows_[visible_[position_]][static_cast<std::size_t>(column)];
}

void Table::First() {
  Sync();
  if (visible_.empty()) return;
  MoveTo(0);
}

void Table::Next() {
  Sync();
  if (position_ + 1 < visible_.size()) {
    MoveTo(position_ + 1);
  } else {
    eof_ = true;
  }
}

bool Table::Eof() const {
  Sync();
  return eof_;
}

std::string Table::AsString(std::string_view column) const {
  const Value* v = CurrentValue(RequireColumn(column));
  if (v == nullptr) return {};
  if (const auto* text = std::get_if<std::string>(v)) return *text;
  if (const auto* real = std::get_if<double>(v)) return units::InvariantFloatToStr(*real);
  if (const auto* integer = std::get_if<std::int32_t>(v)) return std::to_string(*integer);
  return {};
}

double Table::AsFloat(std::string_view column) const {
  const Value* v = CurrentValue(RequireColumn(column));
  if (v == nullptr) return 0.0;
  if (const auto* text = std::get_if<std::string>(v)) return units::ParseFieldNumber(*text, '.').value_or(0.0);
  return Number(*v).value_or(0.0);
}

bool Table::Locate(std::string_view column, std::string_view value) {
  const int c = RequireColumn(column);
  Sync();
  const Value key = KeyFromText(columns_[static_cast<std::size_t>(c)].type, std::string(value));
  if (IsNull(key)) return false;
  for (std::size_t p = 0; p < visible_.size(); ++p) {
    if (Equal(rows_[visible_[p]][static_cast<std::size_t>(c)], key)) {
      MoveTo(p);
      return true;
    }
  }
  return false;
}

bool Table::FindKey(const std::vector<std::string>& values) {
  Sync();
  if (values.size() > index_.size()) return false;
  std::vector<Value> keys;
  keys.reserve(values.size());
  for (std::size_t k = 0; k < values.size(); ++k) {
    Value key = KeyFromText(columns_[static_cast<std::size_t>(index_[k])].type, values[k]);
    if (IsNull(key)) return false;
    keys.push_back(std::move(key));
  }
  for (std::size_t p = 0; p < visible_.size(); ++p) {
    const std::vector<Value>& row = rows_[visible_[p]];
    bool match = true;
    for (std::size_t k = 0; k < keys.size() && match; ++k)
      match = Equal(row[static_cast<std::size_t>(index_[k])], keys[k]);
    if (match) {
      MoveTo(p);
      return true;
    }
  }
  return false;
}

size_t Table::RowCount() const {
  Sync();
  return visible_.size();
}

}  // namespace zynta::refdata
