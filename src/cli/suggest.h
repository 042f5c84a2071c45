// The nearest of a few names to a word typed wrong, for "もしかして: script".
#ifndef KASTEL_CLI_SUGGEST_H_
#define KASTEL_CLI_SUGGEST_H_

#include <string>
#include <string_view>
#include <vector>

namespace kastel::cli {

// The edit distance counting a swap of two neighbours as one edit ("scirpt" -> "script": 1).
std::size_t EditDistance(std::string_view a, std::string_view b);

// The name nearest to `word`, when it is near enough to be what was meant (at most a third of
// its letters, and at least 2, differ); "" when none is.
std::string Nearest(std::string_view word, const std::vector<std::string>& names);

}  // namespace kastel::cli

#endif  // KASTEL_CLI_SUGGEST_H_
