// Copying a worksheet inside its workbook: a new part with its own relationships, drawings,
// comments and tables; a new <sheet> entry; sheet-local names duplicated; tab positions moved.
#include <algorithm>
#include <map>
#include <regex>
#include <set>

#include <fmt/format.h>

#include "base/error.h"
#include "xlsx/workbook.h"
#include "xlsx/workbook_xml.h"
#include "xlsx/worksheet.h"
#include "xlsx/worksheet_name.h"

namespace kastel::xlsx {
namespace {

constexpr const char* kWorksheetType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
constexpr const char* kTableType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.table+xml";

// Relationship kinds whose targets belong to one sheet and are duplicated with it. Anything
// else (pictures, external links) is shared by the copy.
bool BelongsToSheet(std::string_view type) {
  for (std::string_view kind :
       {"drawing", "chart", "chartUserShapes", "comments", "vmlDrawing", "table", "printerSettings",
        "chartStyle", "chartColorStyle", "ctrlProp"}) {
    if (IsRelType(type, kind)) return true;
  }
  return false;
}

// Parts that cannot be copied faithfully yet: refusing is better than a damaged file.
const char* RefusedKind(std::string_view type) {
  if (IsRelType(type, "threadedComment")) return "スレッド形式のコメント";
  if (IsRelType(type, "pivotTable")) return "ピボットテーブル";
  if (IsRelType(type, "slicer")) return "スライサー";
  return nullptr;
}

// "sheet12.xml" -> "sheet", ".xml"
std::pair<std::string, std::string> StemAndExtension(std::string_view file) {
  auto dot = file.rfind('.');
  std::string_view ext = dot == std::string_view::npos ? std::string_view() : file.substr(dot);
  std::string_view stem = file.substr(0, file.size() - ext.size());
  while (!stem.empty() && stem.back() >= '0' && stem.back() <= '9') stem.remove_suffix(1);
  return {std::string(stem), std::string(ext)};
}

class PartCopier {
 public:
  // `next_number` is the workbook's memory of the numbers already handed out.
  PartCopier(Package& package, std::map<std::string, int>& next_number)
      : package_(package), next_number_(next_number) {}

  // A free part name in the folder of `like`, shaped like it ("xl/worksheets/sheet7.xml").
  std::string FreeName(std::string_view like) {
    auto [stem, ext] = StemAndExtension(FileOf(like));
    int& next = next_number_[FolderOf(like) + stem + ext];
    for (int n = std::max(next, 1);; ++n) {
      std::string name = FolderOf(like) + stem + std::to_string(n) + ext;
      if (!package_.Has(name) && !taken_.count(FoldCase(name))) {
        taken_.insert(FoldCase(name));
        next = n + 1;
        return name;
      }
    }
  }

  // Writes the relationships of `copy` from those of `source`, duplicating what belongs to
  // the sheet. Ids stay the same, so the copied XML needs no change.
  void CopyRelationships(const std::string& source, const std::string& copy) {
    const std::string rels = Package::RelsPartOf(source);
    if (!package_.Has(rels)) return;
    std::vector<Relationship> list = package_.Relationships(source);
    pugi::xml_document doc;
    ParseXml(package_.Read(rels), rels, doc);
    for (pugi::xml_node r : Children(doc.document_element(), "Relationship")) {
      std::string_view id = r.attribute("Id").value();
      auto it = std::find_if(list.begin(), list.end(), [&](const auto& x) { return x.id == id; });
      if (it == list.end() || it->external || it->target_part.empty()) continue;
      if (!BelongsToSheet(it->type) || !package_.Has(it->target_part)) continue;
      const std::string dup = Duplicate(it->target_part);
      std::string target = r.attribute("Target").value();
      auto slash = target.rfind('/');
      target =
          (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + FileOf(dup);
      r.attribute("Target").set_value(target.c_str());
    }
    package_.Write(Package::RelsPartOf(copy), SerializeXml(doc));
  }

  // A copy of `part` (and of what belongs to it) under a new name; the name of the copy.
  std::string Duplicate(const std::string& part) {
    if (auto done = copies_.find(FoldCase(part)); done != copies_.end()) return done->second;
    const std::string copy = FreeName(part);
    copies_[FoldCase(part)] = copy;
    std::string bytes = package_.Read(part);
    const std::string type = package_.ContentType(part);
    if (IsVml(part)) bytes = RenumberVml(bytes);
    package_.Write(copy, std::move(bytes));
    if (!type.empty()) package_.SetOverride(copy, type);
    if (type == kTableType) RenameTable(copy);
    CopyRelationships(part, copy);
    return copy;
  }

 private:
  bool IsVml(const std::string& part) {
    return package_.ContentType(part).find("vmlDrawing") != std::string::npos;
  }

  // Every VML part needs its own shape-id block: o:idmap data="n" owns ids n*1024...n*1024+1023.
  std::string RenumberVml(const std::string& vml) {
    if (next_vml_block_ == 0) {
      int highest = 0;
      static const std::regex idmap(R"re(<[A-Za-z0-9_]*:?idmap[^>]*data\s*=\s*"([0-9, ]+)")re");
      for (const auto& name : package_.PartNames()) {
        if (!IsVml(name)) continue;
        std::string text = package_.Read(name);
        for (std::sregex_iterator m(text.begin(), text.end(), idmap), end; m != end; ++m) {
          std::string list = (*m)[1];
          for (std::size_t i = 0; i < list.size();) {
            std::size_t j = list.find(',', i);
            highest = std::max(highest, std::atoi(list.substr(i, j - i).c_str()));
            if (j == std::string::npos) break;
            i = j + 1;
          }
        }
      }
      next_vml_block_ = highest + 1;
    }
    const int block = next_vml_block_++;
    static const std::regex idmap_tag(R"re((<[A-Za-z0-9_]*:?idmap[^>]*data\s*=\s*")[0-9, ]+("))re");
    std::string out = std::regex_replace(vml, idmap_tag, "$01" + std::to_string(block) + "$2");
    static const std::regex shape_id(R"re(_x0000_s([0-9]+))re");
    std::string result;
    auto last = out.cbegin();
    for (std::sregex_iterator m(out.begin(), out.end(), shape_id), end; m != end; ++m) {
      result.append(last, (*m)[0].first);
      const long old_id = std::atol((*m)[1].str().c_str());
      result += "_x0000_s" + std::to_string(block * 1024L + old_id % 1024);
      last = (*m)[0].second;
    }
    result.append(last, out.cend());
    return result;
  }

  // Table ids and names are unique across the workbook.
  void RenameTable(const std::string& copy) {
    long highest_id = 0;
    std::vector<std::string> names;
    for (const auto& name : package_.PartNames()) {
      if (name == copy || package_.ContentType(name) != kTableType) continue;
      pugi::xml_node t = package_.Xml(name).document_element();
      highest_id = std::max(highest_id, static_cast<long>(t.attribute("id").as_llong()));
      names.push_back(FoldCase(t.attribute("name").value()));
      names.push_back(FoldCase(t.attribute("displayName").value()));
    }
    pugi::xml_node table = package_.Xml(copy).document_element();
    table.attribute("id").set_value(highest_id + 1);
    const std::string base = table.attribute("displayName").value();
    std::string fresh;
    for (int n = 2;; ++n) {
      fresh = base + "_" + std::to_string(n);
      if (std::find(names.begin(), names.end(), FoldCase(fresh)) == names.end()) break;
    }
    table.attribute("name").set_value(fresh.c_str());
    table.attribute("displayName").set_value(fresh.c_str());
    package_.MarkModified(copy);
  }

  Package& package_;
  std::map<std::string, int>& next_number_;
  std::map<std::string, std::string> copies_;  // folded source part -> its copy
  std::set<std::string> taken_;
  int next_vml_block_ = 0;
};

// The worksheet part of a copy: the source's current XML with its own relationships, without
// the marks that belong to one sheet only (selection, code name).
std::string CopyWorksheetPart(Package& package, const std::string& source,
                              std::map<std::string, int>& next_number) {
  PartCopier copier(package, next_number);
  const std::string part = copier.FreeName(source);
  package.Write(part, package.Read(source));
  const std::string type = package.ContentType(source);
  package.SetOverride(part, type.empty() ? kWorksheetType : type);
  copier.CopyRelationships(source, part);
  pugi::xml_node root = package.Xml(part).document_element();
  if (pugi::xml_node pr = Child(root, "sheetPr")) pr.remove_attribute("codeName");
  for (pugi::xml_node view : Children(Child(root, "sheetViews"), "sheetView")) {
    view.remove_attribute("tabSelected");
  }
  package.MarkModified(part);
  return part;
}

}  // namespace

XlsxWorksheet& XlsxWorkbook::CopySheet(XlsxWorksheet& source, XlsxWorksheet& before) {
  // Everything that can refuse the copy is checked before anything changes.
  for (const auto& rel : package_->Relationships(source.part())) {
    if (const char* kind = RefusedKind(rel.type)) {
      throw Error::Host(
          fmt::format("シート'{}'には{}があるため、コピーできません。", source.Name(), kind));
    }
  }
  long highest_id = 0;
  for (const auto& t : tabs_) {
    highest_id = std::max(highest_id, static_cast<long>(t.entry.attribute("sheetId").as_llong()));
  }
  if (highest_id >= 65534) throw Error::Host("これ以上シートを追加できません。");
  std::optional<Relationship> source_rel =
      package_->RelationshipById(workbook_part_, RelIdAttribute(source.entry()).value());
  const std::string source_type = source_rel ? source_rel->type : std::string();
  // The copy starts from the source as it stands now, references included.
  source.CatchUpRenames();
  const std::string copy_name =
      CopyName(source.Name(), [&](std::string_view n) { return NameTaken(n); });
  const std::string part = CopyWorksheetPart(*package_, source.part(), next_part_number_);
  const std::string rid = package_->AddRelationship(workbook_part_, source_type, part);

  // The new <sheet> entry, just before `before`; positions from there on move up one.
  const int at = TabOf(before);
  pugi::xml_node entry = before.entry().parent().insert_copy_before(source.entry(), before.entry());
  entry.attribute("name").set_value(copy_name.c_str());
  entry.attribute("sheetId").set_value(highest_id + 1);
  RelIdAttribute(entry).set_value(rid.c_str());
  MarkWorkbookModified();
  names_->SheetInserted(at);
  if (pugi::xml_node view = WorkbookView(false)) {
    for (const char* attr : {"activeTab", "firstSheet"}) {
      pugi::xml_attribute a = view.attribute(attr);
      if (a && a.as_int() >= at) a.set_value(a.as_int() + 1);
    }
  }
  auto sheet = std::make_unique<XlsxWorksheet>(*this, entry, part, renames_.size());
  XlsxWorksheet& copy = *sheet;
  tabs_.insert(tabs_.begin() + at, Tab{entry, std::move(sheet)});
  RebuildWorksheetList();
  names_->CopyLocalNames(TabOf(source), at, source.Name(), copy_name);
  by_name_[FoldCase(copy_name)] = &copy;
  sheets_copied_ = true;
  sheet_list_changed_ = true;
  return copy;
}

}  // namespace kastel::xlsx
