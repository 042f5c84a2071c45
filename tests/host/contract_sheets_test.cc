// What a sheet does through the port: renaming under the host's rules, print areas, Find.
#include "adapters.h"

namespace kastel::host::testing {
namespace {

TEST_P(HostContract, RenameEnforcesTheSheetNameRules) {
  struct Case {
    std::string name;
    std::string error;  // empty: accepted
  } cases[] = {
      {"定義", ""},
      {"a'b", ""},
      {std::string(31, 'x'), ""},
      {"TEMPLATE", ""},  // its own name in other case
      {"", "シート名を空にすることはできません。"},
      {std::string(32, 'x'),
       "シート名'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx'"
       "は長すぎます。シート名は31文字以内にしてください。"},
      {"'ab", "シート名''ab'は使えません。シート名の先頭と末尾にアポストロフィは使えません。"},
      {"ab'", "シート名'ab''は使えません。シート名の先頭と末尾にアポストロフィは使えません。"},
      {"history", "シート名'History'はアプリケーションが予約しているため使えません。"},
      {"参照", "シート名'参照'は既に使われています。別の名前を指定してください。"},
      {"@list", "シート名'@list'は既に使われています。別の名前を指定してください。"}};
  std::vector<Case> all(std::begin(cases), std::end(cases));
  for (const char* c : {":", "\\", "/", "?", "*", "[", "]"}) {
    const std::string name = std::string("a") + c + "b";
    all.push_back({name, "シート名'" + name +
                             "'には使えない文字が含まれています。: \\ / ? * [ ] は使えません。"});
  }
  Workbook& wb = Open("book.xlsx");
  Worksheet& sheet = wb.Worksheets("template");
  for (const auto& c : all) {
    SCOPED_TRACE(c.name);
    sheet.SetName("template");
    if (!c.error.empty()) {
      ExpectError([&] { sheet.SetName(c.name); }, kHostError, c.error);
      EXPECT_EQ(sheet.Name(), "template");
    } else {
      sheet.SetName(c.name);
      EXPECT_EQ(sheet.Name(), c.name);
      EXPECT_EQ(&wb.Worksheets(c.name), &sheet);
    }
  }
}

TEST_P(HostContract, PrintAreaIsSetReadAndRemovedAsAnAbsoluteRangeOfTheSheet) {
  struct Case {
    const char* given;
    const char* read;
  } cases[] = {{"$B$3:$R$40", "$B$3:$R$40"},
               {"B3:C4", "$B$3:$C$4"},
               {"A1", "$A$1"},
               {"$A$1:$B$2,$D$1:$E$2", "$A$1:$B$2,$D$1:$E$2"},
               {"", ""}};
  Workbook& wb = Open("book.xlsx");
  Worksheet& sheet = wb.Worksheets("template");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given);
    sheet.SetPrintArea(c.given);
    EXPECT_EQ(sheet.PrintArea(), c.read);
    EXPECT_EQ(wb.Worksheets("一覧").PrintArea(), "");
  }
  for (const char* bad : {"B3:", "3B", "$B$3:$R$40,"}) {
    ExpectError([&] { sheet.SetPrintArea(bad); }, kHostError,
                std::string("印刷範囲'") + bad + "'は正しくありません。");
    EXPECT_EQ(sheet.PrintArea(), "");
  }
}

TEST_P(HostContract, CopyPlacesTheCopyBeforeTheGivenSheetAsASheetOfItsOwn) {
  Workbook& wb = Open("calc.xlsx");
  Worksheet& tpl = wb.Worksheets("template");
  tpl.SetCell(10, 2, Value::Text("書きかけ"));
  tpl.Copy(tpl);
  tpl.Copy(tpl);
  wb.Worksheets("@LIST").Copy(wb.Worksheets("一覧"));
  ASSERT_EQ(wb.WorksheetCount(), 7);
  const char* order[] = {"@LIST (2)",    "一覧",         "@LIST",   "参照",
                         "template (2)", "template (3)", "template"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(wb.Worksheets(i + 1).Name(), order[i]);
  Worksheet& copy = wb.Worksheets("template (2)");
  EXPECT_EQ(copy.Visible(), Visibility::kVisible);
  EXPECT_EQ(wb.Worksheets("@LIST (2)").Visible(), Visibility::kHidden);
  EXPECT_EQ(copy.Cell(3, 2), Value::Text("テーブル定義書"));
  EXPECT_EQ(copy.Cell(10, 2), Value::Text("書きかけ"));
  EXPECT_EQ(copy.PrintArea(), "$B$3:$V$37");
  copy.SetCell(3, 2, Value::Text("別物"));
  copy.SetPrintArea("$B$3:$V$50");
  EXPECT_EQ(tpl.Cell(3, 2), Value::Text("テーブル定義書"));
  EXPECT_EQ(tpl.PrintArea(), "$B$3:$V$37");
  EXPECT_EQ(&wb.ActiveSheet(), &wb.Worksheets("一覧"));
}

TEST_P(HostContract, VisibilityActivationAndSelectionKeepOneSheetShownAndActive) {
  Workbook& wb = Open("book.xlsx");
  Worksheet& very = wb.Worksheets("参照");
  very.SetVisible(false);  // very hidden becomes plainly hidden
  EXPECT_EQ(very.Visible(), Visibility::kHidden);
  very.SetVisible(true);
  EXPECT_EQ(very.Visible(), Visibility::kVisible);
  wb.Worksheets("template").Activate();
  EXPECT_EQ(wb.ActiveSheet().Name(), "template");
  wb.Worksheets("一覧").Select();
  EXPECT_EQ(wb.ActiveSheet().Name(), "一覧");
  wb.Worksheets("一覧").SetVisible(false);
  wb.Worksheets("template").SetVisible(false);
  // The active sheet was hidden: the next visible one took its place.
  EXPECT_EQ(&wb.ActiveSheet(), &very);
  ExpectError([&] { very.SetVisible(false); }, kHostError,
              "ブックには表示されているシートが少なくとも 1 "
              "つ必要です。最後の表示シートは非表示にできません。");
  EXPECT_EQ(very.Visible(), Visibility::kVisible);
}

constexpr auto kRows = SearchOrder::kByRows;
constexpr auto kColumns = SearchOrder::kByColumns;

// The "find" sheet: B2 12 (a number), B3 "12", C8 "ID", C9 "Name", C10 "name", E9 "NAME",
// G1 "ＩＤ", G2 "ｉｄ", H5 "テーブル定義書", J7 "prefix Name suffix", K1 TRUE.
TEST_P(HostContract, FindStartsAfterTheGivenCellAndWrapsInTheGivenOrder) {
  struct Search {
    const char* what;
    CellPos after;
    SearchOrder order;
    bool whole_cell;
    bool match_case;
    std::optional<CellPos> found;
  } cases[] = {
      {"テーブル定義書", {1, 1}, kRows, true, false, CellPos{5, 8}},
      {"テーブル定義書", {5, 8}, kRows, true, false, CellPos{5, 8}},  // itself, last
      {"テーブル定義書", {9, 9}, kRows, true, false, CellPos{5, 8}},  // wrapped
      {"name", {7, 3}, kColumns, true, false, CellPos{9, 3}},
      {"name", {9, 3}, kColumns, true, false, CellPos{10, 3}},
      {"name", {10, 3}, kColumns, true, false, CellPos{9, 5}},
      {"name", {9, 5}, kColumns, true, false, CellPos{9, 3}},  // wrapped
      {"name", {1, 1}, kRows, true, false, CellPos{9, 3}},
      {"name", {9, 3}, kRows, true, false, CellPos{9, 5}},
      {"name", {9, 5}, kRows, true, false, CellPos{10, 3}},
      {"name", {10, 3}, kRows, true, false, CellPos{9, 3}},    // wrapped
      {"name", {10, 3}, kRows, false, false, CellPos{7, 10}},  // part of J7, first after wrap
      {"name", {1, 1}, kRows, true, true, CellPos{10, 3}},     // case matters
      {"Name", {1, 1}, kColumns, false, true, CellPos{9, 3}},
      {"id", {7, 3}, kColumns, true, false, CellPos{8, 3}},
      {"ｉｄ", {1, 1}, kRows, true, false, CellPos{1, 7}},  // full-width letters
      {"ＩＤ", {1, 7}, kRows, true, false, CellPos{2, 7}},
      {"12", {1, 1}, kRows, true, false, CellPos{2, 2}},  // the number 12
      {"12", {2, 2}, kRows, true, false, CellPos{3, 2}},  // the text "12"
      {"true", {1, 1}, kRows, true, false, CellPos{1, 11}},
      {"1", {1, 1}, kRows, true, false, std::nullopt},
      {"", {1, 1}, kRows, true, false, std::nullopt},
      {"nothing", {1, 1}, kColumns, false, false, std::nullopt},
      {"name", {1048576, 16384}, kRows, true, false, CellPos{9, 3}}};
  const Worksheet& sheet = Open("cells.xlsx").Worksheets("find");
  for (const Search& c : cases) {
    const FindOptions options{c.what, c.after, c.order, c.whole_cell, c.match_case};
    const auto found = sheet.Find(options);
    EXPECT_EQ(found, c.found) << c.what << " after (" << c.after.row << "," << c.after.column
                              << ") order " << static_cast<int>(c.order) << ": got "
                              << (found ? found->row : 0) << "," << (found ? found->column : 0);
  }
}

}  // namespace
}  // namespace kastel::host::testing
