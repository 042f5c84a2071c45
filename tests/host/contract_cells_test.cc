// Cell values through the port: each kind read back as written, the cell's format kept, and
// writes the host refuses.
#include <cmath>
#include <limits>

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

}  // namespace
}  // namespace kastel::host::testing
