#include "xlsx/styles.h"

#include <cstdlib>
#include <map>
#include <string_view>
#include <utility>

#include "xlsx/sheet_data_xml.h"

namespace kastel::xlsx {
namespace {

// The number format every new date cell gets: built-in 14, shown by each reader in its
// locale's short date form.
constexpr unsigned kShortDateFormat = 14;

// Built-in formats that show dates or times: 14-22 and 45-47 everywhere, 27-36 and 50-58 in
// the East Asian locales (Japanese era and 年月日 forms), which Japanese files use without
// declaring them.
bool IsBuiltInDate(unsigned id) {
  return (id >= 14 && id <= 22) || (id >= 45 && id <= 47) || (id >= 27 && id <= 36) ||
         (id >= 50 && id <= 58);
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view s, std::size_t i, std::string_view word) {
  if (s.size() - i < word.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k) {
    if (Lower(s[i + k]) != word[k]) return false;
  }
  return true;
}

// True when a format code shows a date or a time: a date or time letter outside quoted text,
// escapes and [...] (where only the elapsed-time forms [h], [mm], [ss] count).
bool IsDateCode(std::string_view code) {
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char c = Lower(code[i]);
    if (c == '"') {
      const std::size_t close = code.find('"', i + 1);
      if (close == std::string_view::npos) return false;
      i = close;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++i;  // the next character is literal, padding or fill
    } else if (c == '[') {
      const std::size_t close = code.find(']', i + 1);
      if (close == std::string_view::npos) return false;
      const std::string_view inside = code.substr(i + 1, close - i - 1);
      if (!inside.empty() && inside.find_first_not_of("hHmMsS") == std::string_view::npos) {
        return true;
      }
      i = close;
    } else if (StartsWithNoCase(code, i, "general")) {
      i += 6;
    } else if (c == 'e') {
      // "e" is the era year, unless it is the exponent of a scientific format.
      if (i + 1 >= code.size() || (code[i + 1] != '+' && code[i + 1] != '-')) return true;
    } else if (c == 'y' || c == 'm' || c == 'd' || c == 'h' || c == 's' || c == 'g') {
      return true;
    }
  }
  return false;
}

unsigned ToUnsigned(const char* text) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 10);
  return end != text && value <= 0xFFFFFFFFul ? static_cast<unsigned>(value) : 0u;
}

struct StringWriter : pugi::xml_writer {
  std::string out;
  void write(const void* data, std::size_t size) override {
    out.append(static_cast<const char*>(data), size);
  }
};

std::string Serialize(pugi::xml_node node) {
  StringWriter writer;
  node.print(writer, "", pugi::format_raw);
  return writer.out;
}

}  // namespace

Styles::Styles(Package& package, std::string part) : package_(package), part_(std::move(part)) {}

bool Styles::IsDate(unsigned xf) {
  if (!loaded_) Load();
  return xf < is_date_.size() && is_date_[xf];
}

void Styles::Load() {
  is_date_.clear();
  if (!part_.empty()) {
    pugi::xml_node root = package_.Xml(part_).document_element();
    std::map<unsigned, bool> custom;
    for (pugi::xml_node fmt : ChildNamed(root, "numFmts").children()) {
      if (LocalName(fmt) != "numFmt") continue;
      custom[ToUnsigned(fmt.attribute("numFmtId").value())] =
          IsDateCode(fmt.attribute("formatCode").value());
    }
    for (pugi::xml_node xf : ChildNamed(root, "cellXfs").children()) {
      if (LocalName(xf) != "xf") continue;
      const unsigned id = ToUnsigned(xf.attribute("numFmtId").value());
      auto it = custom.find(id);
      is_date_.push_back(it != custom.end() ? it->second : IsBuiltInDate(id));
    }
  }
  loaded_ = true;
}

unsigned Styles::DateFormatLike(unsigned xf) {
  if (IsDate(xf) || part_.empty()) return xf;
  pugi::xml_node root = package_.Xml(part_).document_element();
  pugi::xml_node cell_xfs = ChildNamed(root, "cellXfs");
  if (!cell_xfs) return xf;

  std::vector<pugi::xml_node> xfs;
  for (pugi::xml_node node : cell_xfs.children()) {
    if (LocalName(node) == "xf") xfs.push_back(node);
  }
  pugi::xml_document scratch;
  pugi::xml_node wanted;
  if (xf < xfs.size()) {
    wanted = scratch.append_copy(xfs[xf]);
  } else if (!xfs.empty()) {
    wanted = scratch.append_copy(xfs[0]);  // a cell whose s is out of range shows as format 0
  } else {
    wanted = scratch.append_child((PrefixOf(cell_xfs) + "xf").c_str());
  }
  const std::string date_id = std::to_string(kShortDateFormat);
  for (const char* name : {"numFmtId", "applyNumberFormat"}) {
    if (!wanted.attribute(name)) wanted.append_attribute(name);
  }
  wanted.attribute("numFmtId").set_value(date_id.c_str());
  wanted.attribute("applyNumberFormat").set_value("1");

  const std::string text = Serialize(wanted);
  for (std::size_t i = 0; i < xfs.size(); ++i) {
    if (Serialize(xfs[i]) == text) return static_cast<unsigned>(i);
  }
  // Excel counts positions among the <xf> children only; keep the DOM and our table in step.
  if (!xfs.empty()) {
    cell_xfs.insert_copy_after(wanted, xfs.back());
  } else {
    cell_xfs.append_copy(wanted);
  }
  if (!cell_xfs.attribute("count")) cell_xfs.append_attribute("count");
  cell_xfs.attribute("count").set_value(static_cast<unsigned>(xfs.size() + 1));
  package_.MarkModified(part_);
  is_date_.resize(xfs.size(), false);
  is_date_.push_back(true);
  return static_cast<unsigned>(xfs.size());
}

}  // namespace kastel::xlsx
