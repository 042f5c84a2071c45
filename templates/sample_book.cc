#include "sample_book.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "base/error.h"
#include "base/value.h"

namespace kastel::templates {
namespace {

constexpr std::string_view kListSheet = "テーブル一覧";
constexpr std::string_view kTemplateSheet = "template";
// The table list's first row and its list columns C to F.
constexpr int kListFirstRow = 5;
constexpr int kListName = 3, kListTitle = 4, kListKey = 5, kListColumns = 6;
// Last rows of the first printed page of a definition sheet and of the table list; longer
// content widens the print areas, as the table-list refresh does.
constexpr int kSheetPageLastRow = 37;
constexpr int kListPageLastRow = 34;

struct Pos {
  int row = 0;
  int col = 0;
};

struct Layout {
  Pos table_name, table_title, table_number, column_name, column_title, data_type, nullable,
      default_value, index_column, column_comment, index_name, constraint_type;
};

[[noreturn]] void Fail(const std::string& what) {
  throw Error(kFileFormatError, "kastel_make_sample", what);
}

int ParseInt(std::string_view text) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() ? value : 0;
}

Pos ReadPos(host::Workbook& wb, std::string_view name) {
  Value v = wb.CustomDocumentProperties().Item(name).GetValue();
  std::string text = v.kind() == Value::Kind::kText ? v.text() : "";
  size_t comma = text.find(',');
  Pos pos;
  if (comma != std::string::npos) {
    pos = {ParseInt(std::string_view(text).substr(0, comma)),
           ParseInt(std::string_view(text).substr(comma + 1))};
  }
  if (pos.row < 1 || pos.col < 1) {
    Fail("レイアウトのプロパティ " + std::string(name) + " が不正です: \"" + text + "\"");
  }
  return pos;
}

Layout ReadLayout(host::Workbook& wb) {
  return {
      ReadPos(wb, "TABLE_NAME"),     ReadPos(wb, "TABLE_TITLE"),  ReadPos(wb, "TABLE_NUMBER"),
      ReadPos(wb, "COLUMN_NAME"),    ReadPos(wb, "COLUMN_TITLE"), ReadPos(wb, "DATA_TYPE"),
      ReadPos(wb, "NULLABLE"),       ReadPos(wb, "DEFAULT"),      ReadPos(wb, "INDEX_COLUMN"),
      ReadPos(wb, "COLUMN_COMMENT"), ReadPos(wb, "INDEX_NAME"),   ReadPos(wb, "CONSTRAINT_TYPE")};
}

// A plain decimal such as 0, 12 or -1.5 (no leading zeros, so '0000' style codes stay text).
bool IsPlainNumber(std::string_view s) {
  if (!s.empty() && s.front() == '-') s.remove_prefix(1);
  size_t digits = s.find_first_not_of("0123456789");
  std::string_view whole = s.substr(0, digits);
  if (whole.empty() || (whole.size() > 1 && whole.front() == '0')) return false;
  if (digits == std::string_view::npos) return true;
  std::string_view fraction = s.substr(digits);
  return fraction.size() > 1 && fraction.front() == '.' &&
         fraction.find_first_not_of("0123456789", 1) == std::string_view::npos;
}

// The value a field stands for. The host drops one leading apostrophe from text, as from a
// typed entry, so text that starts with one gets another in front to arrive unchanged.
Value FieldValue(const std::string& field) {
  if (field.empty()) return Value();
  if (IsPlainNumber(field)) {
    double number = 0;
    std::from_chars(field.data(), field.data() + field.size(), number);  // locale-free
    return Value::Number(number);
  }
  return Value::Text(field.front() == '\'' ? "'" + field : field);
}

std::string ColumnLetters(int col) {
  std::string letters;
  for (; col > 0; col = (col - 1) / 26) {
    letters.insert(letters.begin(), static_cast<char>('A' + (col - 1) % 26));
  }
  return letters;
}

void SetTextProperty(host::Workbook& wb, std::string_view name, std::string_view value) {
  host::DocumentProperties& props = wb.CustomDocumentProperties();
  for (int i = 1; i <= props.Count(); ++i) {
    if (props.Item(i).Name() == name) {
      props.Item(i).SetValue(Value::Text(std::string(value)));
      return;
    }
  }
  props.AddText(name, value);
}

std::string_view TypeListR1C1(std::string_view dialect) {
  if (dialect == "ORA") return "='@LIST'!R2C3:R21C3";
  if (dialect == "PGS") return "='@LIST'!R2C4:R32C4";
  return "='@LIST'!R2C2:R28C2";
}

void WriteColumns(host::Worksheet& ws, const Layout& l, const SampleTable& table) {
  int row = l.column_name.row;
  for (const SampleColumn& c : table.columns) {
    ws.SetCell(row, l.column_name.col, FieldValue(c.name));
    ws.SetCell(row, l.column_title.col, FieldValue(c.title));
    ws.SetCell(row, l.data_type.col, FieldValue(c.data_type));
    ws.SetCell(row, l.nullable.col, FieldValue(c.nullable));
    ws.SetCell(row, l.default_value.col, FieldValue(c.default_value));
    ws.SetCell(row, l.column_comment.col, FieldValue(c.comment));
    for (size_t i = 0; i < c.keys.size(); ++i) {
      if (c.keys[i] == 0) continue;
      ws.SetCell(row, l.index_column.col + static_cast<int>(i), Value::Number(c.keys[i]));
    }
    ++row;
  }
  // The template has no print area of its own, so every copy is given one.
  ws.SetPrintArea("$B$3:$" + ColumnLetters(l.constraint_type.col) + "$" +
                  std::to_string(std::max(row - 1, kSheetPageLastRow)));
}

void WriteIndexes(host::Worksheet& ws, const Layout& l, const SampleTable& table) {
  int row = l.index_name.row;
  for (const SampleIndex& index : table.indexes) {
    ws.SetCell(row, l.index_name.col, FieldValue(index.name));
    ws.SetCell(row, l.constraint_type.col, FieldValue(index.kind));
    ++row;
  }
}

// A copy of the template sheet lands right before it, so it is the last sheet but one.
host::Worksheet& AddDefinitionSheet(host::Workbook& wb, int number) {
  host::Worksheet& tmpl = wb.Worksheets(kTemplateSheet);
  tmpl.Copy(tmpl);
  host::Worksheet& ws = wb.Worksheets(wb.WorksheetCount() - 1);
  ws.SetName(std::to_string(number));
  ws.SetVisible(true);
  return ws;
}

void ListTable(host::Worksheet& list, int number, const SampleTable& table) {
  int row = kListFirstRow + number - 1;
  list.SetCell(row, kListName, FieldValue(table.name));
  list.SetCell(row, kListTitle, FieldValue(table.title));
  list.SetCell(row, kListKey, FieldValue(table.PrimaryKeyName()));
  list.SetCell(row, kListColumns, Value::Number(static_cast<double>(table.columns.size())));
  list.AddHyperlink("C" + std::to_string(row), std::to_string(number) + "!R1C1", table.name);
}

}  // namespace

host::Workbook& MakeSampleBook(host::Application& app, std::string_view template_path,
                               std::string_view dialect, const std::vector<SampleTable>& tables) {
  host::Workbook& wb = app.AddWorkbook(template_path);
  SetTextProperty(wb, "DB", dialect);
  wb.WorkbookNames().Delete("DATA_TYPE");
  wb.WorkbookNames().AddR1C1("DATA_TYPE", TypeListR1C1(dialect));

  Layout layout = ReadLayout(wb);
  host::Worksheet& list = wb.Worksheets(kListSheet);
  int number = 0;
  for (const SampleTable& table : tables) {
    host::Worksheet& ws = AddDefinitionSheet(wb, ++number);
    ws.SetCell(layout.table_name.row, layout.table_name.col, FieldValue(table.name));
    ws.SetCell(layout.table_title.row, layout.table_title.col, FieldValue(table.title));
    ws.SetCell(layout.table_number.row, layout.table_number.col, Value::Number(number));
    WriteColumns(ws, layout, table);
    WriteIndexes(ws, layout, table);
    ListTable(list, number, table);
  }
  int last_list_row = kListFirstRow + number - 1;
  if (last_list_row > kListPageLastRow)
    list.SetPrintArea("$A$1:$K$" + std::to_string(last_list_row));
  list.Activate();
  return wb;
}

}  // namespace kastel::templates
