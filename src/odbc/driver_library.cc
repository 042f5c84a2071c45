#include "odbc/driver_library.h"

#include <dlfcn.h>
#include <odbcinst.h>

#include <array>
#include <optional>

#include "odbc/connection_string.h"

namespace kastel::odbc {
namespace {

// The value of `key` in `section` of the driver manager's file `file`, or "".
std::string Profile(const std::string& section, const char* key, const char* file) {
  std::array<char, 1024> value{};
  int n = SQLGetPrivateProfileString(section.c_str(), key, "", value.data(),
                                     static_cast<int>(value.size()), file);
  return n > 0 ? std::string(value.data()) : std::string();
}

}  // namespace

std::string DriverLibrary(std::string_view odbc) {
  Attributes attrs;
  try {
    attrs = ParseConnectionString(odbc);
  } catch (...) {
    return "";  // the driver manager says what is wrong with it
  }
  std::string driver = FindAttribute(attrs, "Driver").value_or("");
  if (driver.empty()) {
    std::optional<std::string> dsn = FindAttribute(attrs, "DSN");
    if (!dsn || dsn->empty()) return "";
    driver = Profile(*dsn, "Driver", "ODBC.INI");
  }
  if (driver.find('/') != std::string::npos) return driver;
  return driver.empty() ? "" : Profile(driver, "Driver", "ODBCINST.INI");
}

bool DriverHasWideCalls(std::string_view odbc) {
  const std::string library = DriverLibrary(odbc);
  if (library.empty()) return true;
  // The driver manager loads the same library when it connects; this only looks at it first.
  void* handle = dlopen(library.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (handle == nullptr) return true;
  const bool wide =
      dlsym(handle, "SQLDriverConnectW") != nullptr && dlsym(handle, "SQLExecDirectW") != nullptr;
  dlclose(handle);
  return wide;
}

}  // namespace kastel::odbc
