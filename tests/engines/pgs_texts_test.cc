// The PostgreSQL texts that a round trip depends on: which names are quoted, how a column's
// title and remark share its comment, and how the catalogue's spellings of types and defaults
// are written back as a definition sheet holds them.
#include <gtest/gtest.h>

#include <string>

#include "engines/pgs_texts.h"
#include "engines/pgs_tools.h"

namespace kastel::testing {
namespace {

using engines::PgsTools;

TEST(PgsTextsTest, NamesAreQuotedOnlyWhenPostgresWouldNotReadThemBack) {
  const struct {
    std::string name, written;
  } cases[] = {
      {"emp_id", "emp_id"},
      {"EMP_ID", "EMP_ID"},
      {"_x9", "_x9"},
      {"int", "int"},
      {"order", "\"order\""},
      {"User", "\"User\""},
      {"9lives", "\"9lives\""},
      {"a b", "\"a b\""},
      {"社員", "\"社員\""},
      {"say\"hi", "\"say\"\"hi\""},
      {"", "\"\""},
  };
  for (const auto& c : cases) EXPECT_EQ(engines::pgs::Name(c.name), c.written) << c.name;
}

TEST(PgsTextsTest, LiteralsDoubleApostrophesAndEscapeOnlyWhatNeedsIt) {
  EXPECT_EQ(engines::pgs::Literal("部署マスタ's key"), "'部署マスタ''s key'");
  EXPECT_EQ(engines::pgs::Literal("a\\b"), "E'a\\\\b'");
  EXPECT_EQ(engines::pgs::Literal("題\n\n'x'"), "E'題\\n\\n''x'''");
}

TEST(PgsTextsTest, CommentsSplitBackIntoTitleAndRemarkExactly) {
  const struct {
    std::string title, remark, comment;
  } cases[] = {
      {"社員ID", "", "社員ID"},
      {"氏名", "姓と名の間は空白", "氏名\n\n姓と名の間は空白"},
      {"", "論理名の無い列", "\n\n論理名の無い列"},
      {"", "", ""},
      {"題\n二行目", "備考\n\n二段落目", "題\n二行目\n\n備考\n\n二段落目"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.comment);
    EXPECT_EQ(engines::pgs::JoinComment(c.title, c.remark), c.comment);
    EXPECT_EQ(engines::pgs::SplitComment(c.comment), std::make_pair(c.title, c.remark));
  }
}

TEST(PgsTextsTest, CatalogueTypesComeBackAsTheTypeListNamesThem) {
  const struct {
    std::string format_type, listed;
  } cases[] = {
      {"character varying(40)", "varchar(40)"},
      {"character varying", "varchar"},
      {"character(4)", "char(4)"},
      {"bit varying(16)", "varbit(16)"},
      {"bit(8)", "bit(8)"},
      {"timestamp without time zone", "timestamp"},
      {"timestamp(3) without time zone", "timestamp(3)"},
      {"timestamp with time zone", "timestamptz"},
      {"timestamp(6) with time zone", "timestamptz(6)"},
      {"time without time zone", "time"},
      {"time(2) with time zone", "timetz(2)"},
      {"interval day to second", "interval day to second"},
      {"double precision", "double precision"},
      {"character varying(10)[]", "varchar(10)[]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PgsTools::lfCatalogType(c.format_type), c.listed) << c.format_type;
  }
}

TEST(PgsTextsTest, CatalogueDefaultsLoseTheCastsTheServerAdded) {
  const struct {
    std::string expression, written;
  } cases[] = {
      {"'abc'::character varying", "'abc'"},
      {"'it''s'::text", "'it''s'"},
      {"'-1'::integer", "-1"},
      {"'10000000000'::bigint", "10000000000"},
      {"'123'::text", "'123'"},  // a number in a text column keeps its quotes
      {"'2020-01-01'::date", "'2020-01-01'"},
      {"'{}'::jsonb", "'{}'"},
      {"'101'::\"bit\"", "'101'"},
      {"0", "0"},
      {"true", "true"},
      {"CURRENT_TIMESTAMP", "CURRENT_TIMESTAMP"},
      {"nextval('emp_id_seq'::regclass)", "nextval('emp_id_seq'::regclass)"},
      {"('a'::text || 'b'::text)", "('a'::text || 'b'::text)"},
      {"'a'::text || 'b'::text", "'a'::text || 'b'::text"},
      {"'unterminated", "'unterminated"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PgsTools::lfCatalogDefault(c.expression), c.written) << c.expression;
  }
}

TEST(PgsTextsTest, ATitleWithALineBreakStaysInsideItsHeadingAndWholeInItsComment) {
  const std::string title = "部署\nマスタ";
  const std::string block = engines::pgs::CommentBlock("dept", title, {}, "\n");
  EXPECT_EQ(block,
            "-- 部署 マスタ\nCOMMENT ON TABLE dept                    IS E'部署\\nマスタ';\n\n");
}

}  // namespace
}  // namespace kastel::testing
