#include "model/where.h"

#include <exception>
#include <string>
#include <utility>

#include "model/defines.h"

namespace kastel::model {

Where::Scope::Scope(Where& where, std::string part, bool push)
    : where_(where), unwinding_at_start_(std::uncaught_exceptions()), pushed_(push) {
  if (pushed_) where_.Push(std::move(part));
}

Where::Scope::~Scope() {
  if (pushed_) where_.Pop(unwinding_at_start_);
}

void Where::Push(std::string part) {
  // A new part is walked: a place an earlier failure left was reported or went unreported.
  failed_.clear();
  parts_.push_back(std::move(part));
}

void Where::Pop(int unwinding_at_start) {
  // The innermost part a failure ends sees the whole place; the parts further out keep it.
  if (std::uncaught_exceptions() > unwinding_at_start) {
    if (failed_.empty()) failed_ = TakeText();
  } else if (parts_.size() == 1) {
    failed_.clear();  // the walk is over and whatever failed in it was handled inside it
  }
  parts_.pop_back();
}

std::string Where::TakeText() {
  std::string text = std::move(failed_);
  failed_.clear();
  if (!text.empty()) return text;
  for (const std::string& part : parts_) text += (text.empty() ? "" : " ") + part;
  return text;
}

std::string Where::SheetPart(const std::string& tab) { return "シート「" + tab + "」"; }

std::string Where::TablePart(const std::string& name) {
  return name.empty() ? "テーブル (名前なし)" : "テーブル " + name;
}

std::string Where::CellPart(std::int32_t row, std::int32_t col) {
  constexpr std::int32_t kLastRow = 1048576;
  constexpr std::int32_t kLastColumn = 16384;
  // A layout position off the sheet has no A1 name; it is named as the layout gives it.
  if (row < 1 || row > kLastRow || col < 1 || col > kLastColumn) {
    return "R" + std::to_string(row) + "C" + std::to_string(col);
  }
  return Defines::ColumnLetter(col) + std::to_string(row);
}

}  // namespace kastel::model
