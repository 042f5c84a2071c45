#include "odbc/memory_recordset.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "odbc/ado_error.h"
#include "odbc/connection_string.h"

namespace kastel::odbc {

MemoryRecordset::MemoryRecordset(std::shared_ptr<const RowTable> table) : table_(std::move(table)) {
  Rebuild();
}

bool MemoryRecordset::Eof() const {
  RequireOpen();
  return position_ >= view_.size();
}

Value MemoryRecordset::Field(std::string_view name) const {
  RequireOpen();
  std::size_t column = ColumnIndex(name);
  if (position_ >= view_.size()) throw MakeAdoError(AdoError::kNoCurrentRecord);
  return table_->rows[view_[position_]][column];
}

void MemoryRecordset::MoveNext() {
  RequireOpen();
  if (position_ >= view_.size()) throw MakeAdoError(AdoError::kNoCurrentRecord);
  ++position_;
}

void MemoryRecordset::SetFilter(std::string_view criteria) {
  RequireOpen();
  std::vector<ResolvedComparison> filter;
  for (Comparison& c : ParseFilter(criteria)) {
    std::size_t column = ColumnIndex(c.field);
    filter.push_back({column, std::move(c)});
  }
  filter_ = std::move(filter);
  Rebuild();
}

void MemoryRecordset::SetSort(std::string_view keys) {
  RequireOpen();
  std::vector<ResolvedKey> sort;
  for (const SortKey& k : ParseSort(keys)) sort.push_back({ColumnIndex(k.field), k.descending});
  sort_ = std::move(sort);
  Rebuild();
}

void MemoryRecordset::Close() {
  RequireOpen();
  closed_ = true;
  view_.clear();
  table_.reset();
}

std::size_t MemoryRecordset::RecordCount() const {
  RequireOpen();
  return view_.size();
}

void MemoryRecordset::RequireOpen() const {
  if (closed_) throw MakeAdoError(AdoError::kObjectClosed);
}

std::size_t MemoryRecordset::ColumnIndex(std::string_view name) const {
  const std::vector<std::string>& columns = table_->columns;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (SameKey(columns[i], name)) return i;
  }
  throw MakeAdoError(AdoError::kItemNotFound);
}

void MemoryRecordset::Rebuild() {
  const auto& rows = table_->rows;
  view_.clear();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    bool keep = std::all_of(filter_.begin(), filter_.end(), [&](const ResolvedComparison& f) {
      return Satisfies(rows[i][f.column], f.comparison.op, f.comparison.literal);
    });
    if (keep) view_.push_back(i);
  }
  if (!sort_.empty()) {
    std::stable_sort(view_.begin(), view_.end(), [&](std::size_t a, std::size_t b) {
      for (const ResolvedKey& k : sort_) {
        int c = CompareForSort(rows[a][k.column], rows[b][k.column]);
        if (c != 0) return k.descending ? c > 0 : c < 0;
      }
      return false;
    });
  }
  position_ = 0;
}

}  // namespace kastel::odbc
