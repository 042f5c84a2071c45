#include "part_expander.h"

#include <gtest/gtest.h>

#include <string>

#include "base/error.h"
#include "support.h"

namespace kastel::templates {
namespace {

constexpr const char* kDecl = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";

using kastel::testing::ExpectError;

TEST(SubstituteRow, ReplacesRowPlaceholdersWithNumbersAndRefusesAnythingElseInBraces) {
  struct Case {
    const char* text;
    const char* expected;  // nullptr: refused with `error`
    const char* error;
  } cases[] = {{"{r}", "8", nullptr},
               {"B{r}", "B8", nullptr},
               {"{r-7}", "1", nullptr},
               {"{r+3}", "11", nullptr},
               {"{r-10}", "-2", nullptr},
               {"x{r}y{r-1}z", "x8y7z", nullptr},
               {"no braces", "no braces", nullptr},
               {"", "", nullptr},
               {"{x}", nullptr, "p.xml: 不明なプレースホルダーです: \"x\""},
               {"{}", nullptr, "p.xml: 不明なプレースホルダーです: \"\""},
               {"{r*2}", nullptr, "p.xml: 不明なプレースホルダーです: \"r*2\""},
               {"{r-}", nullptr, "p.xml: プレースホルダーの差分が整数ではありません: \"\""},
               {"{r-a}", nullptr, "p.xml: プレースホルダーの差分が整数ではありません: \"a\""},
               {"B{r", nullptr, "p.xml: 不明なプレースホルダーです: \"{r\""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    if (c.expected) {
      EXPECT_EQ(SubstituteRow(c.text, 8, "p.xml"), c.expected);
    } else {
      ExpectError([&] { SubstituteRow(c.text, 8, "p.xml"); }, kFileFormatError, c.error);
    }
  }
}

TEST(ExpandPart, WritesRepeatBodiesOncePerRowAndDropsTheGeneratorPrefix) {
  std::string source = std::string(kDecl) + R"(
<sheet xmlns="urn:main" xmlns:gen="urn:kastel:template-generator">
  <!-- the first two rows -->
  <gen:repeat from="1" to="2">
    <row r="{r}"><c r="B{r}"><v>{r+9}</v></c></row>
    <row r="x{r}"/>
  </gen:repeat>
  <tail a="{r}"/>
</sheet>
)";
  EXPECT_EQ(ExpandPart(source, "s.xml"),
            std::string(kDecl) +
                R"(<sheet xmlns="urn:main"><row r="1"><c r="B1"><v>10</v></c></row>)"
                R"(<row r="x1"/><row r="2"><c r="B2"><v>11</v></c></row><row r="x2"/>)"
                R"(<tail a="{r}"/></sheet>)");
}

TEST(ExpandPart, KeepsTextThatIsOnlyWhitespaceAndEscapesWhatMustBe) {
  std::string source = std::string(kDecl) +
                       "<w>\n  <t xml:space=\"preserve\"> </t>\n  <f>\"否\" &amp; A1&lt;2</f>\n"
                       "  <v a=\"&quot;x&quot;\"/>\n</w>";
  EXPECT_EQ(ExpandPart(source, "s.xml"),
            std::string(kDecl) +
                "<w><t xml:space=\"preserve\"> </t><f>\"否\" &amp; A1&lt;2</f>"
                "<v a=\"&quot;x&quot;\"/></w>");
}

TEST(ExpandPart, RefusesPartsItCannotExpandSafely) {
  const std::string open = R"(<d xmlns:gen="urn:kastel:template-generator">)";
  struct Case {
    std::string xml;
    const char* description;
  } cases[] = {
      {"<d><a></d>", "s.xml: XML が不正です (位置 8): Start-end tags mismatch"},
      {open + R"(<gen:repeat from="3" to="2"><a/></gen:repeat></d>)",
       "s.xml: gen:repeat の範囲が不正です: 3..2"},
      {open + R"(<gen:repeat from="1" to="10001"><a/></gen:repeat></d>)",
       "s.xml: gen:repeat の範囲が不正です: 1..10001"},
      {open + R"(<gen:repeat from="-9223372036854775807" to="9223372036854775807"/></d>)",
       "s.xml: gen:repeat の範囲が不正です: -9223372036854775807..9223372036854775807"},
      {open + R"(<gen:repeat from="0" to="2"><a/></gen:repeat></d>)",
       "s.xml: gen:repeat の範囲が不正です: 0..2"},
      {open + R"(<gen:repeat from="one" to="2"><a/></gen:repeat></d>)",
       "s.xml: fromが整数ではありません: \"one\""},
      {open + R"(<gen:repeat from="1"><a/></gen:repeat></d>)",
       "s.xml: toが整数ではありません: \"\""},
      {open +
           R"(<gen:repeat from="1" to="2"><a><gen:repeat from="1" to="2"/></a></gen:repeat></d>)",
       "s.xml: gen:repeat は入れ子にできません。"},
      {open + R"(<gen:repeats from="1" to="2"/></d>)", "s.xml: 不明な要素です: gen:repeats"},
      {open + R"(<gen:repeat from="1" to="2"><a b="{c}"/></gen:repeat></d>)",
       "s.xml: 不明なプレースホルダーです: \"c\""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.xml);
    ExpectError([&] { ExpandPart(c.xml, "s.xml"); }, kFileFormatError, c.description);
  }
}

}  // namespace
}  // namespace kastel::templates
