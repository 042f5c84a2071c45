// The check of one definition sheet: every cell the script output reads, read the way it reads
// it, and each fault reported once at the cell that causes it.
#ifndef KASTEL_CHECK_SHEET_CHECK_H_
#define KASTEL_CHECK_SHEET_CHECK_H_

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dialect_rules.h"
#include "engines/sheet_reader.h"
#include "finding.h"
#include "host/host.h"

namespace kastel::model {
class Defines;
}  // namespace kastel::model

namespace kastel::check {

// What every sheet of one workbook is checked against.
struct CheckContext {
  model::Defines& defines;  // layout loaded for the workbook
  DialectRules rules;
  bool oracle_texts = false;  // the script is written with the Oracle engine's texts
  bool cp932 = true;          // the script files are written in CP932
  // The base names of the workbook's data-type list, lower case; none when it has no list.
  std::optional<std::set<std::string>> types;
  // Table names met so far (upper case) and the tab that holds each.
  std::map<std::string, std::string> tables_seen;
};

class SheetCheck {
 public:
  // With `read`, what the script's blocks read from the sheet: the column block is checked from
  // its rows when they hold every field, and the key walks take the name cells the blocks read.
  SheetCheck(CheckContext& ctx, host::Worksheet& ws, std::vector<Finding>& out,
             engines::ColumnsRead* read = nullptr)
      : ctx_(ctx), ws_(ws), out_(out), reader_(ctx.defines, ws, read), read_(read) {}

  // Checks the sheet, appending its findings.
  void Run();

 private:
  // How a text reaches the script: a name, a title (also in a heading comment line), a comment
  // (in a literal only), or plain (a data type or default, written as it is).
  enum class Use { kName, kTitle, kComment, kPlain };

  // The text of a cell as the script reads it; an error value is a finding and reads as "".
  std::string Read(std::int32_t row, std::int32_t col);
  void Add(Severity severity, std::int32_t row, std::int32_t col, std::string what,
           std::string effect);
  // Line breaks, apostrophes going into a literal, characters the encoding cannot hold.
  void CheckText(std::int32_t row, std::int32_t col, std::string_view text, Use use, bool literal);
  // Length and reserved words of a table, column or index name.
  void CheckName(std::int32_t row, std::int32_t col, std::string_view name, bool reserved);
  void CheckTable();
  void CheckColumns();
  void CheckDataType(std::int32_t row, std::int32_t col, const std::string& type);
  void CheckIndexes();
  // The key cells of index `i`; the columns listed, in position order.
  // (row, column name) of each listed key; `reported` is set when a key cell had a finding.
  std::vector<std::pair<std::int32_t, std::string>> CheckKeys(int index,
                                                              const std::string& index_name,
                                                              bool& reported);

  CheckContext& ctx_;
  host::Worksheet& ws_;
  std::vector<Finding>& out_;
  // One reader for the whole sheet: the name cells it keeps serve every index's key walk.
  engines::SheetReader reader_;
  const engines::ColumnsRead* read_;
  std::string table_;
  // Whether the nullable cell of each column row, from the first, holds a mark.
  std::vector<bool> nullable_marked_;
  std::set<std::string> flagged_cells_;
};

// The text before any size in parentheses, with blanks folded and in lower case:
// "nvarchar(40)" -> "nvarchar", "TIMESTAMP(6) WITH TIME ZONE" -> "timestamp with time zone".
std::string BaseTypeName(std::string_view type);

}  // namespace kastel::check

#endif  // KASTEL_CHECK_SHEET_CHECK_H_
