// kastel register and unregister: the add-in entry in the headless host's registry file, and
// which add-ins the program connects at start-up.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cli_fixture.h"

namespace kastel::testing {
namespace {

using RegistrationTest = CliTest;

constexpr const char* kEntry =
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\Excel\\Addins\\KASTEL.Connect]\n"
    "\"FriendlyName\"=\"KASTEL\"\n"
    "\"Description\"=\"SQL Server 用テーブル作成支援ツール\"\n"
    "\"LoadBehavior\"=dword:00000003\n";

constexpr const char* kOther =
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\Excel\\Addins\\Other.Tool]\n"
    "\"FriendlyName\"=\"Other\"\n"
    "\"Description\"=\"他のアドイン\"\n"
    "\"LoadBehavior\"=dword:00000003\n";

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(RegistrationTest, RegisterWritesTheEntryAndUnregisterRemovesItForGood) {
  ASSERT_FALSE(std::filesystem::exists(kastel_.RegistryFile()));
  EXPECT_EQ(Run({"bar"}).status, 0);  // a fresh install connects KASTEL anyway

  EXPECT_EQ(Run({"register"}).status, 0);
  EXPECT_TRUE(Contains(ReadFile(kastel_.RegistryFile()), kEntry));
  EXPECT_EQ(Run({"register"}).status, 0);  // once only
  const std::string text = ReadFile(kastel_.RegistryFile());
  EXPECT_EQ(text.find(kEntry), text.rfind(kEntry));
  EXPECT_EQ(Run({"bar"}).status, 0);

  EXPECT_EQ(Run({"unregister"}).status, 0);
  EXPECT_TRUE(std::filesystem::exists(kastel_.RegistryFile()));
  EXPECT_FALSE(Contains(ReadFile(kastel_.RegistryFile()), "KASTEL.Connect"));
  const RunResult bar = Run({"bar"});
  EXPECT_EQ(bar.status, 2);
  EXPECT_EQ(bar.out, "");
  EXPECT_TRUE(Contains(bar.err, "kastel register")) << bar.err;
  Copy("three_sheets.xlsx");
  const std::string before = ReadFile(scratch_ / "three_sheets.xlsx");
  const RunResult refresh = Run({"refresh", "three_sheets.xlsx"});
  EXPECT_EQ(refresh.status, 2);
  EXPECT_TRUE(Contains(refresh.err, "コマンドバー KASTEL がありません")) << refresh.err;
  EXPECT_TRUE(ReadFile(scratch_ / "three_sheets.xlsx") == before);

  EXPECT_EQ(Run({"register"}).status, 0);
  EXPECT_EQ(Run({"refresh", "three_sheets.xlsx"}).status, 0);
}

TEST_F(RegistrationTest, OtherAddInsEntriesAreKeptAndUnknownOnesOnlyWarnedAbout) {
  std::filesystem::create_directories(std::filesystem::path(kastel_.RegistryFile()).parent_path());
  std::ofstream(kastel_.RegistryFile()) << "Windows Registry Editor Version 5.00\n\n" << kOther;
  EXPECT_EQ(Run({"register"}).status, 0);
  const std::string text = ReadFile(kastel_.RegistryFile());
  EXPECT_TRUE(Contains(text, kOther)) << text;
  EXPECT_TRUE(Contains(text, kEntry)) << text;

  const RunResult bar = Run({"bar"});
  EXPECT_EQ(bar.status, 0);
  EXPECT_TRUE(Contains(bar.out, "KASTEL\n  新規作成 有効\n"));
  EXPECT_EQ(bar.err, "アドイン 'Other.Tool' は見つからないため読み込みません。\n");

  EXPECT_EQ(Run({"unregister"}).status, 0);
  EXPECT_TRUE(Contains(ReadFile(kastel_.RegistryFile()), kOther));
}

TEST_F(RegistrationTest, AnEntryNotLoadedAtStartUpIsNotConnected) {
  std::filesystem::create_directories(std::filesystem::path(kastel_.RegistryFile()).parent_path());
  std::string entry = kEntry;
  entry.replace(entry.find("dword:00000003"), 14, "dword:00000002");
  std::ofstream(kastel_.RegistryFile()) << entry;
  EXPECT_EQ(Run({"bar"}).status, 2);
}

}  // namespace
}  // namespace kastel::testing
