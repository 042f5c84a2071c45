// The error reporter and the small conversions the rest of the system reads cells through.
#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <string_view>

#include "base/cp932.h"
#include "base/error.h"
#include "base/vb.h"
#include "model/defines.h"
#include "util/shell.h"

namespace kastel::model {

int Defines::ErrMsg(std::string_view message, int style, std::string_view procedure) {
  // Counted before it is shown, so that a shell that throws still leaves the failure on record.
  ++failures_shown_;
  if (!GoesPast(procedure)) ++stopping_failures_;
  const int pressed = shell_.MessageBox(message, style, kMessageTitle);
  if (const std::string place = where_.TakeText(); !place.empty()) shell_.ShowPlace(place);
  return pressed;
}

bool Defines::GoesPast(std::string_view procedure) {
  return procedure == "GetSheet" || procedure == "IsEmptyEx" || procedure == "CStrEx" ||
         procedure == kIndexOverflowProcedure;
}

void Defines::ErrMsgCurrent(std::string_view procedure) {
  try {
    throw;
  } catch (const Error& e) {
    ErrMsg(e.description(), kMsgExclamation, procedure);
  } catch (const std::bad_alloc&) {
    ErrMsg(RuntimeDescription(RuntimeError::kOutOfMemory), kMsgExclamation, procedure);
  } catch (const std::exception& e) {
    ErrMsg(e.what(), kMsgExclamation, procedure);
  }
}

bool Defines::IsEmptyEx(const Value& value) {
  // Read for every cell of the column block and the index matrix: the common kinds are told
  // without building the text, which for a number or a truth value is never empty.
  if (value.kind() == Value::Kind::kEmpty) return true;
  if (value.kind() == Value::Kind::kText) return value.text().empty();
  if (value.kind() == Value::Kind::kNumber || value.kind() == Value::Kind::kBoolean) return false;
  try {
    return vb::Concat(value).empty();
  } catch (const Error& e) {
    ErrMsg(e.description(), kMsgExclamation, "IsEmptyEx");
    return false;
  }
}

std::string Defines::CStrEx(const Value& value) {
  try {
    if (value.kind() == Value::Kind::kText) return value.text();
    if (value.is_empty()) return "";
    return vb::Concat(value);
  } catch (const Error& e) {
    ErrMsg(e.description(), kMsgExclamation, "CStrEx");
    return "";
  }
}

std::string Defines::CStrEx(Value&& value) {
  if (value.kind() == Value::Kind::kText) return std::move(value).text();
  return CStrEx(static_cast<const Value&>(value));
}

std::string Defines::PadRightB(const Value& text, std::int32_t width) {
  std::string result = CStrEx(text);
  const auto length = static_cast<std::int64_t>(cp932::Width(result));
  if (length < width) result.append(static_cast<std::size_t>(width - length), ' ');
  return result;
}

std::string Defines::ColumnLetter(std::int32_t column) {
  constexpr std::int32_t kLastColumn = 16384;  // XFD, the host's last column
  if (column < 1 || column > kLastColumn) throw Error::Runtime(RuntimeError::kInvalidCall);
  std::string letters;
  for (std::int32_t n = column; n > 0; n = (n - 1) / 26) {
    letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
  }
  return letters;
}

}  // namespace kastel::model
