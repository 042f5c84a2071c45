// Cell values through the port: each kind read back as written, the cell's format kept, and
// writes the host refuses.
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "adapters.h"

namespace kastel::host::testing {
namespace {

constexpr char kHostMessage[] = "アプリケーション定義またはオブジェクト定義のエラーです。";

TEST_P(HostContract, CellsReadBackWhatWasWrittenAndRefuseWhatTheHostRefuses) {
  Worksheet& sheet = Open("cells.xlsx").Worksheets("cells");
  const struct {
    int row, column;
    Value value;
    Value read;
  } writes[] = {{1, 11, Value::Text("新しい値"), Value::Text("新しい値")},
                {2, 11, Value::Text("'0123"), Value::Text("0123")},
                {3, 11, Value::Number(3.25), Value::Number(3.25)},
                {4, 11, Value::Number(-0.0), Value::Number(0)},
                {5, 11, Value::Boolean(true), Value::Boolean(true)},
                {6, 11, Value::Date(45296.5), Value::Date(45296.5)},
                {7, 11, Value::Date(0.75), Value::Date(0.75)},
                {8, 11, Value::ErrorValue("#N/A"), Value::ErrorValue("#N/A")},
                {9, 11, Value::Text("改\n行"), Value::Text("改\n行")},
                {7, 1, Value::Number(45000), Value::Date(45000)},  // a date format stays
                {3, 1, Value(), Value()},
                {10, 1, Value::Null(), Value()},
                {2, 2, Value::Text(""), Value()}};
  for (const auto& w : writes) {
    sheet.SetCell(w.row, w.column, w.value);
    EXPECT_EQ(sheet.Cell(w.row, w.column), w.read) << w.row << "," << w.column;
  }
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* label;
    int row, column;
    Value value;
  } refused[] = {{"NaN", 1, 11, Value::Number(std::nan(""))},
                 {"infinity", 1, 11, Value::Number(inf)},
                 {"infinite date", 1, 11, Value::Date(-inf)},
                 {"unknown error value", 1, 11, Value::ErrorValue("#OOPS!")},
                 {"row 0", 0, 1, Value::Number(1)},
                 {"column past XFD", 1, 16385, Value::Number(1)},
                 {"row past the sheet", 1048577, 1, Value::Number(1)}};
  for (const auto& r : refused) {
    SCOPED_TRACE(r.label);
    ExpectError([&] { sheet.SetCell(r.row, r.column, r.value); }, kHostError, kHostMessage);
    EXPECT_EQ(sheet.Cell(1, 11), Value::Text("新しい値"));
  }
}

// A walk down a column finds the rows that reading Cell row by row finds, on the sheet as read
// and as changed since.
TEST_P(HostContract, FilledRowsAreTheRowsWhoseCellsReadAsSomething) {
  Worksheet& sheet = Open("cells.xlsx").Worksheets("cells");
  auto by_cells = [&](int column, int first, int last) {
    std::vector<int> rows;
    for (int row = first; row <= last; ++row) {
      if (!sheet.Cell(row, column).is_empty()) rows.push_back(row);
    }
    return rows;
  };
  for (const char* state : {"as read", "changed"}) {
    for (int column = 1; column <= 12; ++column) {
      for (const auto& [first, last] : {std::pair{1, 40}, {2, 7}, {7, 7}, {9, 3}}) {
        const std::vector<int> expected = by_cells(column, first, last);
        EXPECT_EQ(sheet.FilledRows(column, first, last), expected)
            << state << " column " << column << " rows " << first << "-" << last;
      }
    }
    sheet.SetCell(7, 1, Value());
    sheet.SetCell(2, 3, Value::Text("x"));
  }
  ExpectError([&] { sheet.FilledRows(1, 0, 3); }, kHostError, kHostMessage);
}

}  // namespace
}  // namespace kastel::host::testing
