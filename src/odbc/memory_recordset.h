// A recordset over rows held in memory: what every query result of the ODBC adapter becomes
// once fetched, and what a replaying adapter hands out for recorded rows. Several recordsets
// may share one table of rows; each keeps its own filter, sort and position.
#ifndef KASTEL_ODBC_MEMORY_RECORDSET_H_
#define KASTEL_ODBC_MEMORY_RECORDSET_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/value.h"
#include "engines/data.h"
#include "odbc/recordset_criteria.h"

namespace kastel::odbc {

// Rows of one result: the field names and, per row, one value per field.
struct RowTable {
  std::vector<std::string> columns;
  std::vector<std::vector<Value>> rows;
};

class MemoryRecordset : public data::Recordset {
 public:
  // REQUIRES: every row of `table` has one value per column.
  explicit MemoryRecordset(std::shared_ptr<const RowTable> table);

  bool Eof() const override;
  Value Field(std::string_view name) const override;
  void MoveNext() override;
  void SetFilter(std::string_view criteria) override;
  void SetSort(std::string_view keys) override;
  void Close() override;

  // The number of rows in the current view.
  std::size_t RecordCount() const;

 private:
  struct ResolvedComparison {
    std::size_t column;
    Comparison comparison;
  };
  struct ResolvedKey {
    std::size_t column;
    bool descending;
  };

  void RequireOpen() const;
  std::size_t ColumnIndex(std::string_view name) const;
  // Recomputes the view from the filter and the sort; the position returns to the first row.
  void Rebuild();

  std::shared_ptr<const RowTable> table_;
  std::vector<ResolvedComparison> filter_;
  std::vector<ResolvedKey> sort_;
  std::vector<std::size_t> view_;
  std::size_t position_ = 0;
  bool closed_ = false;
};

}  // namespace kastel::odbc

#endif  // KASTEL_ODBC_MEMORY_RECORDSET_H_
