// One finding of the workbook check: where it is, what is wrong and what the script output
// would make of it.
#ifndef KASTEL_CHECK_FINDING_H_
#define KASTEL_CHECK_FINDING_H_

#include <string>
#include <vector>

namespace kastel::check {

enum class Severity { kError, kWarning };

struct Finding {
  Severity severity = Severity::kError;
  std::string sheet;   // the tab name; "" for the workbook as a whole
  std::string table;   // the table name as the sheet holds it; "" when none
  std::string cell;    // A1 form such as "H9"; "" for the workbook or the sheet as a whole
  std::string what;    // what is wrong, one sentence
  std::string effect;  // what the script output does with it, one sentence
  // The script output shows a failure at this cell (an error value) or stops there (a key
  // position it cannot hold); its own message does not say where, this finding does.
  bool shown = false;
  bool stops = false;
};

struct Report {
  std::string workbook;  // the file name
  int sheets_read = 0;   // definition sheets the script output would write
  std::vector<Finding> findings;

  int Count(Severity severity) const {
    int n = 0;
    for (const Finding& f : findings) n += f.severity == severity ? 1 : 0;
    return n;
  }
};

}  // namespace kastel::check

#endif  // KASTEL_CHECK_FINDING_H_
