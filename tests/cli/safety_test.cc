// kastel against hostile packages, a second kastel, other programs' saves, signals and limits:
// no crash, nothing lost, no stray file, and a message that says what happened.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "cli_fixture.h"
#include "xlsx/package.h"
#include "xlsx/zip_writer.h"

namespace kastel::testing {
namespace {

namespace fs = std::filesystem;

// A copy of `fixture` as `out` with text replaced in some parts and parts added.
void Craft(const std::string& fixture, const std::string& out,
           const std::map<std::string, std::pair<std::string, std::string>>& replace,
           const std::map<std::string, std::string>& add = {}) {
  auto package = xlsx::Package::Open(fixture);
  xlsx::ZipWriter zip(out);
  for (const std::string& name : package->PartNames()) {
    std::string bytes = package->Read(name);
    if (auto it = replace.find(name); it != replace.end()) {
      const std::size_t at = bytes.find(it->second.first);
      ASSERT_NE(at, std::string::npos) << name;
      bytes.replace(at, it->second.first.size(), it->second.second);
    }
    zip.Add(name, bytes);
  }
  for (const auto& [name, bytes] : add) zip.Add(name, bytes);
  std::ofstream(out, std::ios::binary) << zip.Finish();
}

bool HasTemporary(const fs::path& folder) {
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with(".kastel-save-")) return true;
  }
  return false;
}

class SafetyTest : public CliTest {
 protected:
  // Starts kastel without waiting; `prefix` runs it through another program (runuser).
  pid_t Start(const std::vector<std::string>& args, const std::vector<std::string>& prefix = {}) {
    std::vector<std::string> text = prefix;
    text.push_back(KASTEL_TEST_BINARY);
    text.insert(text.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : text) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env;
    for (const auto& [name, value] : env_) env.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (scratch_ / "err").c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0666);
    posix_spawn_file_actions_addchdir_np(&actions, scratch_.path().c_str());
    pid_t pid = 0;
    EXPECT_EQ(posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }
  // The exit status, or 128 + the signal that ended it.
  static int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
};

TEST_F(SafetyTest, SheetsSharingAPartWithAnotherAreRefusedBeforeAnythingRuns) {
  const std::string rels = "xl/_rels/workbook.xml.rels";
  const struct {
    const char* target;  // what the hidden @LIST sheet's relationship is made to name
    const char* message;
  } cases[] = {
      {"/xl/workbook.xml", "の内容 (xl/workbook.xml) はワークシートではありません。"},
      {"/xl/styles.xml", "の内容 (xl/styles.xml) はワークシートではありません。"},
      {"/xl/worksheets/sheet2.xml", "の内容 (xl/worksheets/sheet2.xml) はシート'顧客'と共有"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    const std::string book = scratch_ / "aliased.xlsx";
    Craft(Fixture("three_sheets.xlsx"), book, {{rels, {"/xl/worksheets/sheet7.xml", c.target}}});
    const std::string before = ReadFile(book);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"refresh", "aliased.xlsx"},
          std::vector<std::string>{"script", "aliased.xlsx", "-o", scratch_.path().string()}}) {
      const RunResult r = Run(args);
      EXPECT_EQ(r.status, 2) << r.err;
      EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_TRUE(ReadFile(book) == before);
  }
}

TEST_F(SafetyTest, ASecondKastelWaitsForTheFirstOrIsRefusedWhenTheWaitRunsOut) {
  Copy("three_sheets.xlsx", "book.xlsx");
  const pid_t first = Start({"add-sheet", "book.xlsx"});
  const pid_t second = Start({"add-sheet", "book.xlsx"});
  EXPECT_EQ(Wait(first), 0);
  EXPECT_EQ(Wait(second), 0);
  const auto dump = DumpBook(scratch_ / "book.xlsx");
  EXPECT_EQ(Get(dump, "sheet:9"), "template (3)|visible") << ReadFile(scratch_ / "err");

  // A save killed before it could clean up left this; the next save under the lock removes it.
  const std::string stale = scratch_ / ".kastel-save-Ab12Cd";
  std::ofstream(stale) << "partial";
  fs::last_write_time(stale, fs::file_time_type::clock::now() - std::chrono::hours(1));

  const int folder = ::open(scratch_.path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(::flock(folder, LOCK_EX), 0);
  env_["KASTEL_LOCK_WAIT"] = "0.2";
  const std::string before = ReadFile(scratch_ / "book.xlsx");
  const RunResult busy = Run({"refresh", "book.xlsx"});
  EXPECT_EQ(busy.status, 1);
  EXPECT_NE(busy.err.find("別の kastel が保存しているため、'book.xlsx' を開けません"),
            std::string::npos)
      << busy.err;
  EXPECT_TRUE(ReadFile(scratch_ / "book.xlsx") == before);
  EXPECT_TRUE(fs::exists(stale));
  ::close(folder);
  EXPECT_EQ(Run({"refresh", "book.xlsx"}).status, 0);
  EXPECT_FALSE(fs::exists(stale));
}

TEST_F(SafetyTest, AWorkbookItsUserMayNotWriteIsNotReplaced) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run kastel as another user";
  fs::permissions(scratch_.path(), fs::perms::all);
  const std::string book = Copy("three_sheets.xlsx", "book.xlsx");
  fs::permissions(book, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string before = ReadFile(book);
  const std::vector<std::string> as_nobody = {"runuser", "-u", "nobody", "--"};
  EXPECT_EQ(Wait(Start({"refresh", "book.xlsx"}, as_nobody)), 1);
  EXPECT_NE(ReadFile(scratch_ / "err").find("読み取り専用のファイルです"), std::string::npos)
      << ReadFile(scratch_ / "err");
  EXPECT_TRUE(ReadFile(book) == before);
  EXPECT_FALSE(HasTemporary(scratch_.path()));
  // The same user may save it once it may write it.
  fs::permissions(book, fs::perms::all);
  EXPECT_EQ(Wait(Start({"refresh", "book.xlsx"}, as_nobody)), 0) << ReadFile(scratch_ / "err");
}

TEST_F(SafetyTest, ASaveEndedBySignalOrFileSizeLimitLeavesTheOldWorkbookAndNoTemporaryFile) {
  // Megabytes that do not compress keep the temporary file on disk long enough to see.
  std::string noise(8u << 20, '\0');
  std::mt19937 random(7);
  for (char& c : noise) c = static_cast<char>(random());
  const std::string book = scratch_ / "book.xlsx";
  Craft(Fixture("three_sheets.xlsx"), book, {}, {{"docProps/noise.bin", noise}});
  const std::string before = ReadFile(book);

  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(sig);
    // The child is stopped the moment its temporary file shows, so that the signal surely lands
    // before the rename; a save that was over first is tried again on the old workbook.
    bool caught = false;
    for (int attempt = 0; !caught && attempt < 10; ++attempt) {
      WriteFile(book, before);
      const pid_t pid = Start({"refresh", "book.xlsx"});
      for (int spins = 0; !caught && spins < 2'000'000; ++spins) {
        if (HasTemporary(scratch_.path())) {
          ::kill(pid, SIGSTOP);
          caught = HasTemporary(scratch_.path());
          if (!caught) ::kill(pid, SIGCONT);
        }
        if (!caught && ::waitpid(pid, nullptr, WNOHANG) != 0) break;
      }
      if (!caught) {
        Wait(pid);
        continue;
      }
      ::kill(pid, sig);
      ::kill(pid, SIGCONT);
      EXPECT_EQ(Wait(pid), 128 + sig);
    }
    ASSERT_TRUE(caught) << "every save was over before its temporary file was seen";
    EXPECT_FALSE(HasTemporary(scratch_.path()));
    EXPECT_TRUE(ReadFile(book) == before);
  }

  // What ulimit -f does: the write fails with EFBIG instead of the program dying silently.
  const std::vector<std::string> limited = {"prlimit", "--fsize=2000000", "--"};
  EXPECT_EQ(Wait(Start({"refresh", "book.xlsx"}, limited)), 1);
  EXPECT_NE(ReadFile(scratch_ / "err").find("ディスクの空き容量が足りません"), std::string::npos);
  EXPECT_FALSE(HasTemporary(scratch_.path()));
  EXPECT_TRUE(ReadFile(book) == before);
}

TEST_F(SafetyTest, MarkupBeyondTheMemoryBudgetOrTheMemoryLeftIsRefusedAndNothingWritten) {
#if defined(__SANITIZE_ADDRESS__)
  constexpr bool kAddressLimitWorks = false;  // the sanitizer reserves more than any limit
#else
  constexpr bool kAddressLimitWorks = true;
#endif
  const struct {
    std::size_t elements;  // empty elements added to a definition sheet
    const char* limit;     // an address-space limit, or none
    const char* message;
  } cases[] = {
      {12'000'000, nullptr, "は大きすぎて読み込めません"},
      {5'000'000, "--as=300000000", "kastel: メモリが不足しています。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    if (c.limit && !kAddressLimitWorks) continue;
    std::string bulk = "<extLst><ext uri=\"bulk\">";
    std::mt19937 random(7);
    // A number now and then keeps the compression ratio inside the zip-bomb limit.
    for (std::size_t i = 0; i < c.elements; ++i) {
      bulk += i % 200 == 0 ? "<b>" + std::to_string(random() % 1000) + "</b>" : "<a/>";
    }
    const std::string book = scratch_ / "book.xlsx";
    Craft(Fixture("three_sheets.xlsx"), book,
          {{"xl/worksheets/sheet2.xml", {"</worksheet>", bulk + "</ext></extLst></worksheet>"}}});
    const std::string before = ReadFile(book);
    fs::remove(scratch_ / "err");
    std::vector<std::string> prefix;
    if (c.limit) prefix = {"prlimit", c.limit, "--"};
    EXPECT_EQ(Wait(Start({"refresh", "book.xlsx"}, prefix)), 1);
    EXPECT_NE(ReadFile(scratch_ / "err").find(c.message), std::string::npos)
        << ReadFile(scratch_ / "err");
    EXPECT_TRUE(ReadFile(book) == before);
  }
}

TEST_F(SafetyTest, WhatIsNoWorkbookIsNamedForWhatItIs) {
  fs::create_directory(scratch_ / "folder.xlsx");
  ASSERT_EQ(::mkfifo((scratch_ / "pipe.xlsx").c_str(), 0644), 0);
  fs::create_symlink("loop2.xlsx", scratch_ / "loop1.xlsx");
  fs::create_symlink("loop1.xlsx", scratch_ / "loop2.xlsx");
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"refresh", "folder.xlsx"}, "'folder.xlsx' はブックではありません: ディレクトリです。"},
      {{"refresh", "pipe.xlsx"},
       "'pipe.xlsx' はブックではありません: 名前付きパイプ (FIFO) です。"},
      {{"script", "loop1.xlsx"},
       "'loop1.xlsx' はブックではありません: シンボリックリンクが循環しています。"},
      {{"new", "--sql", "x.xls"}, "'x.xls' には保存できません: 新しいブックは .xlsx 形式で書く"},
  };
  for (const auto& c : cases) {
    const RunResult r = Run(c.args);
    EXPECT_EQ(r.status, 2) << c.args.back();
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_FALSE(fs::exists(scratch_ / "x.xls"));
}

}  // namespace
}  // namespace kastel::testing
