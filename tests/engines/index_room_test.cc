// More indexes than the sheet has room for: the index block and the matrix take what fits, the
// rest are named in one failure the import goes past, and no cell beside the block changes.
#include <gtest/gtest.h>

#include <string>

#include "model/defines.h"
#include "reverse_host.h"

namespace kastel::testing {
namespace {

constexpr int kColumns = 14;  // C01..C14 on rows 8..21, each with index IXnn on it alone
// Longer than a sheet name may be: the table is written on the template's copy all the same.
constexpr const char* kTable = "ORDER_LINE_HISTORY_ARCHIVE_2024_ALL_ROWS";

// The import of one table, kTable, whose column k carries the comment "備考k".
std::string Recording(int indexes) {
  std::string text =
      "[schema]\nTABLE_NAME\tTABLE_TITLE\tCOLUMN_NAME\tCOLUMN_TITLE\tDATA_TYPE\tNULLABLE\t"
      "DEFAULT_VALUE\tCOLUMN_COMMENT\n";
  auto two = [](int k) { return std::string(k < 10 ? "0" : "") + std::to_string(k); };
  for (int k = 1; k <= kColumns; ++k)
    text += std::string(kTable) + "\t表\tC" + two(k) + "\t\tint\t\t\t備考" + two(k) + "\n";
  text +=
      "[indexes]\nTABLE_NAME\tINDEX_NAME\tPRIMARY_KEY:b\tUNIQUE:b\tORDINAL_POSITION:n\tCOLUMN_"
      "NAME\n";
  for (int k = 1; k <= indexes; ++k)
    text += std::string(kTable) + "\tIX" + two(k) + "\tfalse\tfalse\t1\tC" + two(k) + "\n";
  return text;
}

TEST(IndexRoomTest, IndexesBeyondTheRoomAreNamedAndWriteNothing) {
  const struct {
    const char* column_comment;  // the layout parameter; the matrix starts at H (8)
    int indexes;
    int room;
    const char* skipped;  // the end of the failure shown
  } cases[] = {
      {"8,18", 14, 10, "(10個まで) に入らないインデックス: IX11, IX12, IX13, IX14\n"},
      // A comment column nearer the matrix narrows it; one to its left does not.
      {"8,12", 6, 4, "(4個まで) に入らないインデックス: IX05, IX06\n"},
      {"8,2", 12, 10, "(10個まで) に入らないインデックス: IX11, IX12\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.column_comment) + " " + std::to_string(c.indexes));
    term::LoginAnswers answers;
    answers.server = "db1";
    answers.auth = "sql";
    answers.user = "sa";
    ImportHost host(ParseRecording(Recording(c.indexes)), answers);
    host::Workbook& wb = host.NewBook("SQL");
    model::Defines::SetDocProperty(wb, "COLUMN_COMMENT", c.column_comment);
    host.PressReverse();
    // The refused sheet name, then the indexes left out: failures the import went past, so
    // the workbook is saved; the table list refresh numbers the sheet.
    EXPECT_EQ(host.kastel().defines().stopping_failures(), 0);
    EXPECT_EQ(host.failures(), 2);
    EXPECT_TRUE(host.err().starts_with(std::string("シート名'") + kTable + "'は長すぎます。"));
    EXPECT_TRUE(host.err().ends_with(std::string("テーブル'") + kTable +
                                     "'の次のインデックスは読み込めませんでした。\n"
                                     "インデックス欄 " +
                                     c.skipped))
        << host.err();
    host::Worksheet* ws = SheetOfTable(wb, kTable);
    ASSERT_NE(ws, nullptr);
    EXPECT_EQ(ws->Name(), "1");
    EXPECT_EQ(IndexBlockText(*ws).size(), static_cast<std::size_t>(c.room));
    // Row by row from H to V: a mark where index k has room, the comment in its column, and
    // nothing below the index block (T to V from row 16).
    const int comment = std::stoi(std::string(c.column_comment).substr(2));
    for (int k = 1; k <= kColumns; ++k) {
      for (int col = 8; col <= 22; ++col) {
        if (col >= 20 && 7 + k <= 15) continue;
        std::string want;
        if (col == comment) want = std::string("備考") + (k < 10 ? "0" : "") + std::to_string(k);
        if (col == 7 + k && k <= c.room && k <= c.indexes) want = "1";
        EXPECT_EQ(CellText(*ws, 7 + k, col), want) << "row " << 7 + k << " column " << col;
      }
    }
  }
}

}  // namespace
}  // namespace kastel::testing
