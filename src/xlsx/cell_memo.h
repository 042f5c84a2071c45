// The last few cells read from one worksheet. A lookup that reads the same cell of every sheet
// (the table name of each definition sheet, once per table imported) would otherwise parse
// every sheet again, since only a few sheets stay parsed. The worksheet forgets a cell when it
// writes it and everything when it changes cells in bulk. While the sheet's cells are held,
// reading them is as quick as the memo: only the places read are noted, and their values are
// taken when the sheet lets its cells go.
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

  // A cell read while the sheet's cells are held. Noted again when read again: this runs for
  // every cell read, and settling drops the repeats.
  void Note(int row, int column) {
    noted_[next_noted_] = Place{row, column};
    next_noted_ = (next_noted_ + 1) % noted_.size();
  }

  // Remembers the cells noted, oldest first, through `get(row, column)`, before the sheet lets
  // its cells go.
  template <typename Get>
  void Settle(Get get) {
    for (std::size_t i = 0; i < noted_.size(); ++i) {
      Place& p = noted_[(next_noted_ + i) % noted_.size()];
      if (p.row != 0 && !Find(p.row, p.column)) Remember(p.row, p.column, get(p.row, p.column));
      p = Place{};
    }
  }

  void Forget(int row, int column) {
    for (std::size_t i = 0; i < size_; ++i) {
      if (slots_[i].row == row && slots_[i].column == column) slots_[i].row = 0;
    }
    for (Place& p : noted_) {
      if (p.row == row && p.column == column) p = Place{};
    }
  }

  void ForgetAll() {
    size_ = 0;
    next_ = 0;
    noted_ = {};
  }

 private:
  struct Slot {
    int row = 0;  // 0: free (rows start at 1)
    int column = 0;
    Value value;
  };
  struct Place {
    int row = 0;  // 0: none
    int column = 0;
  };
  std::array<Slot, 4> slots_;
  std::size_t size_ = 0;
  std::size_t next_ = 0;
  std::array<Place, 4> noted_{};
  std::size_t next_noted_ = 0;
};

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_CELL_MEMO_H_
