// Cell addresses as the spreadsheet writes them: A1 and R1C1 forms, ranges, sheet-qualified
// references and the quoting of sheet names.
#ifndef KASTEL_XLSX_A1_H_
#define KASTEL_XLSX_A1_H_

#include <optional>
#include <string>
#include <string_view>

namespace kastel::xlsx {

inline constexpr int kMaxRow = 1048576;
inline constexpr int kMaxColumn = 16384;

struct CellRef {
  int row = 0;
  int column = 0;
  bool operator==(const CellRef&) const = default;
};

// A rectangle of cells, corners included; first <= last in both directions.
struct RangeRef {
  CellRef first;
  CellRef last;
};

// "A" for 1, "Z" for 26, "AA" for 27 ... "XFD" for 16384.
std::string ColumnName(int column);
// "B3" for row 3, column 2.
std::string CellName(int row, int column);

// Parses "B3", "$B$3"; nothing when it is not a cell inside the sheet's limits.
std::optional<CellRef> ParseCell(std::string_view a1);
// The column of `ref` when it names a cell of `row` in the form writers use for every cell
// ("C8": capitals, then the row without leading zeros); 0 for any other form, which ParseCell
// reads. Readers of whole sheets take each cell's reference so, many times faster.
int PlainCellColumn(std::string_view ref, int row);
// The column of `ref` when it names a cell of `row` to the right of column `after`, in any form
// ParseCell reads, the writers' own taken by PlainCellColumn; 0 otherwise. Readers of a row's
// cells in order take each reference so.
int CellColumnInRow(std::string_view ref, int row, int after);
// Parses "C8:R520", "$B$3:$V$37", "U6" (a single cell) and whole rows or columns ("A:C",
// "3:5"); nothing when malformed.
std::optional<RangeRef> ParseRange(std::string_view a1);

// "'@LIST'" for "@LIST", doubling any apostrophe inside. Always quotes, which every reader
// accepts.
std::string QuoteSheetName(std::string_view name);

// Splits "'1'!R1C1" or "Sheet1!A1" into the sheet name (unquoted) and the reference.
// Nothing when there is no sheet part.
std::optional<std::pair<std::string, std::string>> SplitSheetRef(std::string_view ref);

// Converts an absolute R1C1 reference ("R2C3:R21C3", "R1C1", optionally after "=" and a sheet)
// to A1 ("$C$2:$C$21"); nothing for relative forms such as R[1]C[-1] or malformed text. A
// sheet is kept, quoted ("='@LIST'!R2C2:R28C2" -> "'@LIST'!$B$2:$B$28"); the "=" is dropped.
// A lone row or column ("R2", "C3") becomes a whole-row or whole-column range ("$2:$2").
// `absolute` false leaves out the dollar signs.
std::optional<std::string> R1C1ToA1(std::string_view r1c1, bool absolute = true);

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_A1_H_
