// The texts the import builds: the Oracle index query, comments taken apart and connection
// strings, read back by the data adapter's parser. The catalogue queries themselves are held to
// the recorded texts by the replaying adapter, which refuses any other text.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "engines/connection_text.h"
#include "engines/ora_tools.h"
#include "odbc/connection_string.h"
#include "reverse_replay.h"

namespace kastel::testing {
namespace {

TEST(ReverseTextsTest, OracleIndexQueryPutsTheNameInWithItsApostrophesDoubled) {
  const struct {
    std::string table, upper, name;
  } cases[] = {
      {"Dept", "DEPT", "Dept"}, {"o'brien", "O''BRIEN", "o''brien"}, {"''", "''''", "''''"}};
  const std::string tmpl = GoldenTexts().ora_index_template;
  for (const auto& c : cases) {
    std::string want = tmpl;
    want.replace(want.find("{UPPER}"), 7, c.upper);
    want.replace(want.find("{NAME}"), 6, c.name);
    want.replace(want.find("{NAME}"), 6, c.name);
    EXPECT_EQ(engines::OraTools::lfIndexQuery(c.table), want) << c.table;
  }
}

TEST(ReverseTextsTest, CommentsSplitIntoNameTitleAndComment) {
  using Fields = std::array<std::string, 3>;
  const struct {
    std::string name, comment;
    Fields want;
  } cases[] = {{"EMP", "", {"EMP", "", ""}},
               {"EMP", "社員の表", {"EMP", "", "社員の表"}},
               {"EMP", "Emp|社員", {"Emp", "社員", ""}},
               {"EMPNO", "EmpNo|社員番号|主キー", {"EmpNo", "社員番号", "主キー"}},
               {"EMPNO", "a|b|c|d", {"a", "b", "c"}},
               {"EMPNO", "|題", {"", "題", ""}},
               {"EMPNO", "||", {"", "", ""}}};
  for (const auto& c : cases) {
    EXPECT_EQ(engines::OraTools::lfSplitComment(c.name, c.comment), c.want) << c.comment;
  }
}

TEST(ReverseTextsTest, ConnectionStringsAreExactAndQuoteOnlyWhatNeedsIt) {
  EXPECT_EQ(engines::SqlServerConnectionString("(local)", true, "sa", "pw", "sales"),
            "Provider=SQLOLEDB;Data Source=(local);Integrated Security=SSPI;Initial Catalog=sales");
  EXPECT_EQ(engines::SqlServerConnectionString("db1\\SQL1", false, "sa", "pw", ""),
            "Provider=SQLOLEDB;Data Source=db1\\SQL1;Persist Security Info=True;Password=pw;"
            "User ID=sa;Initial Catalog=");
  EXPECT_EQ(engines::OracleConnectionString("orcl", "scott", "tiger"),
            "Provider=MSDAORA;Data Source=orcl;User ID=scott;Password=tiger;");

  // Every value reaches the driver as typed, read back by the adapter's own parser.
  const struct {
    std::string value, quoted;
  } cases[] = {{"plain", "plain"},    {"", ""},
               {"日本語", "日本語"},  {"a;b", "\"a;b\""},
               {"a=b", "\"a=b\""},    {"say \"hi\"", "\"say \"\"hi\"\"\""},
               {"it's", "\"it's\""},  {" pad", "\" pad\""},
               {"pad ", "\"pad \""},  {"{x}", "\"{x}\""},
               {"in side", "in side"}};
  for (const auto& c : cases) {
    EXPECT_EQ(engines::AdoValue(c.value), c.quoted) << c.value;
    const odbc::Attributes attrs =
        odbc::ParseConnectionString(engines::OracleConnectionString("orcl", "scott", c.value));
    EXPECT_EQ(odbc::FindAttribute(attrs, "Password"), c.value) << c.value;
    EXPECT_EQ(odbc::FindAttribute(attrs, "User ID"), "scott") << c.value;
  }
}

}  // namespace
}  // namespace kastel::testing
