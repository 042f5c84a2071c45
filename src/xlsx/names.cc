#include "xlsx/names.h"

#include <fmt/format.h>

#include "base/error.h"
#include "xlsx/a1.h"
#include "xlsx/formula.h"
#include "xlsx/workbook_xml.h"

namespace kastel::xlsx {
namespace {

constexpr const char* kPrintArea = "_xlnm.Print_Area";

// CT_Workbook's sequence.
const std::initializer_list<std::string_view> kWorkbookOrder = {
    "fileVersion",    "fileSharing",
    "workbookPr",     "workbookProtection",
    "bookViews",      "sheets",
    "functionGroups", "externalReferences",
    "definedNames",   "calcPr",
    "oleSize",        "customWorkbookViews",
    "pivotCaches",    "smartTagPr",
    "smartTagTypes",  "webPublishing",
    "fileRecoveryPr", "webPublishObjects",
    "extLst"};

bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// "A1", "XFD1048576", "R1C1", "R", "C", "R5", "C3": what a name must not look like.
bool LooksLikeReference(std::string_view name) {
  if (ParseCell(name)) return true;
  std::string up = FoldCase(name);
  if (up == "R" || up == "C") return true;
  std::size_t i = 0;
  auto digits = [&] {
    std::size_t start = i;
    while (i < up.size() && IsDigit(static_cast<unsigned char>(up[i]))) ++i;
    return i > start;
  };
  if (i < up.size() && up[i] == 'R') {
    ++i;
    digits();
    if (i == up.size()) return true;
  }
  if (i < up.size() && up[i] == 'C') {
    ++i;
    digits();
    return i == up.size();
  }
  return false;
}

std::string Unqualified(std::string_view text) {
  // "'1'!$A$1:$B$2,'1'!$D$1" -> "$A$1:$B$2,$D$1"
  std::string out;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = std::string_view::npos;
    bool quoted = false;
    for (std::size_t i = start; i < text.size(); ++i) {
      if (text[i] == '\'') quoted = !quoted;
      if (text[i] == ',' && !quoted) {
        comma = i;
        break;
      }
    }
    std::string_view piece =
        text.substr(start, comma == std::string_view::npos ? text.npos : comma - start);
    if (auto split = SplitSheetRef(piece)) {
      out += split->second;
    } else {
      out += piece;
    }
    if (comma == std::string_view::npos) break;
    out += ',';
    start = comma + 1;
  }
  return out;
}

std::string AbsoluteRange(const RangeRef& r) {
  auto cell = [](const CellRef& c) { return fmt::format("${}${}", ColumnName(c.column), c.row); };
  if (r.first == r.last) return cell(r.first);
  return cell(r.first) + ":" + cell(r.last);
}

}  // namespace

bool IsValidDefinedName(std::string_view name) {
  if (name.empty() || name.size() > 255) return false;
  const auto first = static_cast<unsigned char>(name[0]);
  if (!(IsLetter(first) || first == '_' || first == '\\' || first >= 0x80)) return false;
  for (char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (!(IsLetter(c) || IsDigit(c) || c == '_' || c == '.' || c == '\\' || c == '?' ||
          c >= 0x80)) {
      return false;
    }
  }
  const std::string up = FoldCase(name);
  return up != "TRUE" && up != "FALSE" && !LooksLikeReference(name);
}

XlsxNames::XlsxNames(pugi::xml_node workbook, const RenameLog& renames,
                     std::function<void()> modified, std::function<std::string()> active_sheet)
    : workbook_(workbook),
      renames_(renames),
      modified_(std::move(modified)),
      active_sheet_(std::move(active_sheet)) {}

pugi::xml_node XlsxNames::DefinedNames(bool create) const {
  if (!create) return Child(workbook_, "definedNames");
  return ChildInOrder(workbook_, "definedNames", kWorkbookOrder);
}

void XlsxNames::CatchUp() const {
  if (applied_ == renames_.size()) return;
  const std::size_t since = applied_;
  applied_ = renames_.size();
  pugi::xml_node names = DefinedNames(false);
  if (!names) return;
  // There is a print area per sheet and, between two uses, one or two renames: each rename is
  // applied in turn, in the order they happened, and a name's text is only parsed when it can
  // mention the old sheet name at all (case folded, apostrophes doubled as quoted).
  bool changed = false;
  for (std::size_t i = since; i < applied_; ++i) {
    const auto& [from, to] = renames_[i];
    std::string needle;
    for (char c : from) needle += c == '\'' ? std::string("''") : std::string(1, c);
    needle = FoldCase(needle);
    for (pugi::xml_node n : Children(names, "definedName")) {
      const std::string text = n.text().get();
      if (FoldCase(text).find(needle) == std::string::npos) continue;
      std::string renamed = RenameSheetInFormula(text, from, to);
      if (renamed == text) continue;
      n.text().set(renamed.c_str());
      changed = true;
    }
  }
  if (changed) modified_();
}

pugi::xml_node XlsxNames::Find(std::string_view name, std::optional<int> sheet) const {
  for (pugi::xml_node n : Children(DefinedNames(false), "definedName")) {
    pugi::xml_attribute local = n.attribute("localSheetId");
    if (sheet ? (local && local.as_int() == *sheet) : !local) {
      if (SameName(n.attribute("name").value(), name)) return n;
    }
  }
  return {};
}

void XlsxNames::Add(std::string_view name, std::optional<int> sheet, const std::string& text) {
  pugi::xml_node node = Find(name, sheet);
  if (!node) {
    pugi::xml_node names = DefinedNames(true);
    node = names.append_child(QualifiedLike(names, "definedName").c_str());
    node.append_attribute("name");
    if (sheet) node.append_attribute("localSheetId") = *sheet;
  }
  node.attribute("name").set_value(std::string(name).c_str());
  node.text().set(text.c_str());
  modified_();
}

void XlsxNames::Delete(std::string_view name) {
  CatchUp();
  pugi::xml_node node = Find(name, std::nullopt);
  if (!node) throw Error::Runtime(RuntimeError::kSubscript);
  pugi::xml_node names = node.parent();
  names.remove_child(node);
  if (!Child(names, "definedName")) workbook_.remove_child(names);
  modified_();
}

void XlsxNames::AddR1C1(std::string_view name, std::string_view refers_to_r1c1) {
  CatchUp();
  if (!IsValidDefinedName(name)) {
    throw Error::Host(fmt::format("名前'{}'は正しくありません。", name));
  }
  std::string_view ref = refers_to_r1c1;
  if (ref.starts_with('=')) ref.remove_prefix(1);
  std::string sheet;
  std::string cells(ref);
  if (auto split = SplitSheetRef(ref)) {
    sheet = split->first;
    cells = split->second;
  } else {
    sheet = active_sheet_();
  }
  std::optional<std::string> a1 = R1C1ToA1(cells, true);
  if (!a1 || sheet.empty()) {
    throw Error::Host(
        fmt::format("名前'{}'の参照範囲'{}'は正しくありません。", name, refers_to_r1c1));
  }
  Add(name, std::nullopt, QuoteSheetName(sheet) + "!" + *a1);
}

std::optional<std::string> XlsxNames::RefersTo(std::string_view name) const {
  CatchUp();
  pugi::xml_node node = Find(name, std::nullopt);
  if (!node) return std::nullopt;
  return "=" + std::string(node.text().get());
}

std::string XlsxNames::PrintArea(int sheet) const {
  CatchUp();
  pugi::xml_node node = Find(kPrintArea, sheet);
  return node ? Unqualified(node.text().get()) : std::string();
}

void XlsxNames::SetPrintArea(int sheet, std::string_view sheet_name, std::string_view a1_range) {
  CatchUp();
  if (a1_range.empty()) {
    if (pugi::xml_node node = Find(kPrintArea, sheet)) {
      pugi::xml_node names = node.parent();
      names.remove_child(node);
      if (!Child(names, "definedName")) workbook_.remove_child(names);
      modified_();
    }
    return;
  }
  std::string text;
  std::string_view rest = a1_range;
  while (true) {
    auto comma = rest.find(',');
    std::optional<RangeRef> range = ParseRange(rest.substr(0, comma));
    if (!range) {
      throw Error::Host(fmt::format("印刷範囲'{}'は正しくありません。", a1_range));
    }
    if (!text.empty()) text += ',';
    text += QuoteSheetName(sheet_name) + "!" + AbsoluteRange(*range);
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  Add(kPrintArea, sheet, text);
}

void XlsxNames::SheetInserted(int at) {
  for (pugi::xml_node n : Children(DefinedNames(false), "definedName")) {
    pugi::xml_attribute local = n.attribute("localSheetId");
    if (local && local.as_int() >= at) local.set_value(local.as_int() + 1);
  }
  modified_();
}

void XlsxNames::CopyLocalNames(int from, int to, std::string_view from_name,
                               std::string_view to_name) {
  CatchUp();
  pugi::xml_node names = DefinedNames(false);
  for (pugi::xml_node n : Children(names, "definedName")) {
    pugi::xml_attribute local = n.attribute("localSheetId");
    if (!local || local.as_int() != from) continue;
    pugi::xml_node copy = names.insert_copy_after(n, n);
    copy.attribute("localSheetId").set_value(to);
    copy.text().set(RenameSheetInFormula(n.text().get(), from_name, to_name).c_str());
  }
  modified_();
}

}  // namespace kastel::xlsx
