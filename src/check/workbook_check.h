// The workbook check: reads every definition sheet that the script output would write, with the
// same layout and the same rule for what a definition sheet is, and lists what the script would
// write wrong, each fault once at the cell that causes it. It changes nothing in the workbook
// and shows nothing; the caller prints the report.
#ifndef KASTEL_CHECK_WORKBOOK_CHECK_H_
#define KASTEL_CHECK_WORKBOOK_CHECK_H_

#include <string>

#include "finding.h"
#include "host/host.h"

namespace kastel::check {

struct CheckOptions {
  bool cp932 = true;               // the script files are written in CP932 (else UTF-8)
  bool oracle_long_names = false;  // Oracle names up to 128 bytes (release 12.2 and later)
};

// Checks `wb`. A workbook whose layout cannot be loaded gives one error and nothing more.
// Host failures while reading rise as kastel::Error.
Report CheckWorkbook(host::Workbook& wb, const CheckOptions& options);

// The document property that keeps `wb` from being a definition workbook to the commands: the
// mark "TEMPLATE" (absent or not "DB") or the first missing layout property; "" when none.
std::string MissingProperty(host::Workbook& wb);

}  // namespace kastel::check

#endif  // KASTEL_CHECK_WORKBOOK_CHECK_H_
