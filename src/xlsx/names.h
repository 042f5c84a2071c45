// The defined names of workbook.xml: workbook-level names (Workbook.Names) and the sheet-local
// names that follow their sheet (Print_Area and the others) when sheets are copied or moved.
// Sheet references inside the names catch up with sheet renames before any read or write.
#ifndef KASTEL_XLSX_NAMES_H_
#define KASTEL_XLSX_NAMES_H_

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "host/host.h"
#include "xlsx/workbook_renames.h"

namespace kastel::xlsx {

class XlsxNames final : public host::Names {
 public:
  // `workbook` is the root of workbook.xml; `modified` marks that part for saving;
  // `active_sheet` gives the name that an unqualified reference belongs to.
  XlsxNames(pugi::xml_node workbook, const RenameLog& renames, std::function<void()> modified,
            std::function<std::string()> active_sheet);

  void Delete(std::string_view name) override;
  void AddR1C1(std::string_view name, std::string_view refers_to_r1c1) override;
  std::optional<std::string> RefersTo(std::string_view name) const override;

  // The print area of the sheet at 0-based tab position `sheet`, without the sheet name
  // ("$B$3:$V$40"); "" when it has none.
  std::string PrintArea(int sheet) const;
  // Sets ("" removes) the print area of the sheet at `sheet`, named `sheet_name`. Throws error
  // 1004 when the range is malformed.
  void SetPrintArea(int sheet, std::string_view sheet_name, std::string_view a1_range);

  // A sheet was inserted at tab position `at`: local names of sheets from there on move up one.
  void SheetInserted(int at);
  // Duplicates the local names of the sheet at `from` for the sheet at `to` (already
  // inserted), their references moved from sheet `from_name` to `to_name`.
  void CopyLocalNames(int from, int to, std::string_view from_name, std::string_view to_name);

  // Brings the references up to date with the renames (also done by every call above).
  void CatchUp() const;

 private:
  pugi::xml_node DefinedNames(bool create) const;
  pugi::xml_node Find(std::string_view name, std::optional<int> sheet) const;
  void Add(std::string_view name, std::optional<int> sheet, const std::string& text);

  pugi::xml_node workbook_;
  const RenameLog& renames_;
  std::function<void()> modified_;
  std::function<std::string()> active_sheet_;
  mutable std::size_t applied_ = 0;
};

// Checks a workbook-level name: 1-255 characters, a letter, "_" or "\" first, then letters,
// digits, "_", ".", "\" or "?"; not shaped like a cell reference; not TRUE or FALSE.
bool IsValidDefinedName(std::string_view name);

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_NAMES_H_
