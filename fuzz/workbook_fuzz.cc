// Feeds bytes to the workbook's sheet loading: the input, split at each "<!--part-->", becomes
// workbook.xml, its relationships and the parts of up to six sheets, so that relationships and
// sheet parts are mutated together (sheets naming the workbook part, two sheets sharing a part,
// missing or foreign targets). The workbook is then read sheet by sheet past the few sheets kept
// parsed, renamed, copied and written. Failures must be kastel::Error; a crash or a sanitizer
// report is a finding.
#include <cstdint>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "ignore_errors.h"
#include "xlsx/application.h"
#include "xlsx/package.h"
#include "xlsx/workbook.h"
#include "xlsx/zip_writer.h"

namespace {

constexpr std::string_view kSeparator = "<!--part-->";
constexpr int kSheets = 6;

std::string SheetPart(int n) { return "xl/worksheets/sheet" + std::to_string(n) + ".xml"; }

std::string ContentTypes() {
  std::string types =
      R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
      R"(<Default Extension="xml" ContentType="application/xml"/>)"
      R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
      R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)";
  for (int n = 1; n <= kSheets; ++n) {
    types +=
        R"(<Override PartName="/)" + SheetPart(n) +
        R"(" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)";
  }
  return types + "</Types>";
}

// The package of the input's pieces; a piece missing keeps the part out.
std::string Workbook(std::string_view input) {
  std::vector<std::string_view> pieces;
  for (std::size_t at = 0;;) {
    const std::size_t cut = input.find(kSeparator, at);
    pieces.push_back(input.substr(at, cut == std::string_view::npos ? cut : cut - at));
    if (cut == std::string_view::npos) break;
    at = cut + kSeparator.size();
  }
  kastel::xlsx::ZipWriter zip("fuzz.xlsx");
  zip.Add("[Content_Types].xml", ContentTypes());
  zip.Add(
      "_rels/.rels",
      R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
      R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
      R"(</Relationships>)");
  const char* names[] = {"xl/workbook.xml", "xl/_rels/workbook.xml.rels"};
  for (std::size_t i = 0; i < pieces.size() && i < 2 + kSheets; ++i) {
    zip.Add(i < 2 ? names[i] : SheetPart(static_cast<int>(i) - 1), std::string(pieces[i]));
  }
  return zip.Finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  kastel::xlsx::PackageLimits limits;
  limits.max_part_size = 8u << 20;
  limits.max_dom_cost = 64u << 20;
  std::ostringstream status;
  kastel::xlsx::XlsxApplication app(status, limits);
  try {
    auto package = kastel::xlsx::Package::OpenBytes(Workbook(input), "fuzz.xlsx", limits);
    kastel::xlsx::XlsxWorkbook wb(app, std::move(package), "fuzz.xlsx");
    // Twice round every sheet: more sheets than are kept parsed, so some are released and
    // parsed again while others are held.
    for (int round = 0; round < 2; ++round) {
      for (int i = 1; i <= wb.WorksheetCount(); ++i) {
        Try([&] {
          kastel::host::Worksheet& sheet = wb.Worksheets(i);
          sheet.Cell(1, 1);
          sheet.Cell(3, 2);
          if (round == 1) sheet.SetCell(2, 2, kastel::Value::Text("x"));
        });
      }
    }
    Try([&] { wb.Worksheets(1).SetName("改名"); });
    Try([&] { wb.Worksheets(1).Copy(wb.Worksheets(wb.WorksheetCount())); });
    Try([&] { wb.Worksheets(wb.WorksheetCount()).Cell(1, 1); });
    Try([&] { wb.Save("/dev/null/fuzz.xlsx"); });  // everything is written; the file is not
  } catch (const kastel::Error&) {
  }
  return 0;
}
