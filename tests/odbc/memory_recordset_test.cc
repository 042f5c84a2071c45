#include "odbc/memory_recordset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/vb.h"
#include "support.h"

namespace kastel::odbc {
namespace {

using kastel::testing::ExpectError;

// Rows shaped like the index rowset, in an order no sort key gives.
std::shared_ptr<const RowTable> IndexRows() {
  auto t = std::make_shared<RowTable>();
  t->columns = {"TABLE_NAME", "INDEX_NAME", "PRIMARY_KEY", "UNIQUE", "ORDINAL_POSITION"};
  auto row = [&](const char* table, const char* index, bool pk, bool uq, double pos) {
    t->rows.push_back({Value::Text(table), Value::Text(index), Value::Boolean(pk),
                       Value::Boolean(uq), Value::Number(pos)});
  };
  row("t", "ix_b", false, false, 1);
  row("t", "pk_t", true, true, 2);
  row("o'k", "ix_o", false, false, 1);
  row("t", "uq_a", false, true, 1);
  row("t", "pk_t", true, true, 1);
  row("T", "ix_upper", false, false, 1);
  row("t", "ix_a", false, false, 1);
  t->rows.push_back({Value::Null(), Value::Text("null_table"), Value::Boolean(false),
                     Value::Boolean(false), Value::Null()});
  return t;
}

// "INDEX_NAME:ORDINAL_POSITION" of every row of the view, in order.
std::vector<std::string> Walk(data::Recordset& rs) {
  std::vector<std::string> out;
  for (; !rs.Eof(); rs.MoveNext()) {
    out.push_back(vb::Concat(rs.Field("index_name")) + ":" +
                  vb::Concat(rs.Field("ORDINAL_POSITION")));
  }
  return out;
}

TEST(MemoryRecordsetTest, FilterKeepsOnlyMatchingRows) {
  struct Case {
    const char* filter;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"TABLE_NAME = 'T'", {"ix_upper:1"}},
      {"TABLE_NAME = 'o''k'", {"ix_o:1"}},
      {"[TABLE_NAME]='o''k'", {"ix_o:1"}},
      {"TABLE_NAME = 'none'", {}},
      {"TABLE_NAME = 't' AND ORDINAL_POSITION > 1", {"pk_t:2"}},
      {"table_name = 't' and UNIQUE = 'True'", {"pk_t:2", "uq_a:1", "pk_t:1"}},
      {"ORDINAL_POSITION >= 2", {"pk_t:2"}},
      {"TABLE_NAME = NULL", {"null_table:"}},
      {"TABLE_NAME <> 't' AND TABLE_NAME <> NULL", {"ix_o:1", "ix_upper:1"}},
      {"",
       {"ix_b:1", "pk_t:2", "ix_o:1", "uq_a:1", "pk_t:1", "ix_upper:1", "ix_a:1", "null_table:"}}};
  MemoryRecordset rs(IndexRows());
  for (const Case& c : cases) {
    rs.SetFilter(c.filter);
    EXPECT_EQ(Walk(rs), c.rows) << c.filter;
  }
}

TEST(MemoryRecordsetTest, SortOrdersByEveryKeyAndKeepsTiesInPlace) {
  struct Case {
    const char* sort;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"PRIMARY_KEY DESC, UNIQUE DESC, INDEX_NAME, ORDINAL_POSITION",
       {"pk_t:1", "pk_t:2", "uq_a:1", "ix_a:1", "ix_b:1"}},
      {"ORDINAL_POSITION DESC", {"pk_t:2", "ix_b:1", "uq_a:1", "pk_t:1", "ix_a:1"}},
      {"PRIMARY_KEY ASC", {"ix_b:1", "uq_a:1", "ix_a:1", "pk_t:2", "pk_t:1"}},
      {"", {"ix_b:1", "pk_t:2", "uq_a:1", "pk_t:1", "ix_a:1"}}};
  MemoryRecordset rs(IndexRows());
  rs.SetFilter("TABLE_NAME = 't'");
  for (const Case& c : cases) {
    rs.SetSort(c.sort);
    EXPECT_EQ(Walk(rs), c.rows) << c.sort;
  }
}

TEST(MemoryRecordsetTest, TextSortsIgnoringAsciiCaseAfterNulls) {
  MemoryRecordset rs(IndexRows());
  rs.SetSort("TABLE_NAME, INDEX_NAME DESC");
  EXPECT_EQ(Walk(rs), (std::vector<std::string>{"null_table:", "ix_o:1", "uq_a:1", "pk_t:2",
                                                "pk_t:1", "ix_upper:1", "ix_b:1", "ix_a:1"}));
}

TEST(MemoryRecordsetTest, MisuseRaisesAdoErrors) {
  const char* kNoRecord =
      "BOF と EOF のいずれかが True になっているか、または現在のレコードが削除されています。"
      "要求された操作には、現在のレコードが必要です。";
  const char* kNotFound =
      "要求された名前、または序数に対応する項目がコレクションで見つかりません。";
  const char* kBadArgument = "引数が間違った型、許容範囲外、または競合しています。";
  MemoryRecordset rs(IndexRows());
  ExpectError([&] { rs.Field("NO_SUCH"); }, 3265, kNotFound);
  ExpectError([&] { rs.SetFilter("NO_SUCH = 'x'"); }, 3265, kNotFound);
  ExpectError([&] { rs.SetSort("INDEX_NAME, NO_SUCH DESC"); }, 3265, kNotFound);
  for (const char* bad : {"TABLE_NAME = 'open", "TABLE_NAME 't'", "TABLE_NAME = 't' OR x = 1",
                          "TABLE_NAME = 't' AND", "= 't'", "TABLE_NAME = abc"}) {
    ExpectError([&] { rs.SetFilter(bad); }, 3001, kBadArgument);
  }
  ExpectError([&] { rs.SetSort("INDEX_NAME DESC DESC"); }, 3001, kBadArgument);
  rs.SetFilter("TABLE_NAME = 'none'");
  EXPECT_TRUE(rs.Eof());
  ExpectError([&] { rs.Field("INDEX_NAME"); }, 3021, kNoRecord);
  ExpectError([&] { rs.MoveNext(); }, 3021, kNoRecord);
  rs.Close();
  ExpectError([&] { rs.Eof(); }, 3704, "オブジェクトが閉じている場合は、操作は許可されません。");
}

TEST(MemoryRecordsetTest, RecordsetsSharingRowsKeepTheirOwnView) {
  auto rows = IndexRows();
  MemoryRecordset a(rows), b(rows);
  a.SetFilter("TABLE_NAME = 'o''k'");
  b.SetFilter("TABLE_NAME = 'T'");
  EXPECT_EQ(Walk(a), std::vector<std::string>{"ix_o:1"});
  EXPECT_EQ(Walk(b), std::vector<std::string>{"ix_upper:1"});
  EXPECT_EQ(a.RecordCount(), 1u);
  EXPECT_EQ(b.RecordCount(), 1u);
}

}  // namespace
}  // namespace kastel::odbc
