// What keeps a package's memory and its file safe from the rest of the world: parsed parts that
// are in use stay parsed, and a save never overwrites a file another program saved meanwhile.
#include <gtest/gtest.h>
#include <stdio.h>

#include "package_fixture.h"
#include "xlsx/package.h"
#include "xlsx/package_messages.h"

namespace kastel::xlsx {
namespace {

using testing::BuildZip;
using testing::ExpectError;
using testing::MinimalWorkbook;

constexpr char kSheet[] = "xl/worksheets/sheet1.xml";

TEST(PackagePin, APinnedPartOutlivesReleaseAndRefusesToBeReplaced) {
  auto package = Package::OpenBytes(BuildZip(MinimalWorkbook()), "pin.xlsx");
  package->Xml(kSheet).document_element().append_attribute("held") = "1";
  package->Pin(kSheet);
  package->Pin(kSheet);
  package->Release(kSheet);
  package->Unpin(kSheet);
  package->Release(kSheet);
  // Still the same DOM: an unsaved change made in it is there.
  EXPECT_TRUE(package->Xml(kSheet).document_element().attribute("held"));
  ExpectError([&] { package->Write(kSheet, "<worksheet/>"); }, 5,
              "プロシージャの呼び出し、または引数が不正です。");
  ExpectError([&] { package->Remove(kSheet); }, 5,
              "プロシージャの呼び出し、または引数が不正です。");
  package->Unpin(kSheet);
  package->Release(kSheet);
  EXPECT_FALSE(package->Xml(kSheet).document_element().attribute("held"));
}

TEST(PackageSave, AFileAnotherProgramSavedMeanwhileIsNotOverwritten) {
  testing::ScratchDir dir;
  const std::string book = dir / "book.xlsx";
  const std::string original = BuildZip(MinimalWorkbook());
  const struct {
    const char* how;
    void (*change)(const std::string& path);
  } cases[] = {
      {"replaced by a rename",
       [](const std::string& path) {
         testing::WriteFile(path + ".new", "their save");
         ASSERT_EQ(::rename((path + ".new").c_str(), path.c_str()), 0);
       }},
      {"rewritten in place",
       [](const std::string& path) {
         testing::WriteFile(path, testing::ReadFile(path) + "their change");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    testing::WriteFile(book, original);
    auto package = Package::Open(book);
    package->Write("xl/ours.xml", "<ours/>");
    c.change(book);
    const std::string theirs = testing::ReadFile(book);
    ExpectError([&] { package->Save(book); }, kFileFormatError,
                messages::SaveFailure(book, messages::ChangedByOther()).description());
    EXPECT_EQ(testing::ReadFile(book), theirs);
    EXPECT_EQ(dir.List(), std::vector<std::string>{"book.xlsx"});
  }
  // Its own saves follow one another without complaint.
  testing::WriteFile(book, original);
  auto package = Package::Open(book);
  package->Save(book);
  package->Write("xl/ours.xml", "<ours/>");
  package->Save(book);
  EXPECT_TRUE(Package::Open(book)->Has("xl/ours.xml"));
}

}  // namespace
}  // namespace kastel::xlsx
