#include "xlsx/sheet_read_ahead.h"

#include <exception>
#include <utility>

namespace kastel::xlsx {
namespace {

// Sheets are read ahead in turns of a few, started when at most kRefillBelow are left.
constexpr std::size_t kMostInHand = 16;
constexpr std::size_t kRefillBelow = 4;
// Large sheets are not piled up: their declared sizes in hand stay about within this.
constexpr std::uint64_t kMostBytesInHand = std::uint64_t{16} << 20;
// Cells let go are freed by the worker a few sheets at a time.
constexpr std::size_t kDisposalsPerWake = 8;

}  // namespace

SheetReadAhead::SheetReadAhead(Package& package,
                               std::function<std::string(std::string_view)> next_part)
    : package_(package), next_part_(std::move(next_part)) {}

std::optional<SheetReadAhead::Ahead> SheetReadAhead::Take(std::string_view part) {
  if (in_hand_.empty()) return std::nullopt;
  if (in_hand_.front().part != part) {
    // The reader left the tab order: what is in hand would wait unused.
    DropAll();
    return std::nullopt;
  }
  InHand taken = std::move(in_hand_.front());
  in_hand_.pop_front();
  bytes_in_hand_ -= taken.declared_size;
  if (!package_.Original(part)) {
    // Changed since it was read ahead: the caller reads it as it is now.
    Drop(taken);
    return std::nullopt;
  }
  Result result = taken.result.get();
  produced_ -= result.size;
  if (result.skipped) return std::nullopt;
  package_.Adopt(part, result.size);
  return Ahead{std::move(result.cells), std::move(result.bytes)};
}

void SheetReadAhead::StartAfter(std::string_view part) {
  if (in_hand_.size() > kRefillBelow) return;
  Fill(next_part_(in_hand_.empty() ? part : std::string_view(in_hand_.back().part)));
}

void SheetReadAhead::StartAt(std::string_view part) {
  if (in_hand_.empty()) Fill(std::string(part));
}

void SheetReadAhead::Fill(std::string next) {
  std::size_t added = 0;
  for (; !next.empty() && in_hand_.size() < kMostInHand && bytes_in_hand_ < kMostBytesInHand;
       next = next_part_(in_hand_.back().part)) {
    Package::ReadTask read = package_.ReadLater(next);
    // A part larger than all the sheets in hand may be is left to be read when it is wanted.
    if (!read.read || read.declared_size > kMostBytesInHand) break;
    auto task = std::make_shared<std::packaged_task<Result()>>(
        [read = std::move(read.read), &produced = produced_, scan = scan_] {
          Result result;
          // Declared sizes may lie: what was really inflated counts too.
          if (produced.load() >= kMostBytesInHand) {
            result.skipped = true;
            return result;
          }
          std::string bytes = read();
          result.size = bytes.size();
          produced += result.size;
          if (scan) {
            result.cells = SheetCells::Scan(std::move(bytes));
          } else {
            result.bytes = std::move(bytes);
          }
          return result;
        });
    in_hand_.push_back(InHand{next, read.declared_size, task->get_future()});
    bytes_in_hand_ += read.declared_size;
    // No thread to be had: the sheet is read here, as it would be without reading ahead.
    if (!workers_[turn_++ % workers_.size()].Post([task] { (*task)(); }, false)) (*task)();
    ++added;
  }
  if (added == 0) return;
  disposals_waiting_ = 0;  // the workers take them with the sheets
  for (TaskThread& worker : workers_) worker.Wake();
}

void SheetReadAhead::Dispose(std::unique_ptr<SheetCells> cells) {
  TaskThread& worker = workers_.front();
  if (!cells || !worker.running()) return;
  // Woken for a few at a time: a walk that reads no sheet ahead (one that writes its sheets)
  // would otherwise keep every sheet it let go until the end.
  const bool wake = ++disposals_waiting_ >= kDisposalsPerWake;
  if (wake) disposals_waiting_ = 0;
  worker.Post([cells = std::shared_ptr<SheetCells>(std::move(cells))]() mutable { cells.reset(); },
              wake);
}

void SheetReadAhead::Drop(InHand& sheet) {
  try {
    produced_ -= sheet.result.get().size;
  } catch (...) {
    // A sheet dropped unread cannot fail the command; read later, it fails there.
  }
}

void SheetReadAhead::DropAll() {
  for (InHand& sheet : in_hand_) Drop(sheet);
  in_hand_.clear();
  bytes_in_hand_ = 0;
}

}  // namespace kastel::xlsx
