// The process environment, read the same way by the shells and the data adapter.
#ifndef KASTEL_BASE_PROCESS_ENV_H_
#define KASTEL_BASE_PROCESS_ENV_H_

#include <optional>
#include <string>
#include <string_view>

namespace kastel {

// The value of `name`; nothing when it is not set.
std::optional<std::string> ProcessEnv(std::string_view name);

}  // namespace kastel

#endif  // KASTEL_BASE_PROCESS_ENV_H_
