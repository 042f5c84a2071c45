// Feeds bytes to the cell layer as a worksheet part and, after the first "<!--sst-->", as the
// shared-string table of a small in-memory workbook, then reads, searches, writes, clears and
// links as the add-in would. Failures must be kastel::Error; a crash, a sanitizer report or a
// written value that does not read back is a finding.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "ignore_errors.h"
#include "xlsx/package.h"
#include "xlsx/shared_strings.h"
#include "xlsx/sheet_data.h"
#include "xlsx/styles.h"
#include "xlsx/zip_writer.h"

namespace {

using kastel::Value;
using kastel::xlsx::Package;

constexpr std::string_view kSeparator = "<!--sst-->";
constexpr char kSheet[] = "xl/worksheets/sheet1.xml";
constexpr char kStrings[] = "xl/sharedStrings.xml";
constexpr char kStyles[] = "xl/styles.xml";

// A workbook whose sheet and string table are replaced by each input; styles has a date format.
std::string BaseWorkbook() {
  const std::vector<std::pair<const char*, const char*>> parts = {
      {"[Content_Types].xml",
       R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
       R"(<Default Extension="xml" ContentType="application/xml"/></Types>)"},
      {kSheet, "<worksheet/>"},
      {kStrings, "<sst/>"},
      {kStyles,
       R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
       R"(<cellXfs count="2"><xf numFmtId="0"/><xf numFmtId="14"/></cellXfs></styleSheet>)"},
  };
  kastel::xlsx::ZipWriter zip("fuzz.xlsx");
  for (const auto& [name, text] : parts) zip.Add(name, text);
  return zip.Finish();
}

// What a read gives, a failure as its description.
std::string Read(kastel::xlsx::SheetData& sheet, int row, int column) {
  try {
    const Value v = sheet.Get(row, column);
    return std::to_string(static_cast<int>(v.kind())) + ":" +
           (v.kind() == Value::Kind::kText     ? v.text()
            : v.kind() == Value::Kind::kError  ? v.error()
            : v.kind() == Value::Kind::kNumber ? std::to_string(v.number())
            : v.kind() == Value::Kind::kDate   ? std::to_string(v.date())
                                               : std::string());
  } catch (const kastel::Error& e) {
    return "error " + e.description();
  }
}

// A sheet that is only read is taken in one pass without a DOM; wherever the DOM can be built,
// both must give every cell the same value.
void CompareWithDom(kastel::xlsx::SheetData& pass, kastel::xlsx::SheetData& dom,
                    Package& dom_package) {
  try {
    dom_package.Xml(kSheet);
  } catch (const kastel::Error&) {
    return;  // a part the DOM refuses: the pass may read what it can
  }
  for (int row = 1; row <= 6; ++row) {
    for (int column = 1; column <= 6; ++column) {
      if (Read(pass, row, column) != Read(dom, row, column)) std::abort();
    }
  }
}

void Exercise(kastel::xlsx::SheetData& sheet) {
  for (int row = 1; row <= 6; ++row) {
    for (int column = 1; column <= 6; ++column) Try([&] { sheet.Get(row, column); });
  }
  kastel::host::FindOptions options;
  options.what = "a";
  options.after = {2, 2};
  Try([&] { sheet.Find(options); });
  options.order = kastel::host::SearchOrder::kByColumns;
  options.whole_cell = false;
  Try([&] { sheet.Find(options); });

  Try([&] {
    sheet.Set(3, 3, Value::Text("fuzz"));
    if (sheet.Get(3, 3) != Value::Text("fuzz")) std::abort();
  });
  Try([&] { sheet.Set(1, 1, Value::Date(45296.5)); });
  Try([&] { sheet.Set(7, 2, Value::Number(1.5)); });
  Try([&] {
    sheet.ClearContents("A1:C3");
    if (!sheet.Get(2, 2).is_empty()) std::abort();
  });
  Try([&] { sheet.AddHyperlink("B2", "'1'!A1", "link"); });
  Try([&] { sheet.RenameSheetReferences("Sheet1", "新しい名前"); });
  Try([&] { sheet.Find(options); });
  Try([&] { sheet.Set(9, 9, Value()); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string base = BaseWorkbook();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = input.find(kSeparator);
  kastel::xlsx::PackageLimits limits;
  limits.max_part_size = 8u << 20;
  limits.max_shared_strings = 1000;
  try {
    auto open = [&] {
      auto package = Package::OpenBytes(base, "fuzz.xlsx", limits);
      package->Write(kSheet, std::string(input.substr(0, cut)));
      if (cut != std::string_view::npos) {
        package->Write(kStrings, std::string(input.substr(cut + kSeparator.size())));
      }
      return package;
    };
    auto package = open();
    kastel::xlsx::SharedStrings strings(*package, kStrings);
    kastel::xlsx::Styles styles(*package, kStyles);
    kastel::xlsx::SheetData sheet(*package, kSheet, strings, styles, size % 2 == 1);
    {
      auto dom_package = open();
      kastel::xlsx::SharedStrings dom_strings(*dom_package, kStrings);
      kastel::xlsx::Styles dom_styles(*dom_package, kStyles);
      kastel::xlsx::SheetData dom(*dom_package, kSheet, dom_strings, dom_styles, size % 2 == 1);
      CompareWithDom(sheet, dom, *dom_package);
    }
    Exercise(sheet);
    sheet.Release();
    Try([&] { sheet.Get(1, 1); });
    kastel::xlsx::SerializeXml(package->Xml(kSheet));
  } catch (const kastel::Error&) {
  }
  return 0;
}
