// Document properties are the workbook's own settings: the layout, the dialect, the connection.
// Every read and write goes through here so that all of them are text.
#include <string>
#include <string_view>

#include "base/vb.h"
#include "model/defines.h"

namespace kastel::model {

bool Defines::DocPropertyExists(host::Workbook& wb, std::string_view name) {
  // Walked by index rather than looked up by name: the host's lookup fails for an absent
  // property, and absence is an answer here, not a failure.
  host::DocumentProperties& props = wb.CustomDocumentProperties();
  const int count = props.Count();
  for (int i = 1; i <= count; ++i) {
    if (props.Item(i).Name() == name) return true;
  }
  return false;
}

std::string Defines::GetDocProperty(host::Workbook& wb, std::string_view name) {
  if (!DocPropertyExists(wb, name)) return "";
  return vb::Concat(wb.CustomDocumentProperties().Item(name).GetValue());
}

void Defines::SetDocProperty(host::Workbook& wb, std::string_view name, std::string_view value) {
  if (DocPropertyExists(wb, name)) {
    wb.CustomDocumentProperties().Item(name).SetValue(Value::Text(std::string(value)));
  } else {
    wb.CustomDocumentProperties().AddText(name, value);
  }
}

}  // namespace kastel::model
