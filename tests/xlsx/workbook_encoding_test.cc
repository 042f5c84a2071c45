// A part declared in another encoding than UTF-8 is read in that encoding, and once changed it
// is written as UTF-8 under a UTF-8 declaration (UTF-16 stays UTF-16), so that every other
// reader sees the same sheet names.
#include <iconv.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "workbook_fixture.h"
#include "xlsx/package.h"
#include "xlsx/zip_writer.h"

namespace kastel::xlsx::testing {
namespace {

constexpr char kWorkbookPart[] = "xl/workbook.xml";

std::string Iconv(const std::string& text, const char* to) {
  iconv_t cd = iconv_open(to, "UTF-8");
  std::string out(text.size() * 4, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t in_left = text.size();
  char* at = out.data();
  std::size_t out_left = out.size();
  EXPECT_NE(iconv(cd, &in, &in_left, &at, &out_left), static_cast<std::size_t>(-1));
  iconv_close(cd);
  out.resize(out.size() - out_left);
  return out;
}

// ISO-8859-1 text: what Latin-1 cannot hold is written as character references.
std::string Latin1(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const int length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t code = length == 1 ? c : c & (0x3F >> (length - 1));
    for (int k = 1; k < length; ++k) code = (code << 6) | (utf8[i + k] & 0x3F);
    out += code < 0x80 ? std::string(1, static_cast<char>(code))
                       : "&#" + std::to_string(static_cast<unsigned>(code)) + ";";
    i += length;
  }
  return out;
}

// The fixture with workbook.xml re-encoded and declared as `encoding`.
std::string Reencoded(const std::string& encoding, const ScratchDir& dir) {
  auto package = Package::Open(Fixture("book.xlsx"));
  std::string text = package->Read(kWorkbookPart);
  if (text.starts_with("<?xml")) text.erase(0, text.find("?>") + 2);
  text = "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>" + text;
  if (encoding == "ISO-8859-1") text = Latin1(text);
  if (encoding == "UTF-16") text = Iconv(text, "UTF-16");  // with a byte-order mark
  if (encoding == "Shift_JIS") text = Iconv(text, "CP932");
  ZipWriter zip(dir / "in.xlsx");
  for (const std::string& name : package->PartNames()) {
    zip.Add(name, name == kWorkbookPart ? text : package->Read(name));
  }
  WriteFile(dir / "in.xlsx", zip.Finish());
  return dir / "in.xlsx";
}

// The sheet names in tab order (LibreOffice keeps no very hidden state, so states are left out).
std::vector<std::string> SheetNames(const std::string& path) {
  std::vector<std::string> names;
  for (const auto& [key, value] : WithPrefix(DumpBook(path), "sheet:")) {
    names.push_back(value.substr(0, value.find('|')));
  }
  return names;
}

TEST(DeclaredEncoding, ChangedPartsAreWrittenAsDeclaredAndReadTheSameByOtherPrograms) {
  std::vector<std::string> expected = SheetNames(Fixture("book.xlsx"));
  ASSERT_EQ(expected.front(), "一覧");
  expected.front() = "一覧表";
  const struct {
    const char* encoding;
    bool openpyxl;  // its parser cannot read a Shift_JIS part at all
  } cases[] = {{"ISO-8859-1", true}, {"UTF-16", true}, {"Shift_JIS", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.encoding);
    ScratchDir dir;
    TestApp t;
    host::Workbook& wb = t.app.Open(Reencoded(c.encoding, dir));
    wb.Worksheets("一覧").SetName("一覧表");
    t.app.SaveAs(wb, dir / "out.xlsx");
    if (c.openpyxl) {
      EXPECT_EQ(SheetNames(dir / "out.xlsx"), expected);
    }
    const std::string converted = ConvertWithLibreOffice(dir / "out.xlsx", dir / "lo");
    ASSERT_NE(converted, "") << "LibreOffice could not read the saved workbook";
    EXPECT_EQ(SheetNames(converted), expected);
  }
}

}  // namespace
}  // namespace kastel::xlsx::testing
