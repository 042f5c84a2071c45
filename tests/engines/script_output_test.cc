// kastel script run as a program on workbooks written by openpyxl and LibreOffice, its three
// files compared byte for byte with those of the independent generator.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "script_run.h"

namespace kastel::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDone = "スクリプトファイルの作成が完了しました。\n";

// The files of kastel in `got` equal those of the generator in `want`, byte for byte.
void ExpectSameScripts(const std::string& got, const std::string& want) {
  for (const std::string& name : kScriptFiles) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(fs::exists(got + "/" + name));
    EXPECT_EQ(ReadFile(got + "/" + name), ReadFile(want + "/" + name));
  }
}

// Standard error without the lines kastel adds after the script's own: the places of its
// failures and the count of the workbook check's findings.
std::string WithoutFindings(const std::string& err) {
  std::string kept;
  std::size_t start = 0;
  while (start < err.size()) {
    const std::size_t end = err.find('\n', start);
    const std::string line = err.substr(start, end == std::string::npos ? end : end - start + 1);
    if (!line.starts_with("kastel: 場所: ") &&
        !line.ends_with(" (kastel check で確認できます)\n")) {
      kept += line;
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return kept;
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(ScriptOutputTest, FilesMatchTheIndependentGeneratorForBothDialects) {
  struct Case {
    std::string dialect;  // the property "DB"; "none" leaves it out
    int seed;
    std::string encoding;
  };
  std::vector<Case> cases;
  for (int seed = 1; seed <= 6; ++seed) {
    cases.push_back({"SQL", seed, "cp932"});
    cases.push_back({"ORA", seed, "cp932"});
  }
  cases.insert(cases.end(), {{"SQL", 7, "utf-8"},
                             {"ORA", 8, "utf-8"},
                             {"pgs", 9, "cp932"},
                             {"none", 10, "cp932"},
                             {"ora", 11, "cp932"},
                             {"ORA ", 12, "cp932"}});
  ScratchDir dir;
  for (const Case& c : cases) {
    const std::string tag = c.dialect + std::to_string(c.seed) + c.encoding;
    SCOPED_TRACE(tag);
    const std::string wb = dir / tag + ".xlsx";
    MakeFixture({"random", wb, "--seed", std::to_string(c.seed), "--dialect", c.dialect});
    const std::string got = dir.Sub(tag + "-kastel"), want = dir.Sub(tag + "-reference");
    const RunResult r = Kastel({"script", wb, "-o", got, "--encoding", c.encoding});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kDone);
    EXPECT_EQ(WithoutFindings(r.err), "");
    ASSERT_EQ(Reference(wb, want, c.encoding).status, 0);
    ExpectSameScripts(got, want);
  }
}

TEST(ScriptOutputTest, WorkbooksSavedByLibreOfficeGiveTheSameFiles) {
  ScratchDir dir;
  const std::string made = dir.Sub("openpyxl"), saved = dir.Sub("libreoffice");
  for (const char* dialect : {"SQL", "ORA"}) {
    MakeFixture({"random", made + "/" + dialect + ".xlsx", "--seed", "4", "--dialect", dialect});
  }
  const RunResult lo = RunProgram({"soffice", "-env:UserInstallation=file://" + dir.Sub("profile"),
                                   "--headless", "--convert-to", "xlsx", "--outdir", saved,
                                   made + "/SQL.xlsx", made + "/ORA.xlsx"});
  for (const char* dialect : {"SQL", "ORA"}) {
    SCOPED_TRACE(dialect);
    const std::string wb = saved + "/" + dialect + ".xlsx";
    ASSERT_TRUE(fs::exists(wb)) << lo.out << lo.err;  // soffice exits 0 even when it fails
    const std::string got = dir.Sub(std::string(dialect) + "-k");
    const std::string want = dir.Sub(std::string(dialect) + "-r");
    const RunResult r = Kastel({"script", wb, "-o", got});
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(Reference(wb, want).status, 0);
    ExpectSameScripts(got, want);
    EXPECT_GT(ReadFile(got + "/table.sql").size(), 1000u);
  }
}

// A bad key position on the third of five sheets stops the generation; the files keep the
// blocks written before it (the third sheet's table block included) and are closed.
TEST(ScriptOutputTest, ABadKeyPositionStopsWithTheRuntimesErrorAndKeepsEarlierBlocks) {
  struct Case {
    int key;
    std::string message;
  };
  const std::vector<Case> cases = {{0, "インデックスが有効範囲にありません。"},
                                   {12, "インデックスが有効範囲にありません。"},
                                   {40000, "オーバーフローしました。"}};
  ScratchDir dir;
  for (const char* dialect : {"SQL", "ORA"}) {
    for (const Case& c : cases) {
      const std::string tag = dialect + std::to_string(c.key);
      SCOPED_TRACE(tag);
      const std::string wb = dir / tag + ".xlsx";
      MakeFixture({"fail-key", wb, "--key", std::to_string(c.key), "--dialect", dialect});
      const std::string got = dir.Sub(tag + "-k"), want = dir.Sub(tag + "-r");
      const RunResult r = Kastel({"script", wb, "-o", got});
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(WithoutFindings(r.err), c.message + "\n");
      EXPECT_EQ(r.out, "");
      const RunResult ref = Reference(wb, want);
      EXPECT_NE(ref.out.find(c.message), std::string::npos) << ref.out;
      ExpectSameScripts(got, want);
      EXPECT_EQ(Count(ReadFile(got + "/table.sql"), "CREATE TABLE "), 3);
      EXPECT_EQ(ReadFile(got + "/index.sql").find("IX_BAD"), std::string::npos);
    }
  }
}

TEST(ScriptOutputTest, ABadLayoutParameterShowsItsErrorAndCreatesNoFile) {
  struct Case {
    std::string property;
    std::string value;  // "-" leaves the property out
    std::string message;
  };
  const std::vector<Case> cases = {
      {"TABLE_NUMBER", "0,21", "パラメタ'TABLE_NUMBER'が未設定です。\n設定を確認して下さい。"},
      {"INDEX_NAME", "6,0", "パラメタ'INDEX_NAME'が未設定です。\n設定を確認して下さい。"},
      {"COLUMN_NAME", "8", "インデックスが有効範囲にありません。"},
      {"COLUMN_NAME", "", "インデックスが有効範囲にありません。"},
      {"DEFAULT", "-", "インデックスが有効範囲にありません。"},
      {"DATA_TYPE", "8,E", "型が一致しません。"}};
  ScratchDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.property + "=" + c.value);
    const std::string wb = dir / "layout.xlsx";
    std::vector<std::string> args = {"layout", wb, "--property", c.property};
    if (c.value == "-") {
      args.push_back("--missing");
    } else {
      args.push_back("--value=" + c.value);
    }
    MakeFixture(args);
    const std::string got = dir.Sub("out-" + c.property);
    const RunResult r = Kastel({"script", wb, "-o", got});
    EXPECT_EQ(r.status, 1);
    // A missing property is named, with the command that writes it.
    const std::string hint = c.value == "-" ? "kastel: 文書プロパティ " + c.property +
                                                  " がありません。kastel adopt " + wb +
                                                  " --sql (または --oracle) で書き込めます。\n"
                                            : "";
    // The property the failure came from is named with its value.
    const std::string place = "kastel: 場所: layout.xlsx 文書プロパティ " + c.property +
                              (c.value == "-" ? " (ありません)" : " = \"" + c.value + "\"");
    EXPECT_EQ(r.err, c.message + "\n" + place + "\n" + hint);
    EXPECT_TRUE(fs::is_empty(got));
  }
}

}  // namespace
}  // namespace kastel::testing
