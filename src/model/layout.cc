// Where things stand on a definition sheet is read from the workbook, never assumed.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "base/vb.h"
#include "model/defines.h"
#include "util/shell.h"

namespace kastel::model {
namespace {

// Split(text, ","): an empty text gives no elements at all, so that reading element 0 of it
// fails like reading element 1 of a text without a comma.
std::vector<std::string_view> SplitAtCommas(std::string_view text) {
  std::vector<std::string_view> parts;
  if (text.empty()) return parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
}

std::string_view Element(const std::vector<std::string_view>& parts, std::size_t index) {
  if (index >= parts.size()) throw Error::Runtime(RuntimeError::kSubscript);
  return parts[index];
}

}  // namespace

Defines::Defines(Shell& shell) : shell_(shell) {}

void Defines::GetLayoutParam(host::Workbook& wb, std::string_view name, std::int32_t& row,
                             std::int32_t& col) {
  // A missing property fails in the host's lookup, not with the system's own error.
  const std::string text = vb::Concat(wb.CustomDocumentProperties().Item(name).GetValue());
  const std::vector<std::string_view> parts = SplitAtCommas(text);
  row = vb::CInt(Element(parts, 0));
  col = vb::CInt(Element(parts, 1));
  if (row == 0 || col == 0) {
    throw Error(kOwnErrorNumber, kOwnErrorSource,
                "パラメタ'" + std::string(name) + "'が未設定です。\r\n設定を確認して下さい。");
  }
}

void Defines::LoadLayout(host::Workbook& wb) {
  Where::BookScope book(where_, wb.Name());
  for (const LayoutParam& param : kLayoutParams) {
    std::string part = "文書プロパティ " + std::string(param.property);
    part += DocPropertyExists(wb, param.property)
                ? " = \"" + GetDocProperty(wb, param.property) + "\""
                : " (ありません)";
    Where::Scope at(where_, std::move(part));
    LayoutPos& pos = layout_.*(param.pos);
    GetLayoutParam(wb, param.property, pos.row, pos.col);
  }
}

}  // namespace kastel::model
