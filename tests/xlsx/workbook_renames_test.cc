// Which sheet names a formula mentions, and what they are called after a run of renames.
#include "xlsx/workbook_renames.h"

#include <gtest/gtest.h>

namespace kastel::xlsx {
namespace {

using Names = std::vector<std::string>;

TEST(SheetNamesIn, FindsQuotedPlainAndThreeDimensionalReferencesOutsideLiterals) {
  struct Case {
    const char* formula;
    Names names;
  } cases[] = {{"SUM(Sheet1!A1:B2)", {"Sheet1"}},
               {"'@LIST'!$B$2:$B$28", {"@LIST"}},
               {"'it''s'!A1+テーブル一覧!C5", {"it's", "テーブル一覧"}},
               {"SUM(Jan:Mar!B2)", {"Jan", "Mar"}},
               {"SUM('Jan 1:Mar 1'!B2)", {"Jan 1", "Mar 1"}},
               {"\"template!B3\"&A1", {}},
               {"\"a\"\"b!\"&x.y!A1", {"x.y"}},
               {"[1]Sheet1!A1+'[2]Other'!A1", {}},
               {"A1+B2", {}},
               {"1!A1", {"1"}}};
  for (const auto& c : cases) {
    EXPECT_EQ(SheetNamesIn(c.formula), c.names) << c.formula;
  }
}

TEST(RenameLog, FollowsEachNameThroughTheRenamesAfterAPoint) {
  RenameLog log;
  log.Add("A", "tmp");   // 0
  log.Add("B", "A");     // 1
  log.Add("tmp", "B");   // 2: A and B swapped
  log.Add("C", "c2");    // 3
  log.Add("c2", "Cee");  // 4
  struct Case {
    std::size_t since;
    Names names;
    std::vector<RenamePair> expected;
  } cases[] = {
      {0, {"A", "b", "C", "D"}, {{"A", "B"}, {"b", "A"}, {"C", "Cee"}}},
      {1, {"A", "B"}, {{"B", "A"}}},
      {3, {"C2", "c"}, {{"C2", "Cee"}, {"c", "Cee"}}},
      {5, {"A"}, {}},
      {0, {"a", "A"}, {{"a", "B"}}},  // one name in two spellings counts once
  };
  for (const auto& c : cases) {
    EXPECT_EQ(log.Follow(c.since, c.names), c.expected) << c.since;
  }
}

TEST(ApplyRenames, GoesThroughTemporaryNamesOnlyWhenNamesMoveThroughEachOther) {
  struct Case {
    std::vector<RenamePair> renames;
    Names present;
    std::vector<RenamePair> calls;
  } cases[] = {{{{"A", "X"}, {"B", "Y"}}, {"A", "B"}, {{"A", "X"}, {"B", "Y"}}},
               {{{"A", "B"}, {"B", "A"}},
                {"A", "B", "~kastel rename 1~"},
                {{"A", "~kastel rename 2~"},
                 {"B", "~kastel rename 3~"},
                 {"~kastel rename 2~", "B"},
                 {"~kastel rename 3~", "A"}}}};
  for (const auto& c : cases) {
    std::vector<RenamePair> calls;
    ApplyRenames(c.renames, c.present, [&](std::string_view from, std::string_view to) {
      calls.emplace_back(std::string(from), std::string(to));
    });
    EXPECT_EQ(calls, c.calls);
  }
}

}  // namespace
}  // namespace kastel::xlsx
