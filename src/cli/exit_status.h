// The exit statuses of kastel.
#ifndef KASTEL_CLI_EXIT_STATUS_H_
#define KASTEL_CLI_EXIT_STATUS_H_

namespace kastel::cli {

inline constexpr int kExitOk = 0;         // ran to its end, no failure shown
inline constexpr int kExitFailure = 1;    // a failure stopped it (or the save failed): not saved
inline constexpr int kExitUsage = 2;      // a usage error, or a workbook that cannot be used
inline constexpr int kExitCancelled = 3;  // the user cancelled a dialog
inline constexpr int kExitWentPast = 4;   // ran to its end past failures it showed: saved

}  // namespace kastel::cli

#endif  // KASTEL_CLI_EXIT_STATUS_H_
