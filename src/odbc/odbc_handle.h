// Owning wrappers of ODBC handles and the one place that turns a failed ODBC call into an
// Error carrying the driver's own diagnostic text. A connection handle knows whether its driver
// takes the wide calls (driver_library.h); the statements made under it inherit that.
#ifndef KASTEL_ODBC_ODBC_HANDLE_H_
#define KASTEL_ODBC_ODBC_HANDLE_H_

#include <sql.h>
#include <sqlext.h>

#include <string>

namespace kastel::odbc {

// One ODBC handle, freed when the wrapper goes. Harmless when empty.
class OdbcHandle {
 public:
  OdbcHandle() = default;
  // Allocates a handle of `type` under `parent` (SQL_NULL_HANDLE for an environment). Fails
  // with the parent's diagnostics.
  OdbcHandle(SQLSMALLINT type, SQLHANDLE parent);
  // A handle under `parent` that takes the same call family.
  OdbcHandle(SQLSMALLINT type, const OdbcHandle& parent);
  ~OdbcHandle();
  OdbcHandle(OdbcHandle&& other) noexcept;
  OdbcHandle& operator=(OdbcHandle&& other) noexcept;
  OdbcHandle(const OdbcHandle&) = delete;
  OdbcHandle& operator=(const OdbcHandle&) = delete;

  SQLHANDLE get() const { return handle_; }
  SQLSMALLINT type() const { return type_; }
  explicit operator bool() const { return handle_ != SQL_NULL_HANDLE; }
  void reset();

  // True when calls on this handle go through the wide (UTF-16) entry points.
  bool wide() const { return wide_; }
  void set_wide(bool wide) { wide_ = wide; }

 private:
  SQLSMALLINT type_ = 0;
  SQLHANDLE handle_ = SQL_NULL_HANDLE;
  bool wide_ = false;
};

// The diagnostic records of `handle`, their message texts joined by line breaks, read through
// the wide call when `wide`; a generic text when the driver left none.
std::string DiagnosticText(SQLSMALLINT type, SQLHANDLE handle, bool wide);

// Throws the driver's error for `handle` unless `rc` reports success (with or without info).
void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, bool wide = false);
inline void Check(SQLRETURN rc, const OdbcHandle& h) { Check(rc, h.type(), h.get(), h.wide()); }

}  // namespace kastel::odbc

#endif  // KASTEL_ODBC_ODBC_HANDLE_H_
