// Reading and writing the value of one <c> element: the cell types of SpreadsheetML, date
// serials of both date systems, and the host's rules for what a written value becomes.
#ifndef KASTEL_XLSX_SHEET_DATA_CELL_H_
#define KASTEL_XLSX_SHEET_DATA_CELL_H_

#include <optional>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "base/value.h"
#include "xlsx/shared_strings.h"
#include "xlsx/styles.h"

namespace kastel::xlsx {

// What a cell value is read against.
struct CellContext {
  SharedStrings& strings;
  Styles& styles;
  bool date1904 = false;
  std::string_view path;  // for error messages
  std::string_view part;
};

// How the t attribute of <c> says to read its value; any other text reads as a number.
enum class CellType { kNumber, kShared, kInline, kFormulaText, kBoolean, kError, kIsoDate };
CellType CellTypeOf(std::string_view t);

// What the value of one <c> is made of, whether the part was read as a DOM or in one pass.
struct CellPieces {
  CellType type = CellType::kNumber;
  unsigned style = 0;        // s (0 when absent)
  bool has_v = false;        // the cell has a <v>
  std::string_view v;        // the text of its first <v>
  bool has_is = false;       // the cell has an <is>
  std::string_view is_text;  // the text of its first <is>, as RichText gives it
};

// The value of <c>, a formula cell's cached value included. Throws kFileFormatError when the
// cell holds what its type forbids (a shared-string number outside the table, a number that
// is not one).
Value ReadCell(pugi::xml_node c, const CellContext& context);
// The same from the cell's pieces.
Value CellValue(const CellPieces& cell, const CellContext& context);

// Throws error 1004 for a value no cell can hold: a number or date that is NaN or infinite,
// an error value the spreadsheet does not know.
void CheckWritable(const Value& value);

// Replaces the value of <c> (whose formula the caller has removed) by `value`, keeping s.
// An empty or null value, or empty text, leaves the cell without a value. Checks the value
// with CheckWritable before touching anything.
void WriteCell(pugi::xml_node c, const Value& value, const CellContext& context,
               const std::string& prefix);

// Removes the value of <c>: <v>, <is> and the attributes that describe them; keeps s.
void ClearCellValue(pugi::xml_node c);

// A serial of the workbook's date system as a VB date serial (days since 1899-12-30), and
// back. The 1900 system counts a 29 February 1900 that never was: serials from 1 to 60 are
// one day behind VB's. Nothing when the VB date cannot be written as a serial (before the
// date system's first day).
double WorkbookSerialToVb(double serial, bool date1904);
std::optional<double> VbToWorkbookSerial(double serial, bool date1904);

// An ISO 8601 date, date-time or time ("2024-01-05", "2024-01-05T09:03:07.5", "09:03") as a VB
// serial; nothing when malformed.
std::optional<double> ParseIsoDate(std::string_view text);

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_SHEET_DATA_CELL_H_
