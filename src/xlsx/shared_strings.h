// The workbook's shared-string table, read once on first use. New text is written into cells
// inline, so the table itself is never changed.
#ifndef KASTEL_XLSX_SHARED_STRINGS_H_
#define KASTEL_XLSX_SHARED_STRINGS_H_

#include <string>
#include <vector>

#include "xlsx/package.h"

namespace kastel::xlsx {

class SharedStrings {
 public:
  // `part` is the table's part name, "" when the workbook has none.
  SharedStrings(Package& package, std::string part);

  // The text of entry `index` (rich-text runs joined, phonetic runs left out, _xHHHH_
  // unescaped). Throws kFileFormatError when the index is outside the table. The table is
  // parsed on the first call; more than PackageLimits::max_shared_strings entries fails with
  // kFileFormatError before they are stored.
  const std::string& Get(std::size_t index);

 private:
  void Load();

  Package& package_;
  std::string part_;
  bool loaded_ = false;
  std::vector<std::string> strings_;
};

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_SHARED_STRINGS_H_
