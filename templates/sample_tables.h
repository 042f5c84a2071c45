// The tables of a sample definition workbook, read from a small tab-separated text file.
//
// One record a line, fields separated by tabs; blank lines and lines starting with "#" are
// skipped. Missing trailing fields are empty.
//
//   table   NAME  TITLE
//   column  NAME  TITLE  DATA-TYPE  NULL-MARK  DEFAULT  COMMENT  KEY1 ... KEY10
//   index   NAME  KIND
//
// "column" and "index" lines belong to the table above them. KEYi is the column's position in
// the table's i-th index (empty when it is not part of it). Field texts are the cell values
// exactly, so a default of '0000' is the text with its quotes.
#ifndef KASTEL_TEMPLATES_SAMPLE_TABLES_H_
#define KASTEL_TEMPLATES_SAMPLE_TABLES_H_

#include <array>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace kastel::templates {

// What one definition sheet holds at most: the template's column rows 8 to 520 and its ten
// index rows.
inline constexpr size_t kMaxColumns = 513;
inline constexpr size_t kMaxIndexes = 10;

struct SampleColumn {
  std::string name;
  std::string title;
  std::string data_type;
  std::string nullable;  // "否" for NOT NULL
  std::string default_value;
  std::string comment;
  std::array<int, kMaxIndexes> keys{};  // position in index i, 0 when not part of it
};

struct SampleIndex {
  std::string name;
  std::string kind;  // "P", "U" or empty
};

struct SampleTable {
  std::string name;
  std::string title;
  std::vector<SampleColumn> columns;
  std::vector<SampleIndex> indexes;

  // The name of the index whose kind is "P", or "".
  std::string PrimaryKeyName() const;
};

// Reads every table of `in`. Throws kastel::Error (number 1005) naming `source_name` and the
// line for an unknown record, a column or index line before any table, too many fields, a key
// position that is not a whole number from 1 to 11, and more columns or indexes than a sheet
// holds.
std::vector<SampleTable> ReadSampleTables(std::istream& in, std::string_view source_name);

}  // namespace kastel::templates

#endif  // KASTEL_TEMPLATES_SAMPLE_TABLES_H_
