// The round trip: the sample database, as each server's catalogue returns it after the sample's
// own scripts ran, imported into a new workbook and written out again by kastel, gives the
// sample's scripts back, but for the lines listed here, which the catalogue texts cannot give.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "reverse_host.h"
#include "script_run.h"

namespace kastel::testing {
namespace {

// A line that comes back otherwise, both sides with their runs of blanks made one.
struct Difference {
  std::string file;
  std::string sample;
  std::string imported;
};

struct RoundTrip {
  std::string dialect;  // the workbook's DB property
  std::string sample;   // file under the sample folder
  std::string recording;
  term::LoginAnswers answers;
  std::vector<Difference> differences;
};

std::string Collapsed(const std::string& line) {
  std::string out;
  for (char c : line) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// The blocks of a script file, by their heading lines ("-- 社員", "-- 社員.氏名"), each a list
// of lines without their line ends. The order of the sheets is left out: a new workbook takes the
// tables in catalogue order, the sample in its own.
std::map<std::string, std::vector<std::string>> Blocks(const std::string& text) {
  std::map<std::string, std::vector<std::string>> blocks;
  std::vector<std::string>* current = nullptr;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with("-- ")) current = &blocks[line];
    if (current != nullptr) current->push_back(line);
  }
  return blocks;
}

std::vector<RoundTrip> Cases() {
  term::LoginAnswers sql;
  sql.server = "db1";
  sql.auth = "sql";
  sql.user = "sa";
  sql.database = "sample";
  term::LoginAnswers ora;
  ora.user = "scott";
  ora.database = "orcl";
  return {
      {"SQL",
       "サンプル_SQLServer.xlsx",
       "sample_sql_catalog.txt",
       sql,
       {
           // The catalogue marks an identity column IDENTITY, without seed and increment.
           {"table.sql", "ACCOUNT_ID bigint IDENTITY(1,1) NOT NULL",
            "ACCOUNT_ID bigint IDENTITY NOT NULL"},
           {"table.sql", "EMP_ID int IDENTITY(1,1) NOT NULL", "EMP_ID int IDENTITY NOT NULL"},
           // A default loses one pair of parentheses of the two the server keeps for a number.
           {"table.sql", ",SORT_NO smallint DEFAULT 0 NOT NULL",
            ",SORT_NO smallint DEFAULT (0) NOT NULL"},
           {"table.sql", ",BUDGET money DEFAULT 0 NOT NULL", ",BUDGET money DEFAULT (0) NOT NULL"},
           {"table.sql", ",LOCKED bit DEFAULT 0 NOT NULL", ",LOCKED bit DEFAULT (0) NOT NULL"},
           // The server keeps a function call in its own letter case.
           {"table.sql", ",CREATED_AT datetime DEFAULT GETDATE() NOT NULL",
            ",CREATED_AT datetime DEFAULT getdate() NOT NULL"},
       }},
      {"ORA",
       "サンプル_Oracle.xlsx",
       "sample_ora_catalog.txt",
       ora,
       {}},
  };
}

TEST(ReverseRoundTripTest, SampleImportedFromItsCatalogueWritesTheSampleScriptsBack) {
  for (const RoundTrip& c : Cases()) {
    SCOPED_TRACE(c.dialect);
    ScratchDir dir;
    const std::string sample = std::string(KASTEL_SAMPLE_DIR) + "/" + c.sample;
    const std::string imported = dir / "imported.xlsx";
    {
      ImportHost host(LoadRecording(CatalogFixture(c.recording)), c.answers);
      host::Workbook& wb = host.NewBook(c.dialect);
      host.PressReverse();
      ASSERT_EQ(host.failures(), 0) << host.err();
      host.app().SaveAs(wb, imported);
    }
    const std::string want_dir = dir.Sub("sample"), got_dir = dir.Sub("imported");
    for (const auto& [book, out] : {std::pair{sample, want_dir}, std::pair{imported, got_dir}}) {
      const RunResult r = Kastel({"script", book, "-o", out, "--encoding", "utf-8"});
      ASSERT_EQ(r.status, 0) << r.err;
    }

    std::set<std::pair<std::string, std::string>> seen;  // (file, sample line) of differences met
    for (const std::string& file : kScriptFiles) {
      SCOPED_TRACE(file);
      const auto want = Blocks(ReadFile(want_dir + "/" + file));
      const auto got = Blocks(ReadFile(got_dir + "/" + file));
      ASSERT_GE(want.size(), 5u);
      ASSERT_EQ(got.size(), want.size());
      for (const auto& [head, lines] : want) {
        SCOPED_TRACE(head);
        ASSERT_TRUE(got.count(head));
        const std::vector<std::string>& back = got.at(head);
        ASSERT_EQ(back.size(), lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
          if (back[i] == lines[i]) continue;
          const Difference* known = nullptr;
          for (const Difference& d : c.differences) {
            if (d.file == file && d.sample == Collapsed(lines[i])) known = &d;
          }
          if (known == nullptr) {
            ADD_FAILURE() << "sample:   " << lines[i] << "\nimported: " << back[i];
            continue;
          }
          EXPECT_EQ(Collapsed(back[i]), known->imported);
          seen.insert({file, known->sample});
        }
      }
    }
    for (const Difference& d : c.differences) {
      EXPECT_TRUE(seen.count({d.file, d.sample})) << "no longer differs: " << d.sample;
    }
  }
}

}  // namespace
}  // namespace kastel::testing
