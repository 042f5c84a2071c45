// Turns one readable source part of the template into the XML that goes into the package.
//
// Source parts are indented and commented for people; the package gets them compact, without
// comments, and with every <gen:repeat from="A" to="B"> element replaced by its children
// written once for each r from A to B. Inside a repeat, "{r}", "{r-N}" and "{r+N}" in attribute
// values and text become the number. This keeps hundreds of numbered rows out of the source.
#ifndef KASTEL_TEMPLATES_PART_EXPANDER_H_
#define KASTEL_TEMPLATES_PART_EXPANDER_H_

#include <string>
#include <string_view>

namespace kastel::templates {

// The largest number of copies one repeat may produce; a typo such as to="52000" must not
// silently blow a part up.
inline constexpr long kMaxRepeatCount = 10000;

// Rows count from 1. Returns `xml` expanded as described above, with its XML declaration kept.
// Throws kastel::Error (number 1005) naming `part_name` when the part is not well-formed, a repeat
// has a bad range, is nested in another, or its body holds a placeholder other than the ones
// above.
std::string ExpandPart(std::string_view xml, std::string_view part_name);

// Replaces the placeholders of one text from a repeat body for row `r`.
std::string SubstituteRow(std::string_view text, long r, std::string_view part_name);

}  // namespace kastel::templates

#endif  // KASTEL_TEMPLATES_PART_EXPANDER_H_
