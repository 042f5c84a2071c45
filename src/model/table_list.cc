// The table list: every definition sheet renumbered in tab order and listed with a link to it.
#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/vb.h"
#include "model/defines.h"
#include "model/screen_updating.h"
#include "util/shell.h"

namespace kastel::model {
namespace {

constexpr std::int32_t kFirstListRow = 5;
constexpr std::int32_t kLastFixedListRow = 204;  // the 200 rows the list sheet is laid out for
constexpr std::int32_t kLastSheetRow = 1048576;
constexpr std::int32_t kLastFirstPageRow = 37;  // a definition sheet's first printed page
constexpr int kNameColumn = 3;                  // C
constexpr int kColumnCountColumn = 6;           // F

// The last row the previous refresh may have written. Beyond the 200 rows of the list's layout
// the rows it wrote run on without a gap, and only they carry a link from the name column to a
// place in this workbook (to a sheet that may be gone since). The first row without one ends
// them: what stands there and below, such as a note typed under the list, is the user's.
std::int32_t LastWrittenListRow(host::Worksheet& list) {
  std::int32_t row = kLastFixedListRow;
  while (row < kLastSheetRow && !list.HyperlinkSubAddress(row + 1, kNameColumn).empty()) ++row;
  return row;
}

std::string AsciiLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// A prefix for the interim names "XXX1".."XXXn" that no sheet of the workbook uses yet: a
// workbook may well hold a sheet called "XXX2" (left by an interrupted refresh, or the user's),
// and renaming another sheet onto it would stop the refresh half way.
std::string FreePrefix(host::Workbook& wb, int count) {
  std::set<std::string> taken;
  for (int i = 1; i <= wb.WorksheetCount(); ++i) taken.insert(AsciiLower(wb.Worksheets(i).Name()));
  std::string prefix = "XXX";
  auto collides = [&] {
    for (int n = 1; n <= count; ++n) {
      if (taken.count(AsciiLower(prefix + std::to_string(n))) > 0) return true;
    }
    return false;
  };
  while (collides()) prefix += '_';
  return prefix;
}

std::vector<host::Worksheet*> DefinitionSheets(host::Workbook& wb) {
  std::vector<host::Worksheet*> sheets;
  const int count = wb.WorksheetCount();
  for (int i = 1; i <= count; ++i) {
    host::Worksheet& ws = wb.Worksheets(i);
    if (Defines::IsDefinitionSheet(ws)) sheets.push_back(&ws);
  }
  return sheets;
}

// The table name as the place names it; "" when the cell cannot be read as text.
std::string TableNameText(host::Worksheet& ws, const LayoutPos& cell) {
  try {
    return vb::Concat(ws.Cell(cell.row, cell.col));
  } catch (const Error&) {
    return "";
  }
}

}  // namespace

void Defines::RefreshList(host::Workbook& wb) {
  try {
    ScreenUpdatingOff screen(wb.App());
    try {
      Where::BookScope book(where_, wb.Name());
      LoadLayout(wb);
      host::Worksheet* list = nullptr;
      {
        Where::Scope at(where_, Where::SheetPart(std::string(kListSheet)));
        list = &wb.Worksheets(kListSheet);
        // The links go with the rows: a cleared row whose cell still led to a sheet would turn
        // what the user types there next into a link, and count as a list row to the next
        // refresh.
        const std::string rows =
            "C" + std::to_string(kFirstListRow) + ":K" + std::to_string(LastWrittenListRow(*list));
        list->ClearContents(rows);
        list->DeleteHyperlinks(rows);
      }
      // Renaming changes neither visibility nor the marker, so one look serves every pass.
      const std::vector<host::Worksheet*> sheets = DefinitionSheets(wb);
      sheets_listed_ = static_cast<int>(sheets.size());
      RenameDefinitionSheets(wb, sheets);
      const std::int32_t last_row = WriteListRows(sheets, *list);
      if (last_row > 34) list->SetPrintArea("$A$1:$K$" + std::to_string(last_row));
    } catch (const Error& e) {
      ErrMsg(e.description(), kMsgExclamation, "RefreshList");
    }
  } catch (const Error& e) {
    // Screen updating could not even be switched off.
    ErrMsg(e.description(), kMsgExclamation, "RefreshList");
  }
}

void Defines::RenameDefinitionSheets(host::Workbook& wb,
                                     const std::vector<host::Worksheet*>& sheets) {
  // Two rounds, so that sheet 2 can become "1" while another sheet is still called "1".
  const std::string prefix = FreePrefix(wb, static_cast<int>(sheets.size()));
  int n = 0;
  for (host::Worksheet* ws : sheets) {
    Where::Scope at(where_, Where::SheetPart(ws->Name()));
    ws->SetName(prefix + std::to_string(++n));
  }
  n = 0;
  for (host::Worksheet* ws : sheets) {
    Where::Scope at(where_, Where::SheetPart(ws->Name()));
    ws->SetName(std::to_string(++n));
  }
}

std::int32_t Defines::WriteListRows(const std::vector<host::Worksheet*>& sheets,
                                    host::Worksheet& list) {
  const Layout& at = layout_;
  std::int32_t row = kFirstListRow - 1;
  for (host::Worksheet* ws : sheets) {
    ++row;
    Where::Scope here(where_, Where::SheetPart(ws->Name()) + " " +
                                  Where::TablePart(TableNameText(*ws, at.table_name)));
    // Each cell read or written names itself while it is.
    auto in_cell = [this](const LayoutPos& cell, auto&& step) {
      Where::Scope in(where_, Where::CellPart(cell.row, cell.col));
      return step();
    };
    in_cell(at.table_number, [&] {
      ws->SetCell(at.table_number.row, at.table_number.col, Value::Number(row - kFirstListRow + 1));
    });
    in_cell(at.table_name, [&] {
      list.SetCell(row, kNameColumn, ws->Cell(at.table_name.row, at.table_name.col));
    });
    in_cell(at.table_title,
            [&] { list.SetCell(row, 4, ws->Cell(at.table_title.row, at.table_title.col)); });
    list.SetCell(row, 5, Value::Text(GetPrimaryKeyName(*ws)));
    const std::int32_t end = in_cell(at.column_name, [&] { return ColumnBlockEnd(*ws); });
    list.SetCell(row, kColumnCountColumn, Value::Number(end - at.column_name.row));
    // A sheet copied from a template without a print area (or by hand) gets one here.
    if (end > kLastFirstPageRow || ws->PrintArea().empty()) SetSheetPrintArea(*ws, end);
    std::string shown =
        in_cell(at.table_name, [&] { return vb::Concat(list.Cell(row, kNameColumn)); });
    if (shown.empty()) shown = "？";
    list.AddHyperlink("C" + std::to_string(row), ws->Name() + "!R1C1", shown);
  }
  return row;
}

void Defines::SetSheetPrintArea(host::Worksheet& ws, std::int32_t end) const {
  const std::int32_t last = std::max(end - 1, kLastFirstPageRow);
  ws.SetPrintArea("$B$3:$" + ColumnLetter(layout_.constraint_type.col) + "$" +
                  std::to_string(last));
}

std::string Defines::GetPrimaryKeyName(host::Worksheet& ws) {
  const LayoutPos& name = layout_.index_name;
  const std::int32_t kind_col = layout_.constraint_type.col;
  for (std::int32_t row = name.row; row < name.row + kMaxIndexRows; ++row) {
    {
      Where::Scope at(where_, Where::CellPart(row, name.col));
      if (IsEmptyEx(ws.Cell(row, name.col))) break;
    }
    Where::Scope at(where_, Where::CellPart(row, kind_col));
    if (CStrEx(ws.Cell(row, kind_col)) == "P") return vb::Concat(ws.Cell(row, name.col));
  }
  return "";
}

}  // namespace kastel::model
