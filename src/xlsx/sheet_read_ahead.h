// Reading the next sheets while the caller works on this one. A walk that only reads a
// workbook's sheets in turn (the script output with its check) spends about half its time
// inflating and scanning worksheet parts, work that needs nothing of the workbook but a part's
// compressed bytes. Two workers inflate and scan the few sheets after the one just read, taking
// them in turn; the reader takes each result when it comes to that sheet, and reads a sheet
// itself when it was not read ahead. One worker alone, sharing two cores with the host's thread
// and the script's writers, kept the host's thread waiting for a fifth of the run. Sheets are
// handed over a few at a time, as waking a worker for each would cost about as much as it
// saves. The workers touch no state of the workbook, and every call here is made on the
// workbook's own thread.
#ifndef KASTEL_XLSX_SHEET_READ_AHEAD_H_
#define KASTEL_XLSX_SHEET_READ_AHEAD_H_

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/task_thread.h"
#include "xlsx/package.h"
#include "xlsx/sheet_cells.h"

namespace kastel::xlsx {

class SheetReadAhead {
 public:
  // `next_part` gives the part of the worksheet to read after the one of a part, or "" when
  // there is none.
  SheetReadAhead(Package& package, std::function<std::string(std::string_view)> next_part);
  SheetReadAhead(const SheetReadAhead&) = delete;
  SheetReadAhead& operator=(const SheetReadAhead&) = delete;

  // What was read ahead of a sheet: its cells (null when the DOM must read it), or, while the
  // walk writes the sheets it takes, only its bytes, which the DOM is then parsed from.
  struct Ahead {
    std::unique_ptr<SheetCells> cells;
    std::string bytes;  // when not scanned
  };
  // What was read ahead of `part`, when it was and the package still holds the part as it was
  // read; nothing otherwise. Throws what reading the part threw.
  std::optional<Ahead> Take(std::string_view part);
  // Told by the reader of the sheets: a sheet taken scanned was then parsed as a DOM after all,
  // as a walk that writes its sheets does (those read ahead from now on are not scanned); or one
  // taken unscanned was let go unwritten (they are scanned again).
  void NoteParsed() { scan_ = false; }
  void NoteOnlyRead() { scan_ = true; }
  // Reads the sheets after `part` ahead, when few are left in hand; stops at a sheet that
  // cannot be read ahead.
  void StartAfter(std::string_view part);
  // Reads `part` and the sheets after it ahead, when none are in hand: a workbook just opened
  // starts on its first sheets while the command makes ready.
  void StartAt(std::string_view part);
  // Frees the cells of a sheet let go: on the first worker when it runs, as the workers
  // allocated most of them and the reader would otherwise wait on their heaps, a few
  // milliseconds per thousand sheets.
  void Dispose(std::unique_ptr<SheetCells> cells);

 private:
  struct Result {
    std::unique_ptr<SheetCells> cells;
    std::string bytes;       // when not scanned
    std::uint64_t size = 0;  // inflated
    bool skipped = false;    // not read: too much was in hand
  };
  struct InHand {
    std::string part;
    std::uint64_t declared_size = 0;
    std::future<Result> result;
  };
  // Reads `next` and the sheets after it ahead, as many as may be in hand.
  void Fill(std::string next);
  // Waits for the sheet, or every sheet in hand, and forgets it.
  void Drop(InHand& sheet);
  void DropAll();

  Package& package_;
  std::function<std::string(std::string_view)> next_part_;
  std::deque<InHand> in_hand_;              // in tab order
  std::uint64_t bytes_in_hand_ = 0;         // declared
  std::atomic<std::uint64_t> produced_{0};  // inflated by the workers and not taken yet
  std::size_t disposals_waiting_ = 0;       // cells let go since a worker was last woken
  bool scan_ = true;                        // whether the sheets read ahead are scanned
  std::size_t turn_ = 0;                    // the worker given the next sheet
  // Last: they end, finishing the sheets in hand, first.
  std::array<TaskThread, 2> workers_;
};

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_SHEET_READ_AHEAD_H_
