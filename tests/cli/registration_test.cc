// kastel register and unregister, and which add-ins the program connects at start-up.
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

TEST_F(RegistrationTest, RegisterWritesTheEntryOnceAndUnregisterSticks) {
  EXPECT_EQ(Run({"bar"}).status, 0);  // nothing registered yet: a fresh install works
  EXPECT_EQ(Run({"register"}).status, 0);
  EXPECT_EQ(Run({"register"}).status, 0);
  const std::string text = ReadFile(RegistryFile());
  EXPECT_NE(text.find(kEntry), std::string::npos) << text;
  EXPECT_EQ(text.find(kEntry), text.rfind(kEntry));

  EXPECT_EQ(Run({"unregister"}).status, 0);
  EXPECT_EQ(ReadFile(RegistryFile()).find("KASTEL.Connect"), std::string::npos);
  const std::string book = Copy("three_sheets.xlsx");
  const std::string before = ReadFile(book);
  const RunResult refresh = Run({"refresh", "three_sheets.xlsx"});
  EXPECT_EQ(refresh.status, 2);
  EXPECT_NE(refresh.err.find("kastel register"), std::string::npos) << refresh.err;
  EXPECT_TRUE(ReadFile(book) == before);

  EXPECT_EQ(Run({"register"}).status, 0);
  EXPECT_EQ(Run({"refresh", "three_sheets.xlsx"}).status, 0);
}

TEST_F(RegistrationTest, OtherEntriesAreKeptAndOnlyLoadBehaviour3Connects) {
  std::filesystem::create_directories(std::filesystem::path(RegistryFile()).parent_path());
  std::string not_at_startup = kEntry;
  not_at_startup.replace(not_at_startup.find("00000003"), 8, "00000002");
  std::ofstream(RegistryFile()) << kOther << not_at_startup;
  EXPECT_EQ(Run({"bar"}).status, 2);  // KASTEL registered, but not to load at start-up

  EXPECT_EQ(Run({"register"}).status, 0);
  EXPECT_NE(ReadFile(RegistryFile()).find(kOther), std::string::npos);
  const RunResult bar = Run({"bar"});
  EXPECT_EQ(bar.status, 0);
  EXPECT_EQ(bar.out.rfind("KASTEL\n  新規作成 有効\n", 0), 0u);
  EXPECT_EQ(bar.err, "アドイン 'Other.Tool' は見つからないため読み込みません。\n");
}

}  // namespace
}  // namespace kastel::testing
