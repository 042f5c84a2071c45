// The exit statuses of kastel.
#ifndef KASTEL_CLI_EXIT_STATUS_H_
#define KASTEL_CLI_EXIT_STATUS_H_

namespace kastel::cli {

inline constexpr int kExitOk = 0;         // no failure was shown
inline constexpr int kExitFailure = 1;    // a failure was shown, even if the command went on
inline constexpr int kExitUsage = 2;      // a usage error, or a workbook that cannot be used
inline constexpr int kExitCancelled = 3;  // the user cancelled a dialog

}  // namespace kastel::cli

#endif  // KASTEL_CLI_EXIT_STATUS_H_
