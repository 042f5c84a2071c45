// Where a new definition workbook's template is found.
#ifndef KASTEL_ADDIN_TEMPLATE_PATH_H_
#define KASTEL_ADDIN_TEMPLATE_PATH_H_

#include <string>

namespace kastel {
class Shell;
}  // namespace kastel

namespace kastel::addin {

// The template file's name.
inline constexpr const char* kTemplateFile = "テーブル定義書.xltx";

// The template a new workbook is made from: the file named by KASTEL_TEMPLATE when that is set;
// else the user's own template ($USERPROFILE/Application Data/Microsoft/Templates/ when
// USERPROFILE is set, else ${XDG_DATA_HOME:-$HOME/.local/share}/kastel/templates/) when it
// exists; else the one among the program's own files, whose existence is left to the host.
std::string TemplatePath(const Shell& shell);

}  // namespace kastel::addin

#endif  // KASTEL_ADDIN_TEMPLATE_PATH_H_
