#include "addin/template_path.h"

#include <optional>
#include <string>

#include "util/shell.h"

namespace kastel::addin {
namespace {

std::optional<std::string> NonEmptyEnv(const Shell& shell, const char* name) {
  std::optional<std::string> value = shell.GetEnv(name);
  if (value && value->empty()) return std::nullopt;
  return value;
}

std::string PersonalTemplateFolder(const Shell& shell) {
  if (auto profile = NonEmptyEnv(shell, "USERPROFILE")) {
    return *profile + "/Application Data/Microsoft/Templates/";
  }
  std::string data_home;
  if (auto xdg = NonEmptyEnv(shell, "XDG_DATA_HOME")) {
    data_home = *xdg;
  } else {
    data_home = NonEmptyEnv(shell, "HOME").value_or("") + "/.local/share";
  }
  return data_home + "/kastel/templates/";
}

}  // namespace

std::string TemplatePath(const Shell& shell) {
  if (auto chosen = NonEmptyEnv(shell, "KASTEL_TEMPLATE")) return *chosen;
  const std::string personal = PersonalTemplateFolder(shell) + kTemplateFile;
  if (shell.FileExists(personal)) return personal;
  return shell.ProgramDataFolder() + "/" + kTemplateFile;
}

}  // namespace kastel::addin
