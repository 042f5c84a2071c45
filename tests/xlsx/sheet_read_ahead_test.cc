// Sheets read ahead on the worker are handed over only in tab order and only while the package
// still holds them as the file did; anything else is read again by the caller.
#include "xlsx/sheet_read_ahead.h"

#include <gtest/gtest.h>

#include <functional>

#include "package_fixture.h"

namespace kastel::xlsx::testing {
namespace {

std::string Sheet(const std::string& value) {
  return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
         "<sheetData><row r=\"1\"><c r=\"A1\"><v>" +
         value + "</v></c></row></sheetData></worksheet>";
}

TEST(SheetReadAhead, HandsOverTheNextSheetsOnlyInTabOrderAndAsTheFileHoldsThem) {
  const std::vector<std::string> parts = {"xl/s1.xml", "xl/s2.xml", "xl/s3.xml"};
  const std::string zip = BuildZip({{"[Content_Types].xml", "<Types/>"},
                                    {parts[0], Sheet("1")},
                                    {parts[1], Sheet("2")},
                                    {parts[2], Sheet("3")}});
  struct Case {
    const char* what;
    std::function<void(Package&)> meanwhile;
    std::vector<std::string> takes;   // in this order
    std::vector<std::string> values;  // A1 of each, "" when not handed over
  };
  const Case cases[] = {
      {"both sheets after the first, in turn", nullptr, {parts[1], parts[2]}, {"2", "3"}},
      {"a sheet skipped drops what is in hand", nullptr, {parts[2], parts[1]}, {"", ""}},
      {"a sheet written since",
       [&](Package& p) { p.Write(parts[1], Sheet("new")); },
       {parts[1], parts[2]},
       {"", "3"}},
      {"a sheet changed as a DOM since",
       [&](Package& p) {
         p.Xml(parts[1]);
         p.MarkModified(parts[1]);
       },
       {parts[1]},
       {""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto package = Package::OpenBytes(zip, "ahead.xlsx");
    SheetReadAhead ahead(*package, [&](std::string_view part) {
      for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        if (parts[i] == part) return parts[i + 1];
      }
      return std::string();
    });
    ahead.StartAfter(parts[0]);
    if (c.meanwhile) c.meanwhile(*package);
    for (std::size_t i = 0; i < c.takes.size(); ++i) {
      std::optional<SheetReadAhead::Ahead> taken = ahead.Take(c.takes[i]);
      std::string value;
      if (taken) {
        ASSERT_NE(taken->cells, nullptr);
        value = std::string(taken->cells->Find(1, 1)->pieces.v);
      }
      EXPECT_EQ(value, c.values[i]) << c.takes[i];
    }
  }
}

}  // namespace
}  // namespace kastel::xlsx::testing
