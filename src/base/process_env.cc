#include "base/process_env.h"

#include <cstdlib>

namespace kastel {

std::optional<std::string> ProcessEnv(std::string_view name) {
  const char* value = std::getenv(std::string(name).c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace kastel
