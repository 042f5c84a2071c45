#include "sample_tables.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "base/error.h"

namespace kastel::templates {
namespace {

std::vector<SampleTable> Read(const std::string& text) {
  std::istringstream in(text);
  return ReadSampleTables(in, "t.tsv");
}

// Reading `text` must fail with the sample reader's format error and exactly `description`.
void ExpectReadError(const std::string& text, const std::string& description) {
  try {
    Read(text);
    ADD_FAILURE() << "no error; expected: " << description;
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), kFileFormatError);
    EXPECT_EQ(e.description(), description);
  }
}

TEST(ReadSampleTables, ReadsTablesColumnsAndIndexesInOrder) {
  auto tables = Read(
      "# comment\r\n"
      "\n"
      "table\tEMP\t社員\r\n"
      "column\tEMP_ID\t社員ID\tint\t否\tIDENTITY(1,1)\t\t1\r\n"
      "column\tDEPT_CD\t部署コード\tchar(4)\t否\t'0000'\t部署マスタ's key\t\t2\r\n"
      "column\tNOTE\r\n"
      "index\tPK_EMP\tP\n"
      "index\tIX_EMP_DEPT\n"
      "table\tLOG\n");
  ASSERT_EQ(tables.size(), 2u);
  const SampleTable& emp = tables[0];
  EXPECT_EQ(emp.name, "EMP");
  EXPECT_EQ(emp.title, "社員");
  ASSERT_EQ(emp.columns.size(), 3u);
  const SampleColumn& dept = emp.columns[1];
  EXPECT_EQ(dept.name, "DEPT_CD");
  EXPECT_EQ(dept.title, "部署コード");
  EXPECT_EQ(dept.data_type, "char(4)");
  EXPECT_EQ(dept.nullable, "否");
  EXPECT_EQ(dept.default_value, "'0000'");
  EXPECT_EQ(dept.comment, "部署マスタ's key");
  EXPECT_EQ((std::array<int, 3>{dept.keys[0], dept.keys[1], dept.keys[2]}),
            (std::array<int, 3>{0, 2, 0}));
  EXPECT_EQ(emp.columns[0].keys[0], 1);
  EXPECT_EQ(emp.columns[2].title, "");
  EXPECT_EQ(emp.columns[2].keys, (std::array<int, kMaxIndexes>{}));
  ASSERT_EQ(emp.indexes.size(), 2u);
  EXPECT_EQ(emp.indexes[1].name, "IX_EMP_DEPT");
  EXPECT_EQ(emp.indexes[1].kind, "");
  EXPECT_EQ(emp.PrimaryKeyName(), "PK_EMP");
  EXPECT_EQ(tables[1].title, "");
  EXPECT_EQ(tables[1].PrimaryKeyName(), "");
}

TEST(ReadSampleTables, RefusesLinesASheetCouldNotHold) {
  const std::string t = "table\tT\n";
  const std::string eleven_indexes = [&] {
    std::string s = t;
    for (int i = 1; i <= 11; ++i) s += "index\tIX" + std::to_string(i) + "\n";
    return s;
  }();
  struct Case {
    std::string text;
    std::string description;
  } cases[] = {{"column\tA\n", "t.tsv 1行目: table 行より前にあります。"},
               {"view\tV\n", "t.tsv 1行目: 不明な行です: \"view\""},
               {"table\n", "t.tsv 1行目: テーブル名がありません。"},
               {"table\tT\tタイトル\textra\n", "t.tsv 1行目: 項目が多すぎます。"},
               {t + "column\t\tタイトル\n", "t.tsv 2行目: 列名がありません。"},
               {t + "index\tPK\tP\n" + "column\tA\t\t\t\t\t\t0\n",
                "t.tsv 3行目: キー位置は 1 から 11 の整数です: \"0\""},
               {t + "index\tPK\tP\n" + "column\tA\t\t\t\t\t\t12\n",
                "t.tsv 3行目: キー位置は 1 から 11 の整数です: \"12\""},
               {t + "index\tPK\tP\n" + "column\tA\t\t\t\t\t\t○\n",
                "t.tsv 3行目: キー位置は 1 から 11 の整数です: \"○\""},
               {t + "column\tA\t\t\t\t\t" + std::string(11, '\t') + "1\n",
                "t.tsv 2行目: 項目が多すぎます。"},
               {t + "index\tPK\tP\textra\n", "t.tsv 2行目: 項目が多すぎます。"},
               {t + "index\n", "t.tsv 2行目: インデックス名がありません。"},
               {eleven_indexes, "t.tsv 12行目: インデックスが多すぎます。"},
               {t + "index\tPK\tP\n" + "column\tA\t\t\t\t\t\t1\t2\n",
                "t.tsv: T.A のキー位置 2 番目にインデックスがありません。"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ExpectReadError(c.text, c.description);
  }
}

TEST(ReadSampleTables, AcceptsAFullSheetButNotOneColumnMore) {
  std::string text = "table\tT\n";
  for (size_t i = 0; i < kMaxColumns; ++i) text += "column\tC" + std::to_string(i) + "\n";
  EXPECT_EQ(Read(text)[0].columns.size(), kMaxColumns);
  ExpectReadError(text + "column\tX\n", "t.tsv 515行目: 列が多すぎます。");
}

}  // namespace
}  // namespace kastel::templates
