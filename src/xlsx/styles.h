// The part of styles.xml that cell values depend on: which cell formats show dates.
#ifndef KASTEL_XLSX_STYLES_H_
#define KASTEL_XLSX_STYLES_H_

#include <string>
#include <vector>

#include "xlsx/package.h"

namespace kastel::xlsx {

class Styles {
 public:
  // `part` is the styles part name, "" when the workbook has none.
  Styles(Package& package, std::string part);

  // True when cell format `xf` (the cell's s attribute) has a date or time number format:
  // built-in 14-22, 45-47, or a custom code with date or time letters outside quotes and
  // brackets.
  bool IsDate(unsigned xf);

  // A cell format like `xf` but with a date number format, added to cellXfs when there is
  // none yet (the styles part is then marked modified). Used when a date is written into a
  // cell whose format does not show dates.
  unsigned DateFormatLike(unsigned xf);

 private:
  void Load();

  Package& package_;
  std::string part_;
  bool loaded_ = false;
  std::vector<bool> is_date_;  // per cellXfs entry
};

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_STYLES_H_
