// Rewriting references inside formula text, skipping string literals.
#ifndef KASTEL_XLSX_FORMULA_H_
#define KASTEL_XLSX_FORMULA_H_

#include <string>
#include <string_view>

namespace kastel::xlsx {

// Replaces every reference to sheet `from` (quoted or not, compared ignoring case) by a
// reference to `to`, quoted as needed: "Sheet1!A1" -> "'1'!A1". Text inside "..." literals is
// left alone. Used for formulas, defined names, validations and hyperlink locations.
std::string RenameSheetInFormula(std::string_view formula, std::string_view from,
                                 std::string_view to);

// Moves the relative parts of the A1 references in `formula` by (rows, columns), as a shared
// formula's text is read for a cell away from its master. Absolute ($) parts stay.
std::string ShiftRelativeReferences(std::string_view formula, int rows, int columns);

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_FORMULA_H_
