// Reading cell values from workbooks written by openpyxl.
#include <gtest/gtest.h>

#include "base/vb.h"
#include "package_fixture.h"
#include "sheet_fixture.h"
#include "xlsx/a1.h"

namespace kastel::xlsx::testing {
namespace {

struct Expected {
  const char* cell;
  Value value;
};

// What the "cells" sheet holds, as the host hands it over.
const std::vector<Expected>& CellsSheet() {
  static const std::vector<Expected> cases = {
      {"A1", Value::Text("テーブル定義書")},  // shared string
      {"A2", Value::Text("  前後に空白  ")},  // inline, blanks kept
      {"A3", Value::Number(12)},
      {"A4", Value::Number(1.5)},
      {"A5", Value::Boolean(true)},
      {"A6", Value::Boolean(false)},
      {"A7", Value::Date(45296)},               // 2024/01/05
      {"A8", Value::Date(45296.37716435185)},   // 2024/01/05 9:03:07
      {"A9", Value::Date(0.3771643518518519)},  // 9:03:07, a time alone
      {"A10", Value::Date(6)},                  // 1900/01/05: serial 5, before the false leap day
      {"A11", Value::Date(45296)},              // Japanese era format
      {"A12", Value::Number(1234.5)},           // 0.00E+00 is no date
      {"A13", Value::Number(7)},                // "day" 0 is no date
      {"A14", Value::Date(0.25)},               // [h]:mm
      {"A15", Value::Number(24)},               // formula, cached value
      {"A16", Value::Text("テーブル定義書!")},  // formula with a text result
      {"A17", Value::ErrorValue("#N/A")},
      {"A18", Value::ErrorValue("#DIV/0!")},
      {"A19", Value::Number(13.5)},
      {"B1", Value::Text("漢字")},             // inline rich text, phonetic run left out
      {"B2", Value::Text("リッチ テキスト")},  // shared rich text, phonetic run left out
      {"B3", Value::Date(45296.5)},            // t="d"
      {"B4", Value::Text("番地なし")},         // a cell without r, placed after A4
      {"C4", Value()},
      {"D1", Value::Number(13)},   // shared formula master
      {"D2", Value::Number(2.5)},  // and its dependants
      {"D3", Value::Number(2)},
      {"E1", Value::Number(24)},  // array formula
      {"E2", Value::Number(3)},
      {"H1", Value::Text("結合")},  // merged H1:I2
      {"I2", Value()},
      {"Z99", Value()}};
  return cases;
}

void ExpectCells(SheetData& data, const std::vector<Expected>& cases, const std::string& label) {
  for (const Expected& c : cases) {
    auto ref = ParseCell(c.cell);
    ASSERT_TRUE(ref) << c.cell;
    const Value got = data.Get(ref->row, ref->column);
    if (got.kind() == Value::Kind::kDate && c.value.kind() == Value::Kind::kDate) {
      // Writers differ in the digits they keep of a time; a millisecond is plenty.
      EXPECT_NEAR(got.date(), c.value.date(), 1e-8) << label << " " << c.cell;
      continue;
    }
    EXPECT_EQ(got, c.value) << label << " " << c.cell << ": got kind "
                            << static_cast<int>(got.kind());
  }
}

TEST(SheetReadTest, ValuesWrittenByOpenpyxlReadAsTheHostGivesThem) {
  SheetUnderTest sheet(FixtureDir() + "/cells.xlsx", "cells");
  ExpectCells(sheet.data(), CellsSheet(), "openpyxl");
  EXPECT_EQ(vb::Concat(sheet.data().Get(10, 1)), "1900/01/05");
  EXPECT_FALSE(sheet.data().modified());
}

TEST(SheetReadTest, DatesOfThe1904SystemReadAsTheSameDays) {
  SheetUnderTest sheet(FixtureDir() + "/cells1904.xlsx", "cells");
  std::vector<Expected> dates;
  for (const Expected& c : CellsSheet()) {
    if (c.value.kind() == Value::Kind::kDate && std::string(c.cell) != "A10") dates.push_back(c);
  }
  ASSERT_EQ(dates.size(), 6u);
  ExpectCells(sheet.data(), dates, "1904");
  EXPECT_EQ(vb::Concat(sheet.data().Get(8, 1)), "2024/01/05 9:03:07");
}

TEST(SheetReadTest, ReleaseDropsAnUnmodifiedSheetAndTheNextReadParsesItAgain) {
  SheetUnderTest sheet(FixtureDir() + "/cells.xlsx", "cells");
  EXPECT_EQ(sheet.data().Get(3, 1), Value::Number(12));
  sheet.data().Release();
  EXPECT_EQ(sheet.data().Get(4, 1), Value::Number(1.5));
  sheet.data().Set(4, 1, Value::Number(2));
  sheet.data().Release();  // modified: kept
  EXPECT_EQ(sheet.data().Get(4, 1), Value::Number(2));
}

TEST(SheetReadTest, ASharedStringTableAboveTheLimitIsRefusedBeforeItIsStored) {
  PackageLimits limits;
  limits.max_shared_strings = 1;  // the table holds 2
  SheetUnderTest sheet(FixtureDir() + "/cells.xlsx", "cells", limits);
  EXPECT_EQ(sheet.data().Get(3, 1), Value::Number(12));  // no shared string needed yet
  const std::string message =
      "ブック '" + FixtureDir() + "/cells.xlsx' の共有文字列が多すぎます (上限 1 件)。";
  ExpectError([&] { sheet.data().Get(1, 1); }, kFileFormatError, message);

  limits.max_shared_strings = 2;
  SheetUnderTest exact(FixtureDir() + "/cells.xlsx", "cells", limits);
  EXPECT_EQ(exact.data().Get(1, 1), Value::Text("テーブル定義書"));
}

// A one-sheet package whose sheet (and shared-string table) are the given XML.
struct Damaged {
  const char* label;
  const char* sheet_data;
  int row, column;
  const char* what;  // the description's detail
};

TEST(SheetReadTest, DamagedCellDataFailsWithOneClearMessage) {
  const Damaged cases[] = {
      {"rows out of order", R"(<row r="3"/><row r="2"/>)", 1, 1, "行番号の並びが不正です"},
      {"repeated row", R"(<row r="2"/><row r="2"/>)", 1, 1, "行番号の並びが不正です"},
      {"row zero", R"(<row r="0"/>)", 1, 1, "行番号の並びが不正です"},
      {"row past the sheet", R"(<row r="1048577"/>)", 1, 1, "行番号の並びが不正です"},
      {"cells out of order", R"(<row r="1"><c r="B1"/><c r="A1"/></row>)", 1, 1,
       "セル番地の並びが不正です"},
      {"cell in another row", R"(<row r="1"><c r="A2"/></row>)", 1, 1, "セル番地の並びが不正です"},
      {"not a number", R"(<row r="1"><c r="A1"><v>abc</v></c></row>)", 1, 1,
       "数値の形式が不正です"},
      {"infinite number", R"(<row r="1"><c r="A1"><v>inf</v></c></row>)", 1, 1,
       "数値の形式が不正です"},
      {"bad string index", R"(<row r="1"><c r="A1" t="s"><v>-1</v></c></row>)", 1, 1,
       "共有文字列の番号が不正です"},
      {"bad ISO date", R"(<row r="1"><c r="A1" t="d"><v>2024-13-01</v></c></row>)", 1, 1,
       "日付の形式が不正です"}};
  for (const Damaged& c : cases) {
    SCOPED_TRACE(c.label);
    auto entries = MinimalWorkbook();
    entries.back().bytes =
        std::string(
            R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
            "<sheetData>") +
        c.sheet_data + "</sheetData></worksheet>";
    SheetUnderTest sheet(Package::OpenBytes(BuildZip(entries), "damaged.xlsx"), "Sheet1");
    ExpectError([&] { sheet.data().Get(c.row, c.column); }, kFileFormatError,
                "ブック 'damaged.xlsx' の xl/worksheets/sheet1.xml が壊れています (" +
                    std::string(c.what) + ")。");
  }
}

TEST(SheetReadTest, AStringIndexOutsideTheTableIsADamagedFile) {
  SheetUnderTest sheet(FixtureDir() + "/cells.xlsx", "cells");
  pugi::xml_node a1 = sheet.package()
                          .Xml("xl/worksheets/sheet1.xml")
                          .select_node("//*[local-name()='c'][@r='A1']/*[local-name()='v']")
                          .node();
  ASSERT_TRUE(a1);
  a1.text().set("7");
  ExpectError([&] { sheet.data().Get(1, 1); }, kFileFormatError,
              "ブック '" + FixtureDir() +
                  "/cells.xlsx' の共有文字列の番号 7 が表にありません。ファイルが壊れています。");
}

}  // namespace
}  // namespace kastel::xlsx::testing
