// A sheet's name, visibility, activation, copy and print area.
#include "calc/calc_worksheet.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XPrintAreas.hpp>
#include <com/sun/star/util/XProtectable.hpp>

#include "calc/calc_workbook.h"
#include "calc/uno_text.h"
#include "xlsx/a1.h"
#include "xlsx/worksheet_name.h"

namespace kastel::calc {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

std::string ColumnLetters(int column) {
  std::string letters;
  for (int c = column; c > 0; c = (c - 1) / 26) {
    letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
  }
  return letters;
}

CalcWorksheet::CalcWorksheet(CalcWorkbook& workbook, Reference<css::sheet::XSpreadsheet> sheet)
    : workbook_(workbook), sheet_(std::move(sheet)) {}

std::string CalcWorksheet::Name() const {
  return ToUtf8(Reference<css::container::XNamed>(sheet_, UNO_QUERY_THROW)->getName());
}

void CalcWorksheet::SetName(std::string_view name) {
  if (Name() == name) return;
  xlsx::CheckSheetName(name);
  if (workbook_.NameTaken(name, this)) {
    throw Error::Host("シート名'" + std::string(name) +
                      "'は既に使われています。別の名前を指定してください。");
  }
  try {
    Reference<css::container::XNamed>(sheet_, UNO_QUERY_THROW)->setName(ToOUString(name));
  } catch (const css::uno::RuntimeException& e) {
    throw OfficeError(e);
  }
  CheckChanged(Name() == name);
}

// Calc leaves the sheets of a workbook whose structure is protected as they were, without a
// word; the host refuses instead, so that no command reports a change it did not make.
void CalcWorksheet::CheckChanged(bool changed) const {
  if (changed) return;
  css::uno::Reference<css::util::XProtectable> book(workbook_.document(), css::uno::UNO_QUERY);
  if (book.is() && book->isProtected()) {
    throw Error::Host("ブックが保護されているため、シート'" + Name() + "'は変更できません。");
  }
  throw Error::Host("アプリケーション定義またはオブジェクト定義のエラーです。");
}

host::Visibility CalcWorksheet::Visible() const {
  bool visible = true;
  Reference<css::beans::XPropertySet>(sheet_, UNO_QUERY_THROW)->getPropertyValue("IsVisible") >>=
      visible;
  return visible ? host::Visibility::kVisible : host::Visibility::kHidden;
}

void CalcWorksheet::SetVisible(bool visible) {
  if ((Visible() == host::Visibility::kVisible) == visible) return;
  if (!visible && workbook_.VisibleSheetCount() <= 1) {
    throw Error::Host(
        "ブックには表示されているシートが少なくとも 1 つ必要です。最後の表示シートは非表示にできま"
        "せん。");
  }
  Reference<css::beans::XPropertySet>(sheet_, UNO_QUERY_THROW)
      ->setPropertyValue("IsVisible", css::uno::Any(visible));
  CheckChanged((Visible() == host::Visibility::kVisible) == visible);
}

void CalcWorksheet::Activate() { workbook_.SetActiveSheet(*this); }

void CalcWorksheet::Select() { workbook_.SetActiveSheet(*this); }

void CalcWorksheet::Copy(host::Worksheet& before) {
  auto& target = dynamic_cast<CalcWorksheet&>(before);
  const std::string name =
      xlsx::CopyName(Name(), [&](std::string_view n) { return workbook_.NameTaken(n, nullptr); });
  const sal_Int16 position = static_cast<sal_Int16>(target.Position());
  try {
    workbook_.Sheets()->copyByName(ToOUString(Name()), ToOUString(name), position);
    // Calc shows every copy; the copy of a hidden sheet stays hidden.
    if (Visible() == host::Visibility::kHidden) {
      Reference<css::beans::XPropertySet>(
          Reference<css::container::XIndexAccess>(workbook_.Sheets(), UNO_QUERY_THROW)
              ->getByIndex(position),
          UNO_QUERY_THROW)
          ->setPropertyValue("IsVisible", css::uno::Any(false));
    }
  } catch (const css::uno::Exception& e) {
    throw OfficeError(e);
  }
}

int CalcWorksheet::Position() const {
  return Reference<css::sheet::XCellRangeAddressable>(sheet_, UNO_QUERY_THROW)
      ->getRangeAddress()
      .Sheet;
}

Reference<css::table::XCell> CalcWorksheet::CellAt(int row, int column) const {
  try {
    return sheet_->getCellByPosition(column - 1, row - 1);
  } catch (const css::uno::Exception&) {
    // A position off the sheet fails as the host's own does.
    throw Error::Host("アプリケーション定義またはオブジェクト定義のエラーです。");
  }
}

Reference<css::table::XCellRange> CalcWorksheet::RangeAt(std::string_view a1) const {
  try {
    return sheet_->getCellRangeByName(ToOUString(a1));
  } catch (const css::uno::Exception& e) {
    throw OfficeError(e);
  }
}

std::string CalcWorksheet::PrintArea() const {
  const css::uno::Sequence<css::table::CellRangeAddress> areas =
      Reference<css::sheet::XPrintAreas>(sheet_, UNO_QUERY_THROW)->getPrintAreas();
  std::string text;
  for (const css::table::CellRangeAddress& a : areas) {
    if (!text.empty()) text += ',';
    text += "$" + ColumnLetters(a.StartColumn + 1) + "$" + std::to_string(a.StartRow + 1);
    if (a.StartColumn != a.EndColumn || a.StartRow != a.EndRow) {
      text += ":$" + ColumnLetters(a.EndColumn + 1) + "$" + std::to_string(a.EndRow + 1);
    }
  }
  return text;
}

void CalcWorksheet::SetPrintArea(std::string_view a1_range) {
  std::vector<css::table::CellRangeAddress> areas;
  std::string_view rest = a1_range;
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    const std::string_view one = rest.substr(0, comma);
    // Calc reads more forms than a print area takes (a sheet's name, a named range); the host's
    // own rule decides, before anything changes.
    if (!xlsx::ParseRange(one) || (comma != std::string_view::npos && comma + 1 == rest.size())) {
      throw Error::Host("印刷範囲'" + std::string(a1_range) + "'は正しくありません。");
    }
    areas.push_back(Reference<css::sheet::XCellRangeAddressable>(RangeAt(one), UNO_QUERY_THROW)
                        ->getRangeAddress());
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  }
  Reference<css::sheet::XPrintAreas>(sheet_, UNO_QUERY_THROW)
      ->setPrintAreas(css::uno::Sequence<css::table::CellRangeAddress>(
          areas.data(), static_cast<sal_Int32>(areas.size())));
}

host::Workbook& CalcWorksheet::Parent() { return workbook_; }

}  // namespace kastel::calc
