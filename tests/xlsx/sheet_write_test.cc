// Writing cells, clearing ranges and adding hyperlinks, checked by reading the saved file
// back with openpyxl, with LibreOffice and with the cell layer itself.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "package_fixture.h"
#include "sheet_fixture.h"
#include "xlsx/a1.h"

namespace kastel::xlsx::testing {
namespace {

constexpr char kSheetPart[] = "xl/worksheets/sheet1.xml";
constexpr char kArrayMessage[] = "配列の一部を変更することはできません。";
constexpr char kHostMessage[] = "アプリケーション定義またはオブジェクト定義のエラーです。";

struct Write {
  const char* cell;
  Value value;
  Value read_back;  // what the cell layer reads from the saved file
  const char* py;   // what openpyxl reads, "type:value" or "type:"; nullptr: no value
};

const std::vector<Write>& Writes() {
  static const std::vector<Write> cases = {
      {"K1", Value::Text("新しい値"), Value::Text("新しい値"), "str:新しい値"},
      {"K2", Value::Text("'0123"), Value::Text("0123"), "str:0123"},
      {"K3", Value::Text("  前後  "), Value::Text("  前後  "), "str:  前後  "},
      {"K4", Value::Number(3.25), Value::Number(3.25), "float:3.25"},
      {"K5", Value::Number(1e20), Value::Number(1e20), "float:1e+20"},
      {"K6", Value::Number(-0.0), Value::Number(0), "int:0"},
      {"K7", Value::Boolean(true), Value::Boolean(true), "bool:True"},
      {"K8", Value::Date(45296.5), Value::Date(45296.5), "datetime:2024-01-05 12:00:00"},
      {"K9", Value::Date(6), Value::Date(6), "datetime:1900-01-05 00:00:00"},
      {"K10", Value::Date(0.75), Value::Date(0.75), "time:18:00:00"},
      // Before the first day of the 1900 system: the spreadsheet keeps such a date as text.
      {"K11", Value::Date(-1), Value::Text("1899/12/29"), "str:1899/12/29"},
      {"K12", Value::ErrorValue("#N/A"), Value::ErrorValue("#N/A"), "str:#N/A"},
      {"K13", Value::Text("_x0041_"), Value::Text("_x0041_"), "str:"},
      {"K14",
       Value::Text("a\x01"
                   "b"),
       Value::Text("a\x01"
                   "b"),
       "str:"},
      {"K15", Value::Text("<&>\"'"), Value::Text("<&>\"'"), "str:<&>\"'"},
      // openpyxl leaves the _x000D_ escape of CR as it is.
      {"K16", Value::Text("改\r\n行"), Value::Text("改\r\n行"), "str:改_x000D_\\n行"},
      {"K17", Value::Text("bad \xff byte"), Value::Text("bad \xEF\xBF\xBD byte"),
       "str:bad \xEF\xBF\xBD byte"},
      {"A3", Value::Text("上書き"), Value::Text("上書き"), "str:上書き"},
      {"A15", Value::Number(5), Value::Number(5), "int:5"},  // formula replaced
      {"D1", Value::Number(1), Value::Number(1), "int:1"},   // shared master
      {"A7", Value::Number(45000), Value::Date(45000), "datetime:2023-03-15 00:00:00"},
      {"A4", Value(), Value(), nullptr},         // cell removed
      {"A10", Value::Null(), Value(), nullptr},  // style kept
      {"B2", Value::Text(""), Value(), nullptr},
      {"K30", Value::Text("新しい行"), Value::Text("新しい行"), "str:新しい行"},
      {"K25", Value::Number(25), Value::Number(25), "int:25"},  // row between
      {"A1", Value::Text("'"), Value::Text(""), "str:"},        // an empty text, as typed
  };
  return cases;
}

CellRef Ref(const char* a1) {
  auto ref = ParseCell(a1);
  EXPECT_TRUE(ref) << a1;
  return ref.value_or(CellRef{1, 1});
}

// Rows and cells strictly ascending, no spans left on rows, the dimension covering every cell.
void ExpectWellFormedSheet(Package& package) {
  pugi::xml_node worksheet = package.Xml(kSheetPart).document_element();
  int last_row = 0;
  RangeRef bounds{{kMaxRow, kMaxColumn}, {1, 1}};
  for (pugi::xml_node row : worksheet.child("sheetData").children("row")) {
    const int r = row.attribute("r").as_int();
    EXPECT_GT(r, last_row);
    last_row = r;
    int last_column = 0;
    for (pugi::xml_node c : row.children("c")) {
      auto ref = ParseCell(c.attribute("r").value());
      ASSERT_TRUE(ref) << c.attribute("r").value();
      EXPECT_EQ(ref->row, r);
      EXPECT_GT(ref->column, last_column) << c.attribute("r").value();
      last_column = ref->column;
      bounds.first.row = std::min(bounds.first.row, r);
      bounds.last.row = std::max(bounds.last.row, r);
      bounds.first.column = std::min(bounds.first.column, ref->column);
      bounds.last.column = std::max(bounds.last.column, ref->column);
    }
  }
  auto dimension = ParseRange(worksheet.child("dimension").attribute("ref").value());
  ASSERT_TRUE(dimension);
  EXPECT_LE(dimension->first.row, bounds.first.row);
  EXPECT_LE(dimension->first.column, bounds.first.column);
  EXPECT_GE(dimension->last.row, bounds.last.row);
  EXPECT_GE(dimension->last.column, bounds.last.column);
}

TEST(SheetWriteTest, WrittenValuesReadBackThroughOpenpyxlLibreOfficeAndOurselves) {
  ScratchDir dir;
  const std::string saved = dir / "written.xlsx";
  {
    SheetUnderTest sheet(FixtureDir() + "/cells.xlsx", "cells");
    for (const Write& w : Writes()) {
      const CellRef ref = Ref(w.cell);
      sheet.data().Set(ref.row, ref.column, w.value);
    }
    EXPECT_TRUE(sheet.data().modified());
    EXPECT_TRUE(sheet.data().formulas_removed());
    ExpectWellFormedSheet(sheet.package());
    sheet.Save(saved);
  }
  SheetUnderTest reread(saved, "cells");
  for (const Write& w : Writes()) {
    const CellRef ref = Ref(w.cell);
    EXPECT_EQ(reread.data().Get(ref.row, ref.column), w.read_back) << w.cell;
  }

  const Facts f = DumpBook(saved);
  for (const Write& w : Writes()) {
    const std::string got = Get(f, std::string("cell:cells!") + w.cell);
    const std::string want = w.py ? w.py : "<none>";
    EXPECT_TRUE(want.ends_with(':') ? got.starts_with(want) : got == want) << w.cell << ": " << got;
  }
  // The dependants of the overwritten shared-formula master keep their own formulas.
  EXPECT_EQ(Get(f, "cell:cells!D2"), "str:=A4+1");
  EXPECT_EQ(Get(f, "cell:cells!D3"), "str:=A5+1");
  // A date written into a cell without a date format gets one; a date format is kept, also on
  // a cell emptied by a null.
  EXPECT_EQ(Get(f, "fmt:cells!K8"), "mm-dd-yy");
  EXPECT_EQ(Get(f, "fmt:cells!A7"), "yyyy/mm/dd");
  EXPECT_EQ(Get(f, "fmt:cells!A10"), "yyyy/mm/dd");

  const std::string converted = ConvertWithLibreOffice(saved, dir / "lo");
  ASSERT_NE(converted, "") << "LibreOffice could not read the saved file";
  SheetUnderTest lo(converted, "cells");
  for (const Write& w : Writes()) {
    // LibreOffice keeps no empty text, turns CR LF into LF and recalculates error values.
    if (w.read_back.is_empty() || w.read_back == Value::Text("") ||
        w.read_back == Value::Text("改\r\n行") || w.value.kind() == Value::Kind::kError) {
      continue;
    }
    const CellRef ref = Ref(w.cell);
    const Value got = lo.data().Get(ref.row, ref.column);
    if (w.read_back.kind() == Value::Kind::kDate) {
      ASSERT_EQ(got.kind(), Value::Kind::kDate) << w.cell;
      EXPECT_NEAR(got.date(), w.read_back.date(), 1e-8) << w.cell;
    } else {
      EXPECT_EQ(got, w.read_back) << w.cell;
    }
  }
  EXPECT_EQ(lo.data().Get(2, 4), Value::Number(2.5)) << "D2 recalculated from its own formula";
}

TEST(SheetWriteTest, DatesWrittenInThe1904SystemReadBackAsTheSameDays) {
  const struct {
    Value date;
    Value read_back;
    const char* py;
  } cases[] = {{Value::Date(45296.5), Value::Date(45296.5), "datetime:2024-01-05 12:00:00"},
               {Value::Date(1463), Value::Date(1463), "datetime:1904-01-02 00:00:00"},
               {Value::Date(0.25), Value::Date(0.25), "time:06:00:00"},
               {Value::Date(1462), Value::Text("1904/01/01"), "str:1904/01/01"},  // day 0: text
               {Value::Date(6), Value::Text("1900/01/05"), "str:1900/01/05"}};
  ScratchDir dir;
  {
    SheetUnderTest sheet(FixtureDir() + "/cells1904.xlsx", "cells");
    int row = 30;
    for (const auto& c : cases) sheet.data().Set(++row, 1, c.date);
    sheet.Save(dir / "1904.xlsx");
  }
  SheetUnderTest reread(dir / "1904.xlsx", "cells");
  const Facts f = DumpBook(dir / "1904.xlsx");
  int row = 30;
  for (const auto& c : cases) {
    ++row;
    EXPECT_EQ(reread.data().Get(row, 1), c.read_back) << "row " << row;
    EXPECT_EQ(Get(f, "cell:cells!A" + std::to_string(row)), c.py) << "row " << row;
  }
}

TEST(SheetWriteTest, RefusedWritesLeaveTheSheetAsItWas) {
  SheetUnderTest sheet(FixtureDir() + "/cells.xlsx", "cells");
  const struct {
    const char* label;
    int row, column;
    Value value;
    const char* message;
  } cases[] = {{"NaN", 1, 11, Value::Number(std::nan("")), kHostMessage},
               {"array master", 1, 5, Value::Number(1), kArrayMessage},
               {"array member", 2, 5, Value(), kArrayMessage}};
  for (const auto& c : cases) {
    ExpectError([&] { sheet.data().Set(c.row, c.column, c.value); }, kHostError, c.message);
    EXPECT_FALSE(sheet.data().modified()) << c.label;
  }
  EXPECT_EQ(sheet.data().Get(2, 5), Value::Number(3));
}

TEST(SheetWriteTest, ClearContentsKeepsStylesAndTheFormulasOutsideTheRange) {
  ScratchDir dir;
  SheetUnderTest sheet(FixtureDir() + "/cells.xlsx", "cells");
  sheet.data().ClearContents("C8:R520");  // nothing there
  EXPECT_FALSE(sheet.data().modified());
  sheet.data().ClearContents("A1:D2");  // D1 is a shared master, D3 stays outside
  sheet.data().ClearContents("E2");     // a piece of the E1:E2 array
  sheet.data().ClearContents("$A$7:$A$8");
  EXPECT_TRUE(sheet.data().formulas_removed());
  ExpectError([&] { sheet.data().ClearContents("A1:"); }, kHostError, kHostMessage);
  ExpectWellFormedSheet(sheet.package());
  sheet.Save(dir / "cleared.xlsx");

  const Facts f = DumpBook(dir / "cleared.xlsx");
  const struct {
    const char* cell;
    const char* value;  // "<none>": no value left
    const char* format;
  } cases[] = {{"A1", "<none>", "<none>"},        {"B2", "<none>", "<none>"},
               {"D1", "<none>", "<none>"},        {"D2", "<none>", "<none>"},
               {"E1", "<none>", "<none>"},        {"E2", "<none>", "<none>"},
               {"D3", "str:=A5+1", "<none>"},     {"A3", "int:12", "<none>"},
               {"A7", "<none>", "yyyy/mm/dd"},    {"A8", "<none>", "yyyy/mm/dd h:mm:ss"},
               {"A9", "time:09:03:07", "h:mm:ss"}};
  for (const auto& c : cases) {
    EXPECT_EQ(Get(f, std::string("cell:cells!") + c.cell), c.value) << c.cell;
    EXPECT_EQ(Get(f, std::string("fmt:cells!") + c.cell), c.format) << c.cell;
  }
}

}  // namespace
}  // namespace kastel::xlsx::testing
