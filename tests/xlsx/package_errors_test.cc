// Files that are not packages, damaged, hostile or too large: each gives its own Japanese
// message naming the file, and the file on disk stays exactly as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <future>

#include "package_fixture.h"
#include "package_raw_zip.h"
#include "xlsx/package.h"
#include "xlsx/package_messages.h"

namespace kastel::xlsx {
namespace {

using testing::BuildZip;
using testing::ExpectError;
using testing::MinimalWorkbook;
using testing::ZipEntry;

constexpr char kTypes[] =
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>)"
    R"(</Types>)";

std::string Open(const std::string& name) { return "ファイル「" + name + "」を開けません: "; }

std::vector<ZipEntry> WorkbookWith(std::vector<ZipEntry> extra) {
  std::vector<ZipEntry> entries = MinimalWorkbook();
  entries.insert(entries.end(), extra.begin(), extra.end());
  return entries;
}

std::string Truncated(std::string zip) { return zip.substr(0, zip.size() / 2); }

// Bytes that do not look random to a compressor only slightly: a simple generator's output.
std::string Noise(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t state = 12345;
  for (char& c : bytes) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 24);
  }
  return bytes;
}

testing::RawZipEntry Declaring(std::uint64_t size, testing::RawZipEntry entry) {
  entry.size = size;
  return entry;
}

std::string WithCorruptCrc() {
  auto entry = testing::HonestEntry("xl/workbook.xml", "<workbook/>");
  entry.crc ^= 1;
  return testing::BuildRawZip({testing::HonestEntry("[Content_Types].xml", kTypes), entry});
}

std::string WithCorruptDeflate() {
  auto entry = testing::HonestEntry("xl/workbook.xml", std::string(5000, 'a') + Noise(5000));
  for (std::size_t i = 2; i < entry.deflated.size(); i += 7) entry.deflated[i] ^= 0x5A;
  return testing::BuildRawZip({testing::HonestEntry("[Content_Types].xml", kTypes), entry});
}

struct Case {
  const char* name;
  std::string file;  // written as "case.xlsx"
  PackageLimits limits;
  std::function<void(Package&)> use;  // after a successful Open
  std::string cause;
};

PackageLimits Limits(std::function<void(PackageLimits&)> change) {
  PackageLimits limits;
  change(limits);
  return limits;
}

TEST(PackageErrors, EachBadFileGivesItsOwnMessageAndStaysUnchanged) {
  const std::string ok = BuildZip(MinimalWorkbook());
  auto read = [](const char* part) { return [part](Package& p) { p.Read(part); }; };
  auto xml = [](const char* part) { return [part](Package& p) { p.Xml(part); }; };
  // Read ahead, as a walk over the sheets does, on another thread: the same limits and damage.
  auto ahead = [](const char* part) {
    return [part](Package& p) {
      Package::ReadTask task = p.ReadLater(part);
      ASSERT_TRUE(task.read) << part;
      p.Adopt(part, std::async(std::launch::async, task.read).get().size());
    };
  };
  const Case cases[] = {
      {"text file", "just text, not a zip", {}, nullptr, messages::NotPackage()},
      {"empty file", "", {}, nullptr, messages::NotPackage()},
      {"truncated zip", Truncated(ok), {}, nullptr, messages::DamagedZip()},
      {"zip of something else", BuildZip({{"mimetype", "application/x"}, {"content.xml", "<a/>"}}),
       {}, nullptr, messages::NotPackage()},
      {"content types not a Types element",
       BuildZip({{"[Content_Types].xml", "<Relationships/>"}}), {}, nullptr,
       messages::NotPackage()},
      {"missing part asked for", ok, {}, read("xl/styles.xml"),
       messages::MissingPart("xl/styles.xml")},
      {"too many entries", ok, Limits([](auto& l) { l.max_entries = 4; }), nullptr,
       messages::TooManyEntries(4)},
      {"names differing in case",
       BuildZip(WorkbookWith({{"XL/Workbook.xml", "<workbook/>"}})), {}, nullptr,
       messages::DuplicateName("XL/Workbook.xml")},
      {"names exactly alike",
       testing::BuildRawZip({testing::HonestEntry("[Content_Types].xml", kTypes),
                             testing::HonestEntry("xl/a.xml", "<a/>"),
                             testing::HonestEntry("xl/a.xml", "<b/>")}),
       {}, nullptr, messages::DuplicateName("xl/a.xml")},
      {"absolute name", BuildZip(WorkbookWith({{"/etc/cron.d/x", "x"}})), {}, nullptr,
       messages::BadPartName("/etc/cron.d/x")},
      {"name climbing out", BuildZip(WorkbookWith({{"xl/../../x.sh", "x"}})), {}, nullptr,
       messages::BadPartName("xl/../../x.sh")},
      {"doctype in the content types",
       BuildZip({{"[Content_Types].xml", std::string("<!DOCTYPE Types>") + kTypes}}), {},
       nullptr, messages::Doctype("[Content_Types].xml")},
      {"broken xml", BuildZip(WorkbookWith({{"xl/a.xml", "<a><b></a>"}})), {}, xml("xl/a.xml"),
       messages::XmlSyntax("xl/a.xml", 8)},
      {"a gigabyte of zeros",
       testing::BuildRawZip({testing::HonestEntry("[Content_Types].xml", kTypes),
                             testing::Zeros("xl/workbook.xml", 1ull << 30, 1ull << 30)}),
       {}, read("xl/workbook.xml"), messages::TooCompressed("xl/workbook.xml")},
      {"a gigabyte of zeros read ahead",
       testing::BuildRawZip({testing::HonestEntry("[Content_Types].xml", kTypes),
                             testing::Zeros("xl/workbook.xml", 1ull << 30, 1ull << 30)}),
       {}, ahead("xl/workbook.xml"), messages::TooCompressed("xl/workbook.xml")},
      {"declared size that lies",
       testing::BuildRawZip({testing::HonestEntry("[Content_Types].xml", kTypes),
                             Declaring(100, testing::HonestEntry("xl/big.xml", Noise(3 << 20)))}),
       Limits([](auto& l) { l.max_part_size = 1 << 20; }), read("xl/big.xml"),
       messages::TooLarge("xl/big.xml")},
      {"a small part over the limit",
       testing::BuildRawZip({testing::HonestEntry("[Content_Types].xml", kTypes),
                             testing::HonestEntry("xl/big.xml", Noise(200'000))}),
       Limits([](auto& l) { l.max_part_size = 150'000; }), ahead("xl/big.xml"),
       messages::TooLarge("xl/big.xml")},
      {"total over the package's life",
       BuildZip(WorkbookWith({{"xl/a.bin", Noise(600'000)}, {"xl/b.bin", Noise(600'000)}})),
       Limits([](auto& l) { l.max_total_size = 1'000'000; }),
       [](Package& p) {
         p.Read("xl/a.bin");
         p.Read("xl/b.bin");
       },
       messages::TooLarge("xl/b.bin")},
      {"total over the package's life, one part read ahead meanwhile",
       BuildZip(WorkbookWith({{"xl/a.bin", Noise(600'000)}, {"xl/b.bin", Noise(600'000)}})),
       Limits([](auto& l) { l.max_total_size = 1'000'000; }),
       [](Package& p) {
         Package::ReadTask a = p.ReadLater("xl/a.bin");
         p.Read("xl/b.bin");
         p.Adopt("xl/a.bin", a.read().size());
       },
       messages::TooLarge("xl/a.bin")},
      {"damaged crc", WithCorruptCrc(), {}, read("xl/workbook.xml"),
       messages::DamagedPart("xl/workbook.xml")},
      {"damaged deflate data", WithCorruptDeflate(), {}, read("xl/workbook.xml"),
       messages::DamagedPart("xl/workbook.xml")},
      {"damaged crc read ahead", WithCorruptCrc(), {}, ahead("xl/workbook.xml"),
       messages::DamagedPart("xl/workbook.xml")},
      {"damaged deflate data read ahead", WithCorruptDeflate(), {}, ahead("xl/workbook.xml"),
       messages::DamagedPart("xl/workbook.xml")},
      {"too many shared strings",
       BuildZip({{"[Content_Types].xml", kTypes},
                 {"xl/sharedStrings.xml", "<sst><si><t>a</t></si><si/><x:si>b</x:si></sst>"}}),
       Limits([](auto& l) { l.max_shared_strings = 2; }), xml("xl/sharedStrings.xml"),
       messages::TooManyStrings("xl/sharedStrings.xml")}
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::ScratchDir dir;
    const std::string path = dir / "case.xlsx";
    testing::WriteFile(path, c.file);
    ExpectError(
        [&] {
          auto package = Package::Open(path, c.limits);
          if (c.use) c.use(*package);
        },
        kFileFormatError, Open("case.xlsx") + c.cause);
    EXPECT_EQ(testing::ReadFile(path), c.file);
    EXPECT_EQ(dir.List(), std::vector<std::string>{"case.xlsx"});
  }
}

TEST(PackageErrors, SharedStringsWithinTheLimitAreParsed) {
  PackageLimits limits;
  limits.max_shared_strings = 3;
  auto package = Package::OpenBytes(
      BuildZip({{"[Content_Types].xml", kTypes},
                {"xl/sharedStrings.xml", "<sst><si><t>a</t></si><si/><x:si>b</x:si></sst>"}}),
      "m.xlsx", limits);
  EXPECT_STREQ(package->Xml("xl/sharedStrings.xml").document_element().name(), "sst");
}

// A directory may declare more than a part holds: the part read ahead is whole all the same.
TEST(PackageErrors, APartDeclaringMoreThanItHoldsReadsAsItIs) {
  const std::string text = "<workbook>" + std::string(3000, 'x') + "</workbook>";
  auto package = Package::OpenBytes(
      testing::BuildRawZip({testing::HonestEntry("[Content_Types].xml", kTypes),
                            Declaring(50'000, testing::HonestEntry("xl/workbook.xml", text))}),
      "declared.xlsx");
  Package::ReadTask ahead = package->ReadLater("xl/workbook.xml");
  ASSERT_TRUE(ahead.read);
  EXPECT_EQ(ahead.read(), text);
}

TEST(PackageErrors, AMissingFileOrAFolderIsNamedInTheMessage) {
  testing::ScratchDir dir;
  ExpectError([&] { Package::Open(dir / "nothere.xlsx"); }, kFileFormatError,
              Open("nothere.xlsx") + messages::NotFound());
  ASSERT_EQ(mkdir((dir / "folder.xlsx").c_str(), 0755), 0);
  ExpectError([&] { Package::Open(dir / "folder.xlsx"); }, kFileFormatError,
              Open("folder.xlsx") + messages::NotAFile());
}

TEST(PackageErrors, OpeningFromMemoryChecksAsOpeningAFileDoes) {
  ExpectError([] { Package::OpenBytes("PK\x03\x04 cut short", "mem.xlsx"); }, kFileFormatError,
              Open("mem.xlsx") + messages::DamagedZip());
  ExpectError(
      [] {
        Package::OpenBytes(BuildZip({{"a.xml", "<a/>"}}), "mem.xlsx");
      },
      kFileFormatError, Open("mem.xlsx") + messages::NotPackage());
  auto package = Package::OpenBytes(BuildZip(MinimalWorkbook()), "mem.xlsx");
  EXPECT_EQ(package->path(), "mem.xlsx");
  EXPECT_TRUE(package->Has("XL/WORKBOOK.XML"));
}

}  // namespace
}  // namespace kastel::xlsx
