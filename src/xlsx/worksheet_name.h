// The spreadsheet's rules for sheet names: what a rename may give and what a copy is called.
#ifndef KASTEL_XLSX_WORKSHEET_NAME_H_
#define KASTEL_XLSX_WORKSHEET_NAME_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace kastel::xlsx {

inline constexpr std::size_t kMaxSheetNameLength = 31;  // in UTF-16 units, as the host counts

// Length of UTF-8 text in UTF-16 units.
std::size_t Utf16Length(std::string_view text);

// Throws error 1004 with a Japanese description when `name` cannot name a sheet: empty, longer
// than 31 characters, holding one of : \ / ? * [ ], beginning or ending with an apostrophe, or
// "History", which the host keeps for itself. Uniqueness is the workbook's to check.
void CheckSheetName(std::string_view name);

// The name of a copy of sheet `original`: "X (2)", or the smallest number above that `taken`
// does not refuse, with X shortened (never inside a character) so the whole fits 31.
std::string CopyName(std::string_view original, const std::function<bool(std::string_view)>& taken);

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_WORKSHEET_NAME_H_
