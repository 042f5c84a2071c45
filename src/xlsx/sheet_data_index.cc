#include "xlsx/sheet_data_index.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "xlsx/formula.h"
#include "xlsx/sheet_data_xml.h"

namespace kastel::xlsx {
namespace {

// CT_Worksheet's child order; elements out of it make the spreadsheet repair the file.
// clang-format off
constexpr std::string_view kWorksheetOrder[] = {
    "sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols", "sheetData", "sheetCalcPr",
    "sheetProtection", "protectedRanges", "scenarios", "autoFilter", "sortState",
    "dataConsolidate", "customSheetViews", "mergeCells", "phoneticPr", "conditionalFormatting",
    "dataValidations", "hyperlinks", "printOptions", "pageMargins", "pageSetup", "headerFooter",
    "rowBreaks", "colBreaks", "customProperties", "cellWatches", "ignoredErrors", "smartTags",
    "drawing", "legacyDrawing", "legacyDrawingHF", "picture", "oleObjects", "controls",
    "webPublishItems", "tableParts", "extLst"};
// clang-format on

// Position of an element in kWorksheetOrder; an mc:AlternateContent counts as the element it
// wraps. -1 for elements the schema does not name.
int OrderOf(pugi::xml_node node) {
  if (LocalName(node) == "AlternateContent") {
    pugi::xml_node choice =
        node.find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; });
    node = choice.find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; });
  }
  const auto it =
      std::find(std::begin(kWorksheetOrder), std::end(kWorksheetOrder), LocalName(node));
  return it == std::end(kWorksheetOrder) ? -1 : static_cast<int>(it - std::begin(kWorksheetOrder));
}

bool ParsePositive(std::string_view text, int max, int& out) {
  int value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size() || value < 1 || value > max) {
    return false;
  }
  out = value;
  return true;
}

bool Contains(const RangeRef& range, int row, int column) {
  return row >= range.first.row && row <= range.last.row && column >= range.first.column &&
         column <= range.last.column;
}

bool Meets(const RangeRef& a, const RangeRef& b) {
  return a.first.row <= b.last.row && b.first.row <= a.last.row &&
         a.first.column <= b.last.column && b.first.column <= a.last.column;
}

std::string RangeName(const RangeRef& range) {
  std::string name = CellName(range.first.row, range.first.column);
  if (!(range.first == range.last)) name += ":" + CellName(range.last.row, range.last.column);
  return name;
}

void SetAttribute(pugi::xml_node node, const char* name, const std::string& value) {
  if (!node.attribute(name)) node.append_attribute(name);
  node.attribute(name).set_value(value.c_str());
}

}  // namespace

SheetData::Index::Index(pugi::xml_document& doc, std::string_view path, std::string_view part)
    : root_(doc.document_element()) {
  if (!root_) throw DamagedPart(path, part, "ルート要素がありません");
  prefix_ = PrefixOf(root_);
  sheet_data_ = ChildNamed(root_, "sheetData");
  int last_row = 0;
  for (pugi::xml_node row : sheet_data_.children()) {
    if (row.type() == pugi::node_element && LocalName(row) == "row") {
      IndexRow(row, last_row, path, part);
    }
  }
}

void SheetData::Index::IndexRow(pugi::xml_node node, int& last_row, std::string_view path,
                                std::string_view part) {
  Row row;
  row.node = node;
  if (pugi::xml_attribute r = node.attribute("r")) {
    if (!ParsePositive(r.value(), kMaxRow, row.number) || row.number <= last_row) {
      throw DamagedPart(path, part, "行番号の並びが不正です");
    }
  } else {
    row.number = last_row + 1;
    if (row.number > kMaxRow) throw DamagedPart(path, part, "行が多すぎます");
    node.append_attribute("r").set_value(row.number);
  }
  last_row = row.number;
  int last_column = 0;
  for (pugi::xml_node c : node.children()) {
    if (c.type() != pugi::node_element || LocalName(c) != "c") continue;
    Cell cell;
    cell.node = c;
    if (pugi::xml_attribute r = c.attribute("r")) {
      cell.column = CellColumnInRow(r.value(), row.number, last_column);
      if (cell.column == 0) throw DamagedPart(path, part, "セル番地の並びが不正です");
    } else {
      cell.column = last_column + 1;
      if (cell.column > kMaxColumn) throw DamagedPart(path, part, "列が多すぎます");
      c.append_attribute("r").set_value(CellName(row.number, cell.column).c_str());
    }
    last_column = cell.column;
    pugi::xml_node f = ChildNamed(c, "f");
    if (std::string_view(f.attribute("t").value()) == "array") {
      auto range = ParseRange(f.attribute("ref").value());
      if (range && !(range->first == range->last)) arrays_.push_back(*range);
    }
    row.cells.push_back(std::move(cell));
  }
  rows_.push_back(std::move(row));
}

SheetData::Index::Row* SheetData::Index::FindRow(int row) {
  auto it = std::lower_bound(rows_.begin(), rows_.end(), row,
                             [](const Row& r, int n) { return r.number < n; });
  return it != rows_.end() && it->number == row ? &*it : nullptr;
}

SheetData::Index::Cell* SheetData::Index::FindCell(int row, int column) {
  Row* r = FindRow(row);
  if (!r) return nullptr;
  auto it = std::lower_bound(r->cells.begin(), r->cells.end(), column,
                             [](const Cell& c, int n) { return c.column < n; });
  return it != r->cells.end() && it->column == column ? &*it : nullptr;
}

SheetData::Index::Cell& SheetData::Index::EnsureCell(int row, int column) {
  if (!sheet_data_) sheet_data_ = EnsureWorksheetChild("sheetData");
  auto rit = std::lower_bound(rows_.begin(), rows_.end(), row,
                              [](const Row& r, int n) { return r.number < n; });
  if (rit == rows_.end() || rit->number != row) {
    const std::string name = prefix_ + "row";
    pugi::xml_node node = rit == rows_.end()
                              ? sheet_data_.append_child(name.c_str())
                              : sheet_data_.insert_child_before(name.c_str(), rit->node);
    node.append_attribute("r").set_value(row);
    Row fresh;
    fresh.number = row;
    fresh.node = node;
    rit = rows_.insert(rit, std::move(fresh));
  }
  Row& r = *rit;
  r.node.remove_attribute("spans");
  auto cit = std::lower_bound(r.cells.begin(), r.cells.end(), column,
                              [](const Cell& c, int n) { return c.column < n; });
  if (cit != r.cells.end() && cit->column == column) return *cit;

  const std::string name = prefix_ + "c";
  pugi::xml_node node;
  if (cit != r.cells.end()) {
    node = r.node.insert_child_before(name.c_str(), cit->node);
  } else if (pugi::xml_node ext = ChildNamed(r.node, "extLst")) {
    node = r.node.insert_child_before(name.c_str(), ext);
  } else {
    node = r.node.append_child(name.c_str());
  }
  node.append_attribute("r").set_value(CellName(row, column).c_str());
  Cell fresh;
  fresh.column = column;
  fresh.node = node;
  WidenDimension(row, column);
  return *r.cells.insert(cit, std::move(fresh));
}

void SheetData::Index::RemoveCell(int row, int column) {
  auto rit = std::lower_bound(rows_.begin(), rows_.end(), row,
                              [](const Row& r, int n) { return r.number < n; });
  if (rit == rows_.end() || rit->number != row) return;
  auto cit = std::lower_bound(rit->cells.begin(), rit->cells.end(), column,
                              [](const Cell& c, int n) { return c.column < n; });
  if (cit == rit->cells.end() || cit->column != column) return;
  rit->node.remove_child(cit->node);
  rit->cells.erase(cit);
  rit->node.remove_attribute("spans");
  // A row that keeps no cell, height or style of its own says nothing: let it go.
  pugi::xml_node node = rit->node;
  const bool bare =
      rit->cells.empty() && !node.first_child() && !node.first_attribute().next_attribute();
  if (bare) {
    sheet_data_.remove_child(node);
    rows_.erase(rit);
  }
}

const RangeRef* SheetData::Index::ArrayAt(int row, int column) const {
  for (const RangeRef& range : arrays_) {
    if (Contains(range, row, column)) return &range;
  }
  return nullptr;
}

std::vector<RangeRef> SheetData::Index::ArraysMeeting(const RangeRef& range) const {
  std::vector<RangeRef> out;
  for (const RangeRef& array : arrays_) {
    if (Meets(array, range)) out.push_back(array);
  }
  return out;
}

bool SheetData::Index::DropFormula(int row, Cell& cell) {
  pugi::xml_node f = ChildNamed(cell.node, "f");
  if (!f) return false;
  const std::string_view type = f.attribute("t").value();
  if (type == "shared" && f.attribute("ref")) {
    ConvertDependants(row, cell.column, f);
  } else if (type == "array") {
    std::erase_if(arrays_, [&](const RangeRef& r) {
      return r.first.row == row && r.first.column == cell.column;
    });
  }
  cell.node.remove_child(f);
  return true;
}

void SheetData::Index::ConvertDependants(int master_row, int master_column,
                                         pugi::xml_node master_formula) {
  const std::string_view si = master_formula.attribute("si").value();
  const std::string text = master_formula.text().get();
  RangeRef area{{1, 1}, {kMaxRow, kMaxColumn}};
  if (auto ref = ParseRange(master_formula.attribute("ref").value())) area = *ref;
  auto rit = std::lower_bound(rows_.begin(), rows_.end(), area.first.row,
                              [](const Row& r, int n) { return r.number < n; });
  for (; rit != rows_.end() && rit->number <= area.last.row; ++rit) {
    for (Cell& cell : rit->cells) {
      if (cell.column < area.first.column || cell.column > area.last.column) continue;
      if (rit->number == master_row && cell.column == master_column) continue;
      pugi::xml_node f = ChildNamed(cell.node, "f");
      if (std::string_view(f.attribute("t").value()) != "shared" ||
          std::string_view(f.attribute("si").value()) != si || f.attribute("ref")) {
        continue;
      }
      f.remove_attribute("t");
      f.remove_attribute("si");
      f.text().set(
          ShiftRelativeReferences(text, rit->number - master_row, cell.column - master_column)
              .c_str());
    }
  }
}

pugi::xml_node SheetData::Index::EnsureWorksheetChild(std::string_view local) {
  if (pugi::xml_node existing = ChildNamed(root_, local)) return existing;
  const auto it = std::find(std::begin(kWorksheetOrder), std::end(kWorksheetOrder), local);
  const int order = static_cast<int>(it - std::begin(kWorksheetOrder));
  const std::string name = prefix_ + std::string(local);
  for (pugi::xml_node child : root_.children()) {
    if (child.type() == pugi::node_element && OrderOf(child) > order) {
      return root_.insert_child_before(name.c_str(), child);
    }
  }
  return root_.append_child(name.c_str());
}

void SheetData::Index::WidenDimension(int row, int column) {
  pugi::xml_node dimension = ChildNamed(root_, "dimension");
  if (!dimension) return;
  RangeRef range{{row, column}, {row, column}};
  // An empty sheet's dimension says "A1" without a cell there; it then covers only the new one.
  const bool had_cells =
      std::any_of(rows_.begin(), rows_.end(), [](const Row& r) { return !r.cells.empty(); });
  auto widen = [&range](int r, int c) {
    range.first.row = std::min(range.first.row, r);
    range.first.column = std::min(range.first.column, c);
    range.last.row = std::max(range.last.row, r);
    range.last.column = std::max(range.last.column, c);
  };
  if (auto old = ParseRange(dimension.attribute("ref").value()); old && had_cells) {
    widen(old->first.row, old->first.column);
    widen(old->last.row, old->last.column);
  } else if (had_cells) {
    // A dimension we cannot read is rebuilt from the cells themselves.
    for (const Row& r : rows_) {
      if (!r.cells.empty()) {
        widen(r.number, r.cells.front().column);
        widen(r.number, r.cells.back().column);
      }
    }
  }
  SetAttribute(dimension, "ref", RangeName(range));
}

}  // namespace kastel::xlsx
