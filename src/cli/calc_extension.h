// The Calc extension kastel.oxt among the program's own files, installed for the current user
// and removed again with LibreOffice's unopkg.
#ifndef KASTEL_CLI_CALC_EXTENSION_H_
#define KASTEL_CLI_CALC_EXTENSION_H_

#include <iosfwd>
#include <string>

namespace kastel::cli {

// The extension's identifier, as its description.xml gives it.
inline constexpr const char* kCalcExtensionId = "kastel.calc";

// Installs (replacing an older copy) or removes the extension for the current user; unopkg
// writes its own messages. The exit status: 0 done, 1 when unopkg failed or is missing (the
// cause on `err`).
int AddCalcExtension(const std::string& oxt, std::ostream& out, std::ostream& err);
int RemoveCalcExtension(std::ostream& out, std::ostream& err);

}  // namespace kastel::cli

#endif  // KASTEL_CLI_CALC_EXTENSION_H_
