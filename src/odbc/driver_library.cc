#include "odbc/driver_library.h"

#include <dlfcn.h>
#include <odbcinst.h>

#include <array>
#include <filesystem>
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

// Opens the driver's library without binding its symbols. A bare name is looked up as the
// driver manager looks it up: on the loader's path, then in the manager's driver folder, which
// lies beside the manager's own library (<libdir>/odbc on Debian, <libdir> upstream).
void* OpenLibrary(const std::string& library) {
  constexpr int kFlags = RTLD_LAZY | RTLD_LOCAL;
  void* handle = dlopen(library.c_str(), kFlags);
  if (handle != nullptr || library.find('/') != std::string::npos) return handle;
  Dl_info manager{};
  void* symbol = dlsym(RTLD_DEFAULT, "SQLDriverConnect");
  if (symbol == nullptr || dladdr(symbol, &manager) == 0 || manager.dli_fname == nullptr) {
    return nullptr;
  }
  const std::filesystem::path libdir = std::filesystem::path(manager.dli_fname).parent_path();
  for (const auto& folder : {libdir / "odbc", libdir}) {
    handle = dlopen((folder / library).c_str(), kFlags);
    if (handle != nullptr) return handle;
  }
  return nullptr;
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
  if (driver.empty() || driver.find('/') != std::string::npos) return driver;
  // As with the driver manager, a name that no section registers is the library's own name.
  std::string registered = Profile(driver, "Driver", "ODBCINST.INI");
  return registered.empty() ? driver : registered;
}

bool DriverHasWideCalls(std::string_view odbc) {
  const std::string library = DriverLibrary(odbc);
  if (library.empty()) return true;
  // The driver manager loads the same library when it connects; this only looks at it first.
  void* handle = OpenLibrary(library);
  if (handle == nullptr) return true;
  const bool wide =
      dlsym(handle, "SQLDriverConnectW") != nullptr && dlsym(handle, "SQLExecDirectW") != nullptr;
  dlclose(handle);
  return wide;
}

}  // namespace kastel::odbc
