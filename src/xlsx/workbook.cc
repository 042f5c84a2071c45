#include "xlsx/workbook.h"

#include <algorithm>

#include <fmt/format.h>

#include "base/error.h"
#include "xlsx/part_name.h"
#include "xlsx/workbook_xml.h"
#include "xlsx/worksheet.h"

namespace kastel::xlsx {
namespace {

// Sheets that were only read and stay parsed; more are released, least recently used first.
constexpr std::size_t kParsedSheetsKept = 4;

constexpr std::string_view kWorksheetContentType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";

const std::initializer_list<std::string_view> kWorkbookOrder = {
    "fileVersion", "fileSharing", "workbookPr", "workbookProtection", "bookViews", "sheets"};

bool IsTrue(pugi::xml_attribute a) {
  std::string_view v = a.value();
  return v == "1" || v == "true";
}

}  // namespace

XlsxWorkbook::XlsxWorkbook(host::Application& app, std::unique_ptr<Package> package,
                           std::string name)
    : app_(app), package_(std::move(package)), name_(std::move(name)) {
  for (const auto& rel : package_->Relationships("")) {
    if (IsRelType(rel.type, "officeDocument") && !rel.target_part.empty()) {
      workbook_part_ = rel.target_part;
      break;
    }
  }
  if (workbook_part_.empty() || !package_->Has(workbook_part_)) {
    throw Error(kFileFormatError, "KASTEL",
                fmt::format("ファイル'{}'にはブックが含まれていません。", package_->path()));
  }
  root_ = package_->Xml(workbook_part_).document_element();
  // The workbook keeps nodes of this part for its whole life.
  package_->Pin(workbook_part_);
  if (LocalName(root_) != "workbook" || !Child(root_, "sheets")) {
    throw Error(kFileFormatError, "KASTEL",
                fmt::format("ファイル'{}'のブックを読み取れません。", package_->path()));
  }
  date1904_ = IsTrue(Child(root_, "workbookPr").attribute("date1904"));
  // Read once: a workbook of a thousand sheets has as many relationships, each resolved.
  const std::vector<Relationship> rels = package_->Relationships(workbook_part_);
  strings_ = std::make_unique<SharedStrings>(*package_, FindRelated(rels, "sharedStrings"));
  styles_ = std::make_unique<Styles>(*package_, FindRelated(rels, "styles"));
  names_ = std::make_unique<XlsxNames>(
      root_, renames_, [this] { MarkWorkbookModified(); }, [this] { return ActiveSheet().Name(); });
  doc_props_ = std::make_unique<XlsxDocumentProperties>(*package_);
  LoadSheets(rels);
  read_ahead_ = std::make_unique<SheetReadAhead>(
      *package_, [this](std::string_view part) { return PartAfter(part); });
  if (const std::size_t first = ShownFrom(0); first < worksheets_.size()) {
    read_ahead_->StartAt(worksheets_[first]->part());
  }
}

XlsxWorkbook::~XlsxWorkbook() = default;

std::string XlsxWorkbook::FindRelated(const std::vector<Relationship>& rels,
                                      std::string_view kind) {
  for (const auto& rel : rels) {
    if (IsRelType(rel.type, kind) && !rel.target_part.empty() && package_->Has(rel.target_part)) {
      return rel.target_part;
    }
  }
  return "";
}

void XlsxWorkbook::LoadSheets(const std::vector<Relationship>& rels) {
  // Which sheet (or, as "", which other part of the workbook) has claimed each part: a part
  // read as two things at once would be changed and released under the other's feet.
  std::unordered_map<std::string, std::string> claimed;
  claimed.emplace(part_name::Fold(workbook_part_), "");
  for (const Relationship& rel : rels) {
    if (!rel.target_part.empty() && !IsRelType(rel.type, "worksheet")) {
      claimed.emplace(part_name::Fold(rel.target_part), "");
    }
  }
  // Looked up once per sheet: a search of the list each time was quadratic in the sheets.
  std::unordered_map<std::string_view, const Relationship*> by_id;
  by_id.reserve(rels.size());
  for (const Relationship& rel : rels) by_id.emplace(rel.id, &rel);  // the first of an id holds
  for (pugi::xml_node entry : Children(Child(root_, "sheets"), "sheet")) {
    const auto found = by_id.find(RelIdAttribute(entry).value());
    const Relationship* rel = found == by_id.end() ? nullptr : found->second;
    Tab tab{entry, nullptr};
    if (rel && IsRelType(rel->type, "worksheet")) {
      const std::string name = entry.attribute("name").value();
      if (rel->target_part.empty() || !package_->Has(rel->target_part)) {
        throw Error(kFileFormatError, "KASTEL",
                    fmt::format("ファイル'{}'のシート'{}'の内容が見つかりません。",
                                package_->path(), name));
      }
      if (package_->ContentType(rel->target_part) != kWorksheetContentType) {
        throw Error(
            kFileFormatError, "KASTEL",
            fmt::format("ファイル'{}'のシート'{}'の内容 ({}) はワークシートではありません。",
                        package_->path(), name, rel->target_part));
      }
      auto [it, fresh] = claimed.emplace(part_name::Fold(rel->target_part), name);
      if (!fresh) {
        throw Error(
            kFileFormatError, "KASTEL",
            fmt::format("ファイル'{}'のシート'{}'の内容 ({}) は{}と共有されています。",
                        package_->path(), name, rel->target_part,
                        it->second.empty() ? "ブックの別の部分" : "シート'" + it->second + "'"));
      }
      tab.sheet = std::make_unique<XlsxWorksheet>(*this, entry, rel->target_part, 0);
    }
    by_name_.emplace(FoldCase(entry.attribute("name").value()), tab.sheet.get());
    tabs_.push_back(std::move(tab));
  }
  RebuildWorksheetList();
  if (worksheets_.empty()) {
    throw Error(kFileFormatError, "KASTEL",
                fmt::format("ファイル'{}'にはワークシートがありません。", package_->path()));
  }
}

void XlsxWorkbook::RebuildWorksheetList() {
  worksheets_.clear();
  for (auto& t : tabs_) {
    if (t.sheet) worksheets_.push_back(t.sheet.get());
  }
}

std::string XlsxWorkbook::Name() const { return name_; }

int XlsxWorkbook::WorksheetCount() const { return static_cast<int>(worksheets_.size()); }

host::Worksheet& XlsxWorkbook::Worksheets(int index) {
  if (index < 1 || index > WorksheetCount()) throw Error::Runtime(RuntimeError::kSubscript);
  return *worksheets_[static_cast<std::size_t>(index - 1)];
}

host::Worksheet& XlsxWorkbook::Worksheets(std::string_view name) {
  if (XlsxWorksheet* sheet = FindSheet(name)) return *sheet;
  throw Error::Runtime(RuntimeError::kSubscript);
}

XlsxWorksheet* XlsxWorkbook::FindSheet(std::string_view name) const {
  auto it = by_name_.find(FoldCase(name));
  return it == by_name_.end() ? nullptr : it->second;
}

bool XlsxWorkbook::NameTaken(std::string_view name, const XlsxWorksheet* except) const {
  auto it = by_name_.find(FoldCase(name));
  return it != by_name_.end() && !(except && it->second == except);
}

void XlsxWorkbook::SheetRenamed(XlsxWorksheet& sheet, const std::string& from,
                                const std::string& to) {
  auto it = by_name_.find(FoldCase(from));
  if (it != by_name_.end() && it->second == &sheet) by_name_.erase(it);
  by_name_[FoldCase(to)] = &sheet;
  renames_.Add(from, to);
  sheet_list_changed_ = true;
  MarkWorkbookModified();
}

host::Worksheet& XlsxWorkbook::ActiveSheet() {
  const int tab = ActiveTab();
  if (auto& sheet = tabs_[static_cast<std::size_t>(tab)].sheet) return *sheet;
  return *worksheets_.front();
}

host::DocumentProperties& XlsxWorkbook::CustomDocumentProperties() { return *doc_props_; }
host::Names& XlsxWorkbook::WorkbookNames() { return *names_; }
host::Application& XlsxWorkbook::App() { return app_; }

int XlsxWorkbook::TabOf(const XlsxWorksheet& sheet) const {
  for (std::size_t i = 0; i < tabs_.size(); ++i) {
    if (tabs_[i].sheet.get() == &sheet) return static_cast<int>(i);
  }
  throw Error::Runtime(RuntimeError::kSubscript);
}

int XlsxWorkbook::VisibleSheetCount() const {
  int n = 0;
  for (const auto& t : tabs_) {
    if (!t.entry.attribute("state"))
      ++n;
    else if (std::string_view(t.entry.attribute("state").value()) == "visible")
      ++n;
  }
  return n;
}

pugi::xml_node XlsxWorkbook::WorkbookView(bool create) {
  pugi::xml_node views = Child(root_, "bookViews");
  if (!views && !create) return {};
  if (!views) views = ChildInOrder(root_, "bookViews", kWorkbookOrder);
  pugi::xml_node view = Child(views, "workbookView");
  if (!view && create) view = views.append_child(QualifiedLike(views, "workbookView").c_str());
  return view;
}

int XlsxWorkbook::ActiveTab() const {
  pugi::xml_node view = Child(Child(root_, "bookViews"), "workbookView");
  const int tab = view.attribute("activeTab").as_int(0);
  return tab >= 0 && tab < static_cast<int>(tabs_.size()) ? tab : 0;
}

void XlsxWorkbook::SetActiveTab(int tab) {
  const int old = ActiveTab();
  if (auto& sheet = tabs_[static_cast<std::size_t>(old)].sheet) sheet->SetTabSelected(false);
  if (auto& sheet = tabs_[static_cast<std::size_t>(tab)].sheet) sheet->SetTabSelected(true);
  pugi::xml_node view = WorkbookView(true);
  pugi::xml_attribute active = view.attribute("activeTab");
  if (!active) active = view.append_attribute("activeTab");
  active.set_value(tab);
  // The first tab shown must not be a hidden one.
  pugi::xml_attribute first = view.attribute("firstSheet");
  if (first && first.as_int() > tab) first.set_value(tab);
  MarkWorkbookModified();
}

void XlsxWorkbook::MoveFirstTabOff(int tab) {
  pugi::xml_attribute first = WorkbookView(false).attribute("firstSheet");
  if (!first || first.as_int() != tab) return;
  first.set_value(std::min(NeighbourVisibleTab(tab), ActiveTab()));
  MarkWorkbookModified();
}

int XlsxWorkbook::NeighbourVisibleTab(int tab) const {
  auto visible = [&](std::size_t i) {
    pugi::xml_attribute state = tabs_[i].entry.attribute("state");
    return tabs_[i].sheet && (!state || std::string_view(state.value()) == "visible");
  };
  for (std::size_t i = static_cast<std::size_t>(tab) + 1; i < tabs_.size(); ++i) {
    if (visible(i)) return static_cast<int>(i);
  }
  for (std::size_t i = static_cast<std::size_t>(tab); i-- > 0;) {
    if (visible(i)) return static_cast<int>(i);
  }
  return tab;
}

void XlsxWorkbook::Promote(XlsxWorksheet& sheet) {
  auto it = std::find(recent_.begin(), recent_.end(), &sheet);
  if (it != recent_.end()) recent_.erase(it);
  recent_.push_front(&sheet);
  while (recent_.size() > kParsedSheetsKept) {
    recent_.back()->ReleaseParsed();
    recent_.pop_back();
  }
}

std::string XlsxWorkbook::PartAfter(std::string_view part) {
  // Sheets are mostly read in tab order: the one after the last answer comes first.
  const std::size_t count = worksheets_.size();
  for (std::size_t step = 0; step < count; ++step) {
    std::size_t i = (part_after_hint_ + step) % count;
    if (worksheets_[i]->part() != part) continue;
    i = ShownFrom(i + 1);
    part_after_hint_ = i;
    return i < count ? worksheets_[i]->part() : std::string();
  }
  return std::string();
}

std::size_t XlsxWorkbook::ShownFrom(std::size_t i) const {
  // Hidden sheets are passed over: the walks that read every sheet skip them unread, and a
  // hidden template can be the largest sheet of all.
  while (i < worksheets_.size() && worksheets_[i]->Visible() != host::Visibility::kVisible) ++i;
  return i;
}

bool XlsxWorkbook::IsRecent(const XlsxWorksheet& sheet) const {
  return std::find(recent_.begin(), recent_.end(), &sheet) != recent_.end();
}

}  // namespace kastel::xlsx
