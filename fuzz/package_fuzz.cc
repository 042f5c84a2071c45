// Opens arbitrary bytes as a package and reads, parses and resolves every part, as a workbook
// load would. Failures must be kastel::Error; anything else (a crash, a sanitizer report, an
// escape round trip that does not hold) is a finding.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/error.h"
#include "xlsx/package.h"

namespace {

// Escaping sanitizes text (bad UTF-8 becomes U+FFFD) and unescaping must give that text back.
void CheckEscapes(const std::string& text) {
  std::string escaped = kastel::xlsx::EscapeText(text);
  if (kastel::xlsx::EscapeText(kastel::xlsx::UnescapeText(escaped)) != escaped) std::abort();
}

void TouchPart(kastel::xlsx::Package& package, const std::string& part) {
  try {
    std::string bytes = package.Read(part);
    CheckEscapes(bytes.substr(0, 4096));
    package.ContentType(part);
    package.Relationships(part);
    pugi::xml_document& doc = package.Xml(part);
    kastel::xlsx::SerializeXml(doc);
    package.Release(part);
  } catch (const kastel::Error&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kastel::xlsx::PackageLimits limits;
  limits.max_part_size = 8u << 20;  // keep one run's memory small
  limits.max_total_size = 32u << 20;
  try {
    auto package = kastel::xlsx::Package::OpenBytes(
        std::string(reinterpret_cast<const char*>(data), size), "fuzz.xlsx", limits);
    for (const std::string& part : package->PartNames()) TouchPart(*package, part);
    package->Relationships("");
  } catch (const kastel::Error&) {
  }
  return 0;
}
