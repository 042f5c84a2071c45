// Workbook.CustomDocumentProperties over docProps/custom.xml. The part is read on first use and
// created (with its content type and package relationship) by the first AddText when the
// workbook has none.
#ifndef KASTEL_XLSX_DOC_PROPS_H_
#define KASTEL_XLSX_DOC_PROPS_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "host/host.h"
#include "xlsx/package.h"

namespace kastel::xlsx {

class XlsxDocumentProperties final : public host::DocumentProperties {
 public:
  explicit XlsxDocumentProperties(Package& package);
  ~XlsxDocumentProperties() override;

  int Count() const override;
  host::DocumentProperty& Item(int index) override;
  host::DocumentProperty& Item(std::string_view name) override;
  host::DocumentProperty& AddText(std::string_view name, std::string_view value) override;

 private:
  class Property;
  void Load() const;
  pugi::xml_node CreatePart();

  Package& package_;
  mutable bool loaded_ = false;
  mutable std::string part_;  // "" while the workbook has no custom properties
  mutable std::vector<std::unique_ptr<Property>> items_;
};

// The text a vt:filetime holds for a VB date serial ("2024-01-05T09:03:07Z") and back; nothing
// when the text is not such a time.
std::string FileTimeText(double serial);
std::optional<double> ParseFileTime(std::string_view text);

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_DOC_PROPS_H_
