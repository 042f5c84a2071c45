// Rewriting references inside formula text.
#include <gtest/gtest.h>

#include "xlsx/formula.h"

namespace kastel::xlsx {
namespace {

TEST(FormulaTest, RenameSheetReplacesEveryReferenceOutsideStringLiterals) {
  const struct {
    const char* formula;
    const char* from;
    const char* to;
    const char* renamed;
  } cases[] = {{"Sheet1!A1", "Sheet1", "1", "'1'!A1"},
               {"SUM(sheet1!A1:B2)+Sheet1!C3", "Sheet1", "Data", "SUM(Data!A1:B2)+Data!C3"},
               {"'My Sheet'!$A$1", "my sheet", "New", "New!$A$1"},
               {"'O''Neil'!A1", "O'Neil", "X Y", "'X Y'!A1"},
               {"\"Sheet1!A1\"&Sheet1!A1", "Sheet1", "S2", "\"Sheet1!A1\"&'S2'!A1"},
               {"Sheet10!A1+Sheet1!A1", "Sheet1", "T", "Sheet10!A1+T!A1"},
               {"[1]Sheet1!A1+Sheet1!A1", "Sheet1", "T", "[1]Sheet1!A1+T!A1"},
               {"'テーブル一覧'!C5", "テーブル一覧", "一覧", "'一覧'!C5"},
               {"テーブル一覧!C5", "テーブル一覧", "A B", "'A B'!C5"},
               {"XXX1!A1", "XXX1", "XXX2", "'XXX2'!A1"},
               {"Old!A1", "Old", "R1C1", "'R1C1'!A1"},
               {"Old!A1", "Old", "TRUE", "'TRUE'!A1"},
               {"Old!A1", "Old", "Plain_Name.2", "Plain_Name.2!A1"},
               {"Sheet1A1", "Sheet1", "T", "Sheet1A1"},
               {"COUNTIF(Sheet1!A:A,\"x\")", "Sheet1", "T", "COUNTIF(T!A:A,\"x\")"},
               {"\"unterminated Sheet1!A1", "Sheet1", "T", "\"unterminated Sheet1!A1"}};
  for (const auto& c : cases) {
    EXPECT_EQ(RenameSheetInFormula(c.formula, c.from, c.to), c.renamed) << c.formula;
  }
}

TEST(FormulaTest, ShiftMovesRelativePartsAndKeepsAbsoluteOnes) {
  const struct {
    const char* formula;
    int rows, columns;
    const char* shifted;
  } cases[] = {{"A1+1", 2, 0, "A3+1"},
               {"$A1+A$1+$A$1", 1, 1, "$A2+B$1+$A$1"},
               {"SUM(A1:B2)", 1, 2, "SUM(C2:D3)"},
               {"A1&\"A1\"", 3, 0, "A4&\"A1\""},
               {"LOG10(A1)", 1, 0, "LOG10(A2)"},
               {"'Sheet 1'!B2*Sheet2!C3", 1, 0, "'Sheet 1'!B3*Sheet2!C4"},
               {"SUM(A:A)+SUM(3:3)", 1, 1, "SUM(B:B)+SUM(4:4)"},
               {"A1-1", -1, 0, "#REF!-1"},
               {"XFD1", 0, 1, "#REF!"},
               {"IF(TRUE,1.5E+3,ABCD1)", 5, 5, "IF(TRUE,1.5E+3,ABCD1)"},
               {"Table1[[#This Row],[A1]]", 1, 0, "Table1[[#This Row],[A1]]"},
               {"#REF!+#N/A", 1, 1, "#REF!+#N/A"},
               {"A1", 0, 0, "A1"}};
  for (const auto& c : cases) {
    EXPECT_EQ(ShiftRelativeReferences(c.formula, c.rows, c.columns), c.shifted) << c.formula;
  }
}

}  // namespace
}  // namespace kastel::xlsx
