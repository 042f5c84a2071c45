// The last few cells read from one worksheet. A lookup that reads the same cell of every sheet
// (the table name of each definition sheet, once per table imported) would otherwise parse
// every sheet again, since only a few sheets stay parsed. The worksheet forgets a cell when it
// writes it and everything when it changes cells in bulk.
#ifndef KASTEL_XLSX_CELL_MEMO_H_
#define KASTEL_XLSX_CELL_MEMO_H_

#include <array>
#include <cstddef>

#include "base/value.h"

namespace kastel::xlsx {

class CellMemo {
 public:
  // The remembered value, or null.
  const Value* Find(int row, int column) const {
    for (std::size_t i = 0; i < size_; ++i) {
      if (slots_[i].row == row && slots_[i].column == column) return &slots_[i].value;
    }
    return nullptr;
  }

  // Replaces the oldest cell once all slots are taken. Assigned in place, a slot's text keeps
  // its buffer: this runs for every cell read.
  void Remember(int row, int column, const Value& value) {
    std::size_t at = next_;
    if (size_ < slots_.size()) {
      at = size_++;
    } else {
      next_ = (next_ + 1) % slots_.size();
    }
    Slot& slot = slots_[at];
    slot.row = row;
    slot.column = column;
    slot.value = value;
  }

  void Forget(int row, int column) {
    for (std::size_t i = 0; i < size_; ++i) {
      if (slots_[i].row == row && slots_[i].column == column) slots_[i].row = 0;
    }
  }

  void ForgetAll() {
    size_ = 0;
    next_ = 0;
  }

 private:
  struct Slot {
    int row = 0;  // 0: free (rows start at 1)
    int column = 0;
    Value value;
  };
  std::array<Slot, 4> slots_;
  std::size_t size_ = 0;
  std::size_t next_ = 0;
};

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_CELL_MEMO_H_
