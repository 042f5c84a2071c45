// The definition-workbook model: document properties and the layout of a definition sheet, the
// error reporter and the cell value helpers every layer uses, and the procedures that manage the
// sheets of a definition workbook as a whole (template, table list, data-type list).
//
// A Defines object holds what used to be module-level state: the twelve layout positions of the
// workbook loaded last and the count of failures shown. One object lives as long as the add-in
// and is passed to whoever needs it; it reaches the world only through the host and shell ports.
#ifndef KASTEL_MODEL_DEFINES_H_
#define KASTEL_MODEL_DEFINES_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/value.h"
#include "host/host.h"
#include "model/where.h"

namespace kastel {
class Shell;
}  // namespace kastel

namespace kastel::model {

// Fixed parts of a definition workbook, supplied by the template.
inline constexpr std::string_view kTemplateSheet = "template";
inline constexpr std::string_view kListSheet = "テーブル一覧";
inline constexpr std::string_view kTypeListSheet = "@LIST";
inline constexpr std::string_view kDataTypeName = "DATA_TYPE";
// The cell value that marks a definition sheet.
inline constexpr std::string_view kSheetMarker = "テーブル定義書";
// The column block is never read below this row.
inline constexpr std::int32_t kLastColumnRow = 520;
// The index block has at most this many rows.
inline constexpr std::int32_t kMaxIndexRows = 10;
// The procedure name under which the index import reports indexes it had no room for.
inline constexpr std::string_view kIndexOverflowProcedure = "lfIndexImport";
// Title of every message box the system shows.
inline constexpr std::string_view kMessageTitle = "KASTEL";

// One layout position. Where a parameter's row is not used, it is loaded (and must not be 0)
// but never addresses a cell.
struct LayoutPos {
  std::int32_t row = 0;
  std::int32_t col = 0;
};

// The twelve layout positions, all zero until the first load.
struct Layout {
  LayoutPos table_name;       // "TABLE_NAME": single cell; the key a sheet is found by
  LayoutPos table_title;      // "TABLE_TITLE": single cell
  LayoutPos table_number;     // "TABLE_NUMBER": single cell, written by RefreshList
  LayoutPos column_name;      // "COLUMN_NAME": first row and column of the column block
  LayoutPos column_title;     // "COLUMN_TITLE": column only
  LayoutPos data_type;        // "DATA_TYPE": column only
  LayoutPos nullable;         // "NULLABLE": column only
  LayoutPos default_value;    // "DEFAULT": column only
  LayoutPos index_column;     // "INDEX_COLUMN": first column of the index matrix
  LayoutPos column_comment;   // "COLUMN_COMMENT": column only
  LayoutPos index_name;       // "INDEX_NAME": first row and column of the index block
  LayoutPos constraint_type;  // "CONSTRAINT_TYPE": column only; "P" marks the primary key
};

// A layout parameter: its document property and the position it fills.
struct LayoutParam {
  std::string_view property;
  LayoutPos Layout::*pos;
};

// The parameters in loading order.
inline constexpr std::array<LayoutParam, 12> kLayoutParams = {{
    {"TABLE_NAME", &Layout::table_name},
    {"TABLE_TITLE", &Layout::table_title},
    {"TABLE_NUMBER", &Layout::table_number},
    {"COLUMN_NAME", &Layout::column_name},
    {"COLUMN_TITLE", &Layout::column_title},
    {"DATA_TYPE", &Layout::data_type},
    {"NULLABLE", &Layout::nullable},
    {"DEFAULT", &Layout::default_value},
    {"INDEX_COLUMN", &Layout::index_column},
    {"COLUMN_COMMENT", &Layout::column_comment},
    {"INDEX_NAME", &Layout::index_name},
    {"CONSTRAINT_TYPE", &Layout::constraint_type},
}};

class Defines {
 public:
  // `shell` shows the message boxes and must outlive this object.
  explicit Defines(Shell& shell);
  Defines(const Defines&) = delete;
  Defines& operator=(const Defines&) = delete;

  // ---- document properties (all text) ----

  // The custom property's value as text ("" & value), or "" when there is none.
  static std::string GetDocProperty(host::Workbook& wb, std::string_view name);
  // Sets the property, adding it as a text property when it does not exist.
  static void SetDocProperty(host::Workbook& wb, std::string_view name, std::string_view value);
  // True when a custom property is named exactly `name` (case-sensitive).
  static bool DocPropertyExists(host::Workbook& wb, std::string_view name);

  // ---- layout ----

  // Loads the twelve positions of `wb` in the order of kLayoutParams. Stops at the first failing
  // parameter, leaving the positions loaded so far replaced and the rest as they were.
  // Throws Error 20001 (source "Nordwick") for a row or column of 0; the runtime's 9, 13 or 6
  // for a missing comma or value, a non-number or a number beyond 16 bits; the host's error for
  // a missing property.
  void LoadLayout(host::Workbook& wb);
  // Reads one parameter "row,col" into `row` and `col` (both stored before either is tested).
  static void GetLayoutParam(host::Workbook& wb, std::string_view name, std::int32_t& row,
                             std::int32_t& col);
  // The positions of the workbook loaded last.
  const Layout& layout() const { return layout_; }

  // ---- error reporting and value helpers ----

  // Shows `message` in a message box titled "KASTEL" with `style`, then has the shell show
  // where() (see ShowPlace), and counts it as a failure; `procedure` is not shown, it only tells
  // whether the failure stopped the command (see GoesPast). Returns the code of the button
  // pressed.
  int ErrMsg(std::string_view message, int style, std::string_view procedure);
  // True for the procedures whose reported failure the command goes past: a sheet name the host
  // refused (the table is written on the template's copy), a cell value that did not convert,
  // indexes that do not fit the index block. Every other reported failure ends the command.
  static bool GoesPast(std::string_view procedure);
  // The failure handler's report: ErrMsg with the description of the exception being handled
  // (a kastel::Error's description, else what()), style 48 and `procedure`. REQUIRES: called
  // inside a catch block.
  void ErrMsgCurrent(std::string_view procedure);
  // Where the walk is: ErrMsg has the shell show it after the message.
  Where& where() { return where_; }
  // The number of messages ErrMsg has shown since this object was made.
  int failures_shown() const { return failures_shown_; }
  // How many of them ended a command (the rest were gone past).
  int stopping_failures() const { return stopping_failures_; }
  // The tables an import has written onto sheets since this object was made, for the summary a
  // command prints.
  void NoteTableImported() { ++tables_imported_; }
  int tables_imported() const { return tables_imported_; }
  // The definition sheets the last refresh of the table list found.
  int sheets_listed() const { return sheets_listed_; }

  // True when "" & value is "" (empty, null, zero-length text). A value that cannot be
  // concatenated is reported under "IsEmptyEx" and gives false.
  bool IsEmptyEx(const Value& value);
  // The text of `value`: texts as they are, empty and null as "", others as "" & value. A value
  // that cannot be converted is reported under "CStrEx" and gives "".
  std::string CStrEx(const Value& value);
  // The same for a value about to go, whose text is moved rather than copied.
  std::string CStrEx(Value&& value);
  // CStrEx(text) padded with half-width spaces to `width` CP932 bytes; never cut.
  std::string PadRightB(const Value& text, std::int32_t width);
  // The column letters of `column` (1 -> "A", 27 -> "AA", 702 -> "ZZ"); columns up to 16384
  // ("XFD") are served as the host names them. Throws Error 5 below 1 or beyond 16384.
  static std::string ColumnLetter(std::int32_t column);

  // ---- sheets, template, table list ----

  // True when `ws` is a definition sheet: shown, not named "template" (case-sensitive) and
  // holding a cell whose whole value is "テーブル定義書". Host failures rise.
  static bool IsDefinitionSheet(host::Worksheet& ws);
  // The first row below the column block of `ws` (the first empty column-name cell, at most
  // row 521) with the loaded layout. Host failures rise.
  std::int32_t ColumnBlockEnd(host::Worksheet& ws) const;

  // The first sheet (tab order, hidden ones included) whose table-name cell equals `table_name`
  // ignoring case; with `create`, else a new visible copy of the template named `table_name`
  // just before it. Null when none; failures are reported under "GetSheet" and give what was
  // found or created so far.
  host::Worksheet* GetSheet(std::string_view table_name, host::Workbook& wb, bool create);
  // Shows the template sheet when hidden (and selects it), hides it when shown. Failures are
  // reported under "DispTemplate".
  void DispTemplate(host::Workbook& wb);
  // Renumbers the definition sheets 1, 2, 3... and rebuilds the table list with links to them.
  // Failures are reported under "RefreshList"; screen updating is on again on every path.
  void RefreshList(host::Workbook& wb);
  // Sets the print area of a definition sheet whose column block ends above row `end`: B3 to
  // the constraint-type column, down to row 37 (the first page) or to the block's last row.
  // REQUIRES: the layout loaded. Failures rise.
  void SetSheetPrintArea(host::Worksheet& ws, std::int32_t end) const;
  // The name of the index whose constraint kind is "P", or "". Failures rise.
  std::string GetPrimaryKeyName(host::Worksheet& ws);
  // Points "DATA_TYPE" at the type list of the workbook's dialect; does nothing for a workbook
  // without the mark "TEMPLATE" = "DB". Fails when the workbook has no name "DATA_TYPE".
  static void SetDataTypeList(host::Workbook& wb);

 private:
  // RefreshList's passes over the definition sheets, in tab order.
  void RenameDefinitionSheets(host::Workbook& wb, const std::vector<host::Worksheet*>& sheets);
  std::int32_t WriteListRows(const std::vector<host::Worksheet*>& sheets, host::Worksheet& list);

  Shell& shell_;
  Layout layout_;
  Where where_;
  int failures_shown_ = 0;
  int stopping_failures_ = 0;
  int tables_imported_ = 0;
  int sheets_listed_ = 0;
};

}  // namespace kastel::model

#endif  // KASTEL_MODEL_DEFINES_H_
