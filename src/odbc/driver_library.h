// Which call family a driver takes. A driver with wide (UTF-16) entry points of its own gets
// them; for one without, the driver manager would convert wide calls to the process's narrow
// code page and lose every character outside it, so such a driver gets narrow calls carrying
// the program's UTF-8 untouched.
#ifndef KASTEL_ODBC_DRIVER_LIBRARY_H_
#define KASTEL_ODBC_DRIVER_LIBRARY_H_

#include <string>
#include <string_view>

namespace kastel::odbc {

// The shared library of the driver that the ODBC connection string `odbc` names through its
// Driver keyword (a registered driver name or a library's name or path) or its DSN; "" when
// it names none.
std::string DriverLibrary(std::string_view odbc);

// True when the library of the driver that `odbc` names exports the wide entry points, and
// when that cannot be told (no library found): the driver manager then reports the failure
// or converts on its own.
bool DriverHasWideCalls(std::string_view odbc);

}  // namespace kastel::odbc

#endif  // KASTEL_ODBC_DRIVER_LIBRARY_H_
