#include "xlsx/workbook_renames.h"

#include <set>
#include <unordered_map>

#include "xlsx/workbook_xml.h"

namespace kastel::xlsx {
namespace {

bool IsNameByte(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         c == '.' || c == '\\' || c == ':' || c >= 0x80;
}

// "Sheet1:Sheet3" names two sheets; a colon cannot stand in a sheet name.
void AddSplit(std::string_view token, std::vector<std::string>& out) {
  while (!token.empty()) {
    auto colon = token.find(':');
    std::string_view one = token.substr(0, colon);
    if (!one.empty()) out.emplace_back(one);
    if (colon == std::string_view::npos) break;
    token.remove_prefix(colon + 1);
  }
}

}  // namespace

void RenameLog::Add(std::string from, std::string to) {
  folded_.emplace_back(FoldCase(from), FoldCase(to));
  log_.emplace_back(std::move(from), std::move(to));
}

std::vector<RenamePair> RenameLog::Follow(std::size_t since,
                                          const std::vector<std::string>& names) const {
  std::vector<std::string> current;
  std::unordered_map<std::string, std::vector<std::size_t>> by_name;  // folded current name
  std::set<std::string> seen;
  for (const auto& n : names) {
    std::string folded = FoldCase(n);
    if (!seen.insert(folded).second) continue;
    by_name[folded].push_back(current.size());
    current.push_back(n);
  }
  const std::vector<std::string> original = current;
  for (std::size_t i = since; i < log_.size() && !by_name.empty(); ++i) {
    auto it = by_name.find(folded_[i].first);
    if (it == by_name.end()) continue;
    std::vector<std::size_t> moved = std::move(it->second);
    by_name.erase(it);
    for (std::size_t k : moved) current[k] = log_[i].second;
    auto& target = by_name[folded_[i].second];
    target.insert(target.end(), moved.begin(), moved.end());
  }
  std::vector<RenamePair> out;
  for (std::size_t k = 0; k < current.size(); ++k) {
    if (current[k] != original[k]) out.emplace_back(original[k], current[k]);
  }
  return out;
}

std::vector<std::string> SheetNamesIn(std::string_view f) {
  std::vector<std::string> out;
  std::size_t token_start = std::string_view::npos;
  for (std::size_t i = 0; i < f.size(); ++i) {
    const char c = f[i];
    if (c == '"') {  // a string literal; "" stands for one quote inside
      for (++i; i < f.size(); ++i) {
        if (f[i] == '"' && (i + 1 >= f.size() || f[i + 1] != '"')) break;
        if (f[i] == '"') ++i;
      }
      token_start = std::string_view::npos;
      continue;
    }
    if (c == '\'') {
      std::string name;
      std::size_t j = i + 1;
      for (; j < f.size(); ++j) {
        if (f[j] == '\'') {
          if (j + 1 < f.size() && f[j + 1] == '\'') {
            name += '\'';
            ++j;
            continue;
          }
          break;
        }
        name += f[j];
      }
      if (j + 1 < f.size() && f[j + 1] == '!' && !name.starts_with('[')) AddSplit(name, out);
      i = j;
      token_start = std::string_view::npos;
      continue;
    }
    if (IsNameByte(static_cast<unsigned char>(c))) {
      if (token_start == std::string_view::npos) token_start = i;
      continue;
    }
    if (c == '!' && token_start != std::string_view::npos &&
        (token_start == 0 || f[token_start - 1] != ']')) {
      AddSplit(f.substr(token_start, i - token_start), out);
    }
    token_start = std::string_view::npos;
  }
  return out;
}

std::vector<std::string> SheetNamesInXml(const pugi::xml_node& root) {
  std::vector<std::string> out;
  struct Walker : pugi::xml_tree_walker {
    std::vector<std::string>* out;
    bool for_each(pugi::xml_node& node) override {
      if (node.type() != pugi::node_element) return true;
      std::string_view local = LocalName(node);
      if (local == "f" || local == "formula" || local == "formula1" || local == "formula2" ||
          local == "definedName") {
        for (auto& n : SheetNamesIn(node.text().get())) out->push_back(std::move(n));
      } else if (local == "hyperlink") {
        for (auto& n : SheetNamesIn(node.attribute("location").value())) {
          out->push_back(std::move(n));
        }
      }
      return true;
    }
  } walker;
  walker.out = &out;
  pugi::xml_node(root).traverse(walker);
  return out;
}

void ApplyRenames(const std::vector<RenamePair>& renames, const std::vector<std::string>& present,
                  const std::function<void(std::string_view, std::string_view)>& rename) {
  std::set<std::string> old_names;
  for (const auto& [from, to] : renames) old_names.insert(FoldCase(from));
  bool chained = false;
  for (const auto& [from, to] : renames) chained = chained || old_names.count(FoldCase(to)) > 0;
  if (!chained) {
    for (const auto& [from, to] : renames) rename(from, to);
    return;
  }
  std::set<std::string> taken;
  for (const auto& n : present) taken.insert(FoldCase(n));
  for (const auto& [from, to] : renames) taken.insert(FoldCase(to));
  std::vector<std::string> temps;
  int serial = 0;
  for (std::size_t i = 0; i < renames.size(); ++i) {
    std::string temp;
    do {
      temp = "~kastel rename " + std::to_string(++serial) + "~";
    } while (taken.count(FoldCase(temp)) > 0);
    temps.push_back(temp);
    rename(renames[i].first, temp);
  }
  for (std::size_t i = 0; i < renames.size(); ++i) rename(temps[i], renames[i].second);
}

}  // namespace kastel::xlsx
