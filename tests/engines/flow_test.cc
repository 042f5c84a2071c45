// The script-output command inside one host process: the add-in connected to the workbook host,
// the button pressed, the folder dialog answered at a terminal.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host_process.h"
#include "script_run.h"

namespace kastel::testing {
namespace {

namespace fs = std::filesystem;

// The host with スクリプト出力 pressed on a workbook opened for it and closed again.
class ScriptHost : public HostProcess {
 public:
  explicit ScriptHost(const std::string& typed, bool interactive = true)
      : HostProcess(typed, interactive) {}

  void ScriptOut(const std::string& workbook) {
    host::Workbook& wb = app_.Open(workbook);
    ASSERT_TRUE(Press("スクリプト出力"));
    app_.Close(wb);
  }
};

std::string FirstStatement(const std::string& dir) {
  const std::string text = ReadFile(dir + "/table.sql");
  const auto start = text.find('\n') + 1;
  std::string line = text.substr(start, text.find('\n', start) - start);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

TEST(ScriptFlowTest, TheLastFolderIsOfferedAgainToBothDialectsAndACancelKeepsIt) {
  ScratchDir dir;
  const std::string sql = dir / "sql.xlsx", ora = dir / "ora.xlsx";
  MakeFixture({"worked", sql, "--dialect", "SQL"});
  MakeFixture({"worked", ora, "--dialect", "ORA"});
  const std::string out = dir.Sub("out");
  // First a folder typed without its closing separator, then an empty line, then nothing more.
  ScriptHost host(out + "\n\n");

  host.ScriptOut(sql);
  EXPECT_EQ(host.kastel().engine_context().last_output_folder, out + "/");
  EXPECT_EQ(FirstStatement(out).substr(0, 10), "IF EXISTS ");

  host.ScriptOut(ora);
  EXPECT_NE(host.err().find("[" + out + "/]"), std::string::npos) << host.err();
  EXPECT_EQ(FirstStatement(out), "DROP   TABLE EMP                     CASCADE CONSTRAINTS;");
  const std::string before = ReadFile(out + "/index.sql");

  host.ScriptOut(sql);  // the input has ended: the dialog is cancelled
  EXPECT_TRUE(host.shell().cancelled());
  EXPECT_EQ(host.kastel().engine_context().last_output_folder, out + "/");
  EXPECT_EQ(ReadFile(out + "/index.sql"), before);
  EXPECT_EQ(host.out(),
            "スクリプトファイルの作成が完了しました。\n"
            "スクリプトファイルの作成が完了しました。\n");
  EXPECT_EQ(host.kastel().defines().failures_shown(), 0);
}

TEST(ScriptFlowTest, ClosingMessagesAndFailuresOfTheOutputFolder) {
  struct Case {
    std::string what;
    std::string fixture;
    std::string folder;  // relative to the scratch folder
    std::string out, err;
    int failures;
    bool files;
  };
  const std::vector<Case> cases = {
      {"no definition sheet", "empty", "out", "", "テーブル定義書が1件も存在しません。\n", 0, true},
      {"a folder that does not exist", "worked", "missing/deeper", "", "パスが見つかりません。\n",
       1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    const std::string wb = dir / "wb.xlsx";
    MakeFixture({c.fixture, wb});
    if (c.files) dir.Sub(c.folder);
    ScriptHost host("", false);
    host.shell().SetFolderAnswer(dir / c.folder);
    host.ScriptOut(wb);
    EXPECT_EQ(host.out(), c.out);
    EXPECT_EQ(host.err(), c.err);
    EXPECT_EQ(host.kastel().defines().failures_shown(), c.failures);
    for (const std::string& name : kScriptFiles) {
      EXPECT_EQ(fs::exists((dir / c.folder) + "/" + name), c.files) << name;
      if (c.files) {
        EXPECT_EQ(fs::file_size((dir / c.folder) + "/" + name), 0u) << name;
      }
    }
  }
}

}  // namespace
}  // namespace kastel::testing
