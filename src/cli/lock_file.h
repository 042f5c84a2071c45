// Whether a spreadsheet application has a workbook open: the lock file it keeps beside it.
#ifndef KASTEL_CLI_LOCK_FILE_H_
#define KASTEL_CLI_LOCK_FILE_H_

#include <filesystem>
#include <optional>

namespace kastel::cli {

// The lock file beside `workbook` that says it is open elsewhere: Excel's owner file "~$name"
// (for long names Excel drops the first two characters: "~$" + name without them) or
// LibreOffice's ".~lock.name#". Nothing when there is none.
std::optional<std::filesystem::path> FindLockFile(const std::filesystem::path& workbook);

}  // namespace kastel::cli

#endif  // KASTEL_CLI_LOCK_FILE_H_
