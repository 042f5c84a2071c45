// Part names as they appear in the zip: "xl/worksheets/sheet1.xml", without a leading slash.
// Pure string work; nothing here ever touches the file system.
#ifndef KASTEL_XLSX_PART_NAME_H_
#define KASTEL_XLSX_PART_NAME_H_

#include <optional>
#include <string>
#include <string_view>

namespace kastel::xlsx::part_name {

// The key two names are compared by: ASCII letters folded to lower case.
std::string Fold(std::string_view name);
// Fold(a) == Fold(b), without building either.
bool SameFolded(std::string_view a, std::string_view b);
// False for a name that could point outside the package or name the same part twice: empty,
// a leading "/", or a "." or ".." segment.
bool IsValid(std::string_view name);
// True for a zip folder entry ("xl/"), which is not a part.
bool IsFolder(std::string_view name);
// The folder of a part with its trailing slash: "xl/worksheets/" for
// "xl/worksheets/sheet1.xml", "" for a part at the root.
std::string_view FolderOf(std::string_view part);
// The part a relationship target names, seen from `source` ("" for the package itself):
// relative targets start in the source's folder, "/xl/a.xml" starts at the root. Nothing when
// the target climbs above the root or names no part.
std::optional<std::string> Resolve(std::string_view source, std::string_view target);
// The target to write in the .rels of `source` so that Resolve gives back `target_part`.
std::string Relative(std::string_view source, std::string_view target_part);

}  // namespace kastel::xlsx::part_name

#endif  // KASTEL_XLSX_PART_NAME_H_
