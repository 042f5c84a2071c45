// Sheet renames kept in the order they happened. A holder of sheet references (a worksheet part,
// the workbook's defined names) remembers how far into the log its text is written and catches
// up once, when it is next used or saved, so that renaming n sheets costs work in proportion to
// the references, not n times every sheet.
#ifndef KASTEL_XLSX_WORKBOOK_RENAMES_H_
#define KASTEL_XLSX_WORKBOOK_RENAMES_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <pugixml.hpp>

namespace kastel::xlsx {

using RenamePair = std::pair<std::string, std::string>;

class RenameLog {
 public:
  void Add(std::string from, std::string to);
  std::size_t size() const { return log_.size(); }
  const RenamePair& operator[](std::size_t i) const { return log_[i]; }

  // What the sheet names in `names` (as a text written at log position `since` holds them) are
  // called now; only the names that changed, each once.
  std::vector<RenamePair> Follow(std::size_t since, const std::vector<std::string>& names) const;

 private:
  std::vector<RenamePair> log_;
  std::vector<RenamePair> folded_;  // the same, case folded once: every holder follows the log
};

// The sheet names a formula refers to ("'1'!A1", "Sheet1!A1:B2", "Sheet1:Sheet3!A1"), skipping
// string literals and references into other workbooks ("[1]Sheet1!A1").
std::vector<std::string> SheetNamesIn(std::string_view formula);

// The sheet names referred to anywhere in a worksheet or a workbook part: cell formulas,
// validation and conditional-format formulas, hyperlink locations, defined names.
std::vector<std::string> SheetNamesInXml(const pugi::xml_node& root);

// Applies renames that happen at once (a swap of two names included) through `rename`, one
// pair at a time, going through temporary names (none of `present`) when a new name is also an
// old one.
void ApplyRenames(const std::vector<RenamePair>& renames, const std::vector<std::string>& present,
                  const std::function<void(std::string_view, std::string_view)>& rename);

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_WORKBOOK_RENAMES_H_
