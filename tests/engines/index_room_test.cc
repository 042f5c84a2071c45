// More indexes than the sheet has room for: the block and the matrix take what fits, the rest
// are named in one failure the import goes past, and no cell beside the block changes.
#include <gtest/gtest.h>

#include <string>

#include "model/defines.h"
#include "reverse_host.h"

namespace kastel::testing {
namespace {

// Longer than a sheet name may be: written on the template's copy all the same.
constexpr const char* kTable = "ORDER_LINE_HISTORY_ARCHIVE_2024_ALL_ROWS";

std::string Two(int k) { return (k < 10 ? "0" : "") + std::to_string(k); }

// Columns C01..C14 with comments 備考01..備考14; index IXk on column Ck alone.
std::string Recording(int indexes) {
  std::string text =
      "[schema]\nTABLE_NAME\tTABLE_TITLE\tCOLUMN_NAME\tCOLUMN_TITLE\tDATA_TYPE\t"
      "NULLABLE\tDEFAULT_VALUE\tCOLUMN_COMMENT\n";
  for (int k = 1; k <= 14; ++k)
    text += std::string(kTable) + "\t\tC" + Two(k) + "\t\tint\t\t\t備考" + Two(k) + "\n";
  text +=
      "[indexes]\nTABLE_NAME\tINDEX_NAME\tPRIMARY_KEY:b\tUNIQUE:b\tORDINAL_POSITION:n\tCOLUMN_"
      "NAME\n";
  for (int k = 1; k <= indexes; ++k)
    text += std::string(kTable) + "\tIX" + Two(k) + "\tfalse\tfalse\t1\tC" + Two(k) + "\n";
  return text;
}

TEST(IndexRoomTest, IndexesBeyondTheRoomAreNamedAndWriteNothing) {
  const struct {
    int comment_column;  // the matrix starts at H (8)
    int indexes;
    int room;
    const char* skipped;
  } cases[] = {
      {18, 14, 10, "(10個まで) に入らないインデックス: IX11, IX12, IX13, IX14\n"},
      // A comment column nearer the matrix narrows it; one to its left does not.
      {12, 6, 4, "(4個まで) に入らないインデックス: IX05, IX06\n"},
      {2, 12, 10, "(10個まで) に入らないインデックス: IX11, IX12\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.comment_column);
    term::LoginAnswers answers;
    answers.auth = "sql";
    ImportHost host(ParseRecording(Recording(c.indexes)), answers);
    host::Workbook& wb = host.NewBook("SQL");
    model::Defines::SetDocProperty(wb, "COLUMN_COMMENT", "8," + std::to_string(c.comment_column));
    host.PressReverse();
    // The refused sheet name and the indexes left out are gone past (the workbook is saved);
    // the table list refresh numbers the sheet.
    EXPECT_EQ(host.kastel().defines().stopping_failures(), 0);
    EXPECT_EQ(host.failures(), 2);
    EXPECT_TRUE(host.err().ends_with(std::string("テーブル'") + kTable +
                                     "'の次のインデックスは読み込めませんでした。\n"
                                     "インデックス欄 " +
                                     c.skipped +
                                     "kastel: 場所: テーブル定義書1 サーバー (local) テーブル " +
                                     kTable + " 手順: インデックスの読み込み\n"))
        << host.err();
    host::Worksheet* ws = SheetOfTable(wb, kTable);
    ASSERT_NE(ws, nullptr);
    EXPECT_EQ(ws->Name(), "1");
    EXPECT_EQ(IndexBlockText(*ws).size(), static_cast<std::size_t>(c.room));
    // H to V of each column row: a mark where index k has room, the comment in its column,
    // nothing below the index block (T to V, rows 6 to 15).
    for (int k = 1; k <= 14; ++k) {
      for (int col = 8; col <= 22; ++col) {
        if (col >= 20 && 7 + k <= 15) continue;
        std::string want = col == c.comment_column ? "備考" + Two(k) : "";
        if (col == 7 + k && k <= c.room && k <= c.indexes) want = "1";
        EXPECT_EQ(CellText(*ws, 7 + k, col), want) << "row " << 7 + k << " column " << col;
      }
    }
  }
}

}  // namespace
}  // namespace kastel::testing
