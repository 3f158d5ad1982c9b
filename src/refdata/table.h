#pragma once
// A read-only table over a data packet: its rows in the order of its index, a current row, and
// the operations the calculator reads it with. A detail table shows only the rows that belong
// to its master's current row.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "refdata/data_packet.h"

namespace zynta::refdata {

class Table {
 public:
  // Orders the rows by the index columns, ascending (texts by ordinal comparison, numbers by
  // value, nulls first); throws DataPacketError when an index column is missing.
  Table(DataPacket packet, const std::vector<std::string>& indexColumns);

  // Makes this table the detail of master through linkColumn (present in both).
  void SetMaster(Table& master, const std::string& linkColumn);

  void First();
  // On the last row: stays there and puts the table at its end.
  void Next();
  // After Next ran past the last row, and for a table (or a master's row) without rows.
  bool Eof() const;

  // FieldByName of the current row: as text (reals in general format, up to 15 digits,
  // with "." as separator; null as ""), or as a number (null and texts that are no number as 0).
  std::string AsString(std::string_view column) const;
  double AsFloat(std::string_view column) const;

  // The first row, in table order, whose column equals value exactly (case included);
  // the current row does not change when there is none.
  bool Locate(std::string_view column, std::string_view value);
  // The first row whose leading index columns equal the values. A text for a real column is
  // read as a number in the user's format and compares exactly; an empty or non-numeric text
  // matches no row.
  bool FindKey(const std::vector<std::string>& values);

  size_t RowCount() const;  // rows visible (for a detail: of the master's current row)

 private:
  // A detail keeps a pointer to its master, which must outlive it and stay where it is.

  // For a detail: the rows of the master's current row, taken again whenever the master has
  // moved since they were last taken; the current row becomes the first of them.
  void Sync() const;
  void MoveTo(std::size_t position);
  int RequireColumn(std::string_view name) const;
  // The current row's value of a column; nullptr when no row is visible.
  const Value* CurrentValue(int column) const;

  std::vector<Column> columns_;
  std::vector<std::vector<Value>> rows_;  // in index order
  std::vector<int> index_;                // the index's columns

  // The visible rows (positions in rows_), in table order, and the current one among them.
  mutable std::vector<std::size_t> visible_;
  mutable std::size_t position_ = 0;
  mutable bool eof_ = true;
  // Counts the moves of the current row, so that the details see when to follow.
  mutable std::uint64_t moves_ = 0;

  Table* master_ = nullptr;
  int linkColumn_ = -1;        // in this table
  int masterLinkColumn_ = -1;  // in the master
  mutable bool ranged_ = false;
  mutable std::uint64_t masterMovesSeen_ = 0;
};

}  // namespace zynta::refdata
