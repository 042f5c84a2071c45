// The one place where text crosses between the program's UTF-8 and the UTF-16 of the ODBC wide
// entry points (SQLWCHAR is two bytes with unixODBC). Every wide call converts through here.
#ifndef KASTEL_ODBC_WIDE_TEXT_H_
#define KASTEL_ODBC_WIDE_TEXT_H_

#include <sql.h>
#include <sqlext.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace kastel::odbc {

static_assert(sizeof(SQLWCHAR) == 2, "the wide calls are UTF-16");

using WideText = std::basic_string<SQLWCHAR>;

// `utf8` in UTF-16. A byte that starts no valid sequence becomes U+FFFD, so text that was
// never UTF-8 still reaches the driver, visibly damaged rather than cut short.
WideText ToWide(std::string_view utf8);

// The `length` code units at `text` in UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(const SQLWCHAR* text, std::size_t length);
inline std::string ToUtf8(const WideText& text) { return ToUtf8(text.data(), text.size()); }

// The number of code units before the first terminator in `text`, at most `limit`.
std::size_t WideLength(const SQLWCHAR* text, std::size_t limit);

}  // namespace kastel::odbc

#endif  // KASTEL_ODBC_WIDE_TEXT_H_
