#include "xlsx/worksheet.h"

#include <fmt/format.h>

#include "base/error.h"
#include "xlsx/a1.h"
#include "xlsx/workbook.h"
#include "xlsx/workbook_renames.h"
#include "xlsx/workbook_xml.h"
#include "xlsx/worksheet_name.h"

namespace kastel::xlsx {
namespace {

const std::initializer_list<std::string_view> kWorksheetOrder = {"sheetPr",
                                                                 "dimension",
                                                                 "sheetViews",
                                                                 "sheetFormatPr",
                                                                 "cols",
                                                                 "sheetData",
                                                                 "sheetCalcPr",
                                                                 "sheetProtection",
                                                                 "protectedRanges",
                                                                 "scenarios",
                                                                 "autoFilter",
                                                                 "sortState",
                                                                 "dataConsolidate",
                                                                 "customSheetViews",
                                                                 "mergeCells",
                                                                 "phoneticPr",
                                                                 "conditionalFormatting",
                                                                 "dataValidations",
                                                                 "hyperlinks",
                                                                 "printOptions",
                                                                 "pageMargins",
                                                                 "pageSetup",
                                                                 "headerFooter",
                                                                 "rowBreaks",
                                                                 "colBreaks",
                                                                 "customProperties",
                                                                 "cellWatches",
                                                                 "ignoredErrors",
                                                                 "smartTags",
                                                                 "drawing",
                                                                 "legacyDrawing",
                                                                 "legacyDrawingHF",
                                                                 "picture",
                                                                 "oleObjects",
                                                                 "controls",
                                                                 "webPublishItems",
                                                                 "tableParts",
                                                                 "extLst"};

std::string WithoutDollars(std::string_view ref) {
  std::string out;
  for (char c : ref) {
    if (c != '$') out += c;
  }
  return out;
}

}  // namespace

std::string HyperlinkLocation(std::string_view sub_address) {
  auto split = SplitSheetRef(sub_address);
  if (!split) return std::string(sub_address);
  const std::string& ref = split->second;
  std::string a1;
  if (ParseRange(ref)) {
    a1 = ref;
  } else if (auto converted = R1C1ToA1(ref, true)) {
    a1 = WithoutDollars(*converted);
  } else {
    throw Error::Host(fmt::format("ハイパーリンクの参照先'{}'は正しくありません。", sub_address));
  }
  return QuoteSheetName(split->first) + "!" + a1;
}

XlsxWorksheet::XlsxWorksheet(XlsxWorkbook& workbook, pugi::xml_node entry, std::string part,
                             std::size_t renames_applied)
    : workbook_(workbook),
      entry_(entry),
      part_(std::move(part)),
      renames_applied_(renames_applied) {}

XlsxWorksheet::~XlsxWorksheet() = default;

SheetData& XlsxWorksheet::Data() const {
  if (!data_) {
    data_ = std::make_unique<SheetData>(workbook_.package(), part_, workbook_.strings(),
                                        workbook_.styles(), workbook_.date1904(),
                                        &workbook_.read_ahead());
  }
  workbook_.Touch(const_cast<XlsxWorksheet&>(*this));
  return *data_;
}

void XlsxWorksheet::ReleaseParsed() {
  if (!data_) return;
  try {
    if (data_->holds_cells()) {
      memo_.Settle([this](int row, int column) { return data_->Get(row, column); });
    }
  } catch (const Error&) {
    // Read once without failing, a cell cannot fail now; should it, the memo just misses.
  }
  data_->Release();
}

std::string XlsxWorksheet::Name() const { return entry_.attribute("name").value(); }

void XlsxWorksheet::SetName(std::string_view name) {
  const std::string old = Name();
  if (old == name) return;
  CheckSheetName(name);
  if (workbook_.NameTaken(name, this)) {
    throw Error::Host(
        fmt::format("シート名'{}'は既に使われています。別の名前を指定してください。", name));
  }
  entry_.attribute("name").set_value(std::string(name).c_str());
  workbook_.SheetRenamed(*this, old, std::string(name));
}

host::Visibility XlsxWorksheet::Visible() const {
  std::string_view state = entry_.attribute("state").value();
  if (state == "hidden") return host::Visibility::kHidden;
  if (state == "veryHidden") return host::Visibility::kVeryHidden;
  return host::Visibility::kVisible;
}

void XlsxWorksheet::SetVisible(bool visible) {
  const host::Visibility now = Visible();
  if (visible) {
    if (now == host::Visibility::kVisible) return;
    entry_.remove_attribute("state");
    workbook_.MarkWorkbookModified();
    return;
  }
  if (now == host::Visibility::kHidden) return;
  if (now == host::Visibility::kVisible && workbook_.VisibleSheetCount() <= 1) {
    throw Error::Host(
        "ブックには表示されているシートが少なくとも 1 つ必要です。最後の表示シートは非表示にできま"
        "せん。");
  }
  if (!entry_.attribute("state")) entry_.append_attribute("state");
  entry_.attribute("state").set_value("hidden");
  workbook_.MarkWorkbookModified();
  // The host moves the selection off a sheet it hides.
  const int tab = workbook_.TabOf(*this);
  if (workbook_.ActiveTab() == tab) workbook_.SetActiveTab(workbook_.NeighbourVisibleTab(tab));
  workbook_.MoveFirstTabOff(tab);
}

void XlsxWorksheet::Activate() { workbook_.SetActiveTab(workbook_.TabOf(*this)); }

void XlsxWorksheet::Select() { Activate(); }

void XlsxWorksheet::SetTabSelected(bool selected) {
  pugi::xml_node root = workbook_.package().Xml(part_).document_element();
  pugi::xml_node views = Child(root, "sheetViews");
  if (!views && !selected) return;
  if (!views) views = ChildInOrder(root, "sheetViews", kWorksheetOrder);
  pugi::xml_node view = Child(views, "sheetView");
  if (!view && !selected) return;
  if (!view) {
    view = views.append_child(QualifiedLike(views, "sheetView").c_str());
    view.append_attribute("workbookViewId") = 0;
  }
  pugi::xml_attribute attr = view.attribute("tabSelected");
  if (selected) {
    if (!attr) attr = view.prepend_attribute("tabSelected");
    if (std::string_view(attr.value()) == "1") return;
    attr.set_value("1");
  } else {
    if (!attr) return;
    view.remove_attribute(attr);
  }
  workbook_.package().MarkModified(part_);
}

void XlsxWorksheet::Copy(host::Worksheet& before) {
  auto* target = dynamic_cast<XlsxWorksheet*>(&before);
  if (!target || &target->workbook_ != &workbook_) {
    throw Error::Host("シートは同じブックの中にしかコピーできません。");
  }
  workbook_.CopySheet(*this, *target);
}

Value XlsxWorksheet::Cell(int row, int column) const {
  // Reading a sheet's cells held from a one-pass read is nearly all the reading the read-only
  // commands do, mostly of empty cells: straight to the look-up.
  const SheetCells* held = data_ ? data_->held_cells() : nullptr;
  if (held && row >= 1 && row <= kMaxRow && column >= 1 && column <= kMaxColumn) {
    workbook_.Touch(const_cast<XlsxWorksheet&>(*this));
    const SheetCells::Cell* cell = held->Find(row, column);
    Value value = cell ? data_->ValueOf(*cell) : Value();
    memo_.Note(row, column);
    return value;
  }
  if (!data_ || !data_->holds_cells()) {
    if (const Value* known = memo_.Find(row, column)) return *known;
  }
  Value value = Data().Get(row, column);
  memo_.Note(row, column);
  return value;
}

std::vector<int> XlsxWorksheet::FilledRows(int column, int first, int last) const {
  const SheetCells* held = data_ ? data_->held_cells() : nullptr;
  if (!held || first < 1 || last > kMaxRow || column < 1 || column > kMaxColumn) {
    return host::Worksheet::FilledRows(column, first, last);
  }
  workbook_.Touch(const_cast<XlsxWorksheet&>(*this));
  std::vector<int> rows;
  held->ForEachInColumn(column, first, last, [&](const SheetCells::Cell& cell) {
    if (!data_->ValueOf(cell).is_empty()) rows.push_back(cell.row);
  });
  return rows;
}

void XlsxWorksheet::SetCell(int row, int column, const Value& value) {
  // A sheet written is parsed now and again at the save to catch up with renames: catching up
  // while it is parsed spares the second parse, and the second deflate of a part let go. The
  // sheet is touched first, so that the catch-up does not let go of the part it parsed.
  SheetData& data = Data();
  CatchUpRenames();
  memo_.Forget(row, column);
  data.Set(row, column, value);
}

std::optional<host::CellPos> XlsxWorksheet::Find(const host::FindOptions& options) const {
  return Data().Find(options);
}

void XlsxWorksheet::ClearContents(std::string_view a1_range) {
  memo_.ForgetAll();
  Data().ClearContents(a1_range);
}

void XlsxWorksheet::AddHyperlink(std::string_view anchor_a1, std::string_view sub_address,
                                 std::string_view text_to_display) {
  if (!ParseCell(anchor_a1)) {
    throw Error::Host(fmt::format("ハイパーリンクのセル'{}'は正しくありません。", anchor_a1));
  }
  const std::string location = HyperlinkLocation(sub_address);
  // The new link names sheets as they are called now: older text must catch up first.
  CatchUpRenames();
  memo_.ForgetAll();
  Data().AddHyperlink(anchor_a1, location, text_to_display);
}

std::string XlsxWorksheet::HyperlinkSubAddress(int row, int column) const {
  return Data().HyperlinkLocation(row, column);
}

void XlsxWorksheet::DeleteHyperlinks(std::string_view a1_range) {
  Data().DeleteHyperlinks(a1_range);
}

std::string XlsxWorksheet::PrintArea() const {
  return workbook_.names().PrintArea(workbook_.TabOf(*this));
}

void XlsxWorksheet::SetPrintArea(std::string_view a1_range) {
  workbook_.names().SetPrintArea(workbook_.TabOf(*this), Name(), a1_range);
}

host::Workbook& XlsxWorksheet::Parent() { return workbook_; }

void XlsxWorksheet::CatchUpRenames() {
  const RenameLog& log = workbook_.renames();
  if (renames_applied_ == log.size()) return;
  // The part's DOM holds what was written since opening too: cells and links go straight in.
  const std::vector<std::string> present =
      SheetNamesInXml((data_ ? data_->Dom() : workbook_.package().Xml(part_)).document_element());
  std::vector<RenamePair> pairs = log.Follow(renames_applied_, present);
  renames_applied_ = log.size();
  if (pairs.empty()) {
    // Parsed only to look: a sheet whose cells are not held may let its part go again.
    if (!workbook_.IsRecent(*this)) workbook_.package().Release(part_);
    return;
  }
  memo_.ForgetAll();
  SheetData& data = Data();
  ApplyRenames(pairs, present, [&](std::string_view from, std::string_view to) {
    data.RenameSheetReferences(from, to);
  });
}

}  // namespace kastel::xlsx
