#include "odbc/odbc_handle.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "odbc/ado_error.h"
#include "odbc/wide_text.h"

namespace kastel::odbc {

OdbcHandle::OdbcHandle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
  SQLRETURN rc = SQLAllocHandle(type, parent, &handle_);
  if (!SQL_SUCCEEDED(rc)) {
    handle_ = SQL_NULL_HANDLE;
    if (parent == SQL_NULL_HANDLE) throw MakeDriverError("ODBC の環境を作成できません。");
    Check(rc, type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC : SQL_HANDLE_ENV, parent);
  }
}

OdbcHandle::OdbcHandle(SQLSMALLINT type, const OdbcHandle& parent) : type_(type) {
  SQLRETURN rc = SQLAllocHandle(type, parent.get(), &handle_);
  if (!SQL_SUCCEEDED(rc)) {
    handle_ = SQL_NULL_HANDLE;
    Check(rc, parent);
  }
  wide_ = parent.wide();
}

OdbcHandle::~OdbcHandle() { reset(); }

OdbcHandle::OdbcHandle(OdbcHandle&& other) noexcept
    : type_(other.type_), handle_(std::exchange(other.handle_, SQLHANDLE{})), wide_(other.wide_) {}

OdbcHandle& OdbcHandle::operator=(OdbcHandle&& other) noexcept {
  if (this != &other) {
    reset();
    type_ = other.type_;
    handle_ = std::exchange(other.handle_, SQLHANDLE{});
    wide_ = other.wide_;
  }
  return *this;
}

void OdbcHandle::reset() {
  if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(type_, handle_);
  handle_ = SQL_NULL_HANDLE;
}

namespace {

// One diagnostic record as UTF-8, read by `get` into a buffer that grows to fit; nothing once
// the records are exhausted.
template <typename Char, typename Get>
std::optional<std::string> DiagnosticRecord(Get get) {
  std::vector<Char> message(1024);
  SQLSMALLINT length = 0;
  SQLRETURN rc = get(message.data(), static_cast<SQLSMALLINT>(message.size()), &length);
  if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
    message.resize(static_cast<std::size_t>(length) + 1);
    rc = get(message.data(), static_cast<SQLSMALLINT>(message.size()), &length);
  }
  if (!SQL_SUCCEEDED(rc)) return std::nullopt;
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), message.size());
  if constexpr (sizeof(Char) == 1) {
    return std::string(reinterpret_cast<const char*>(message.data()), n);
  } else {
    return ToUtf8(message.data(), n);
  }
}

}  // namespace

std::string DiagnosticText(SQLSMALLINT type, SQLHANDLE handle, bool wide) {
  std::string text;
  for (SQLSMALLINT record = 1;; ++record) {
    SQLINTEGER native = 0;
    std::optional<std::string> read;
    if (wide) {
      SQLWCHAR state[6] = {};
      read = DiagnosticRecord<SQLWCHAR>([&](SQLWCHAR* m, SQLSMALLINT size, SQLSMALLINT* length) {
        return SQLGetDiagRecW(type, handle, record, state, &native, m, size, length);
      });
    } else {
      SQLCHAR state[6] = {};
      read = DiagnosticRecord<SQLCHAR>([&](SQLCHAR* m, SQLSMALLINT size, SQLSMALLINT* length) {
        return SQLGetDiagRec(type, handle, record, state, &native, m, size, length);
      });
    }
    if (!read) break;
    std::string line = std::move(*read);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.empty() || text.find(line) != std::string::npos) continue;
    if (!text.empty()) text += '\n';
    text += line;
  }
  if (text.empty()) text = "ODBC ドライバーがエラーを返しました。";
  return text;
}

void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, bool wide) {
  if (SQL_SUCCEEDED(rc)) return;
  if (rc == SQL_INVALID_HANDLE) throw MakeDriverError("ODBC のハンドルが無効です。");
  throw MakeDriverError(DiagnosticText(type, handle, wide));
}

}  // namespace kastel::odbc
