// Workbook-level names: the document's named ranges.
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeReferrer.hpp>
#include <com/sun/star/sheet/XNamedRange.hpp>
#include <com/sun/star/sheet/XNamedRanges.hpp>
#include <com/sun/star/table/CellAddress.hpp>

#include "calc/calc_workbook.h"
#include "calc/calc_worksheet.h"
#include "calc/uno_text.h"
#include "xlsx/a1.h"
#include "xlsx/names.h"

namespace kastel::calc {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

Reference<css::sheet::XNamedRanges> NamedRanges(
    const Reference<css::sheet::XSpreadsheetDocument>& document) {
  Reference<css::sheet::XNamedRanges> ranges(
      Reference<css::beans::XPropertySet>(document, UNO_QUERY_THROW)
          ->getPropertyValue("NamedRanges"),
      UNO_QUERY_THROW);
  return ranges;
}

std::string Quoted(std::string_view name) {
  std::string quoted = "'";
  for (char ch : name) {
    quoted += ch;
    if (ch == '\'') quoted += '\'';
  }
  return quoted + "'";
}

// "='@LIST'!R2C2:R28C2" -> "$'@LIST'.$B$2:$B$28", the form Calc keeps a named range in, under
// the workbook host's rules for the name and the reference. A reference without a sheet is to
// `active_sheet`, as a name added from a sheet refers to it.
std::string CalcContent(std::string_view name, std::string_view refers_to,
                        const std::string& active_sheet) {
  if (!xlsx::IsValidDefinedName(name)) {
    throw Error::Host("名前'" + std::string(name) + "'は正しくありません。");
  }
  std::string_view ref = refers_to;
  if (ref.starts_with('=')) ref.remove_prefix(1);
  std::string sheet = active_sheet;
  std::string cells(ref);
  if (auto split = xlsx::SplitSheetRef(ref)) {
    sheet = split->first;
    cells = split->second;
  }
  const std::optional<std::string> a1 = xlsx::R1C1ToA1(cells, true);
  if (!a1 || sheet.empty()) {
    throw Error::Host("名前'" + std::string(name) + "'の参照範囲'" + std::string(refers_to) +
                      "'は正しくありません。");
  }
  return "$" + Quoted(sheet) + "." + *a1;
}

}  // namespace

CalcNames::CalcNames(CalcWorkbook& workbook, Reference<css::sheet::XSpreadsheetDocument> document)
    : workbook_(workbook), document_(std::move(document)) {}

void CalcNames::Delete(std::string_view name) {
  Reference<css::sheet::XNamedRanges> ranges = NamedRanges(document_);
  if (!ranges->hasByName(ToOUString(name))) throw NotFound();
  ranges->removeByName(ToOUString(name));
}

void CalcNames::AddR1C1(std::string_view name, std::string_view refers_to_r1c1) {
  const std::string content = CalcContent(name, refers_to_r1c1, workbook_.ActiveSheet().Name());
  Reference<css::sheet::XNamedRanges> ranges = NamedRanges(document_);
  try {
    if (ranges->hasByName(ToOUString(name))) ranges->removeByName(ToOUString(name));
    ranges->addNewByName(ToOUString(name), ToOUString(content), css::table::CellAddress(), 0);
  } catch (const css::uno::Exception& e) {
    throw OfficeError(e);
  }
}

std::optional<std::string> CalcNames::RefersTo(std::string_view name) const {
  Reference<css::sheet::XNamedRanges> ranges = NamedRanges(document_);
  if (!ranges->hasByName(ToOUString(name))) return std::nullopt;
  Reference<css::sheet::XNamedRange> range(ranges->getByName(ToOUString(name)), UNO_QUERY_THROW);
  Reference<css::sheet::XCellRangeReferrer> referrer(range, UNO_QUERY);
  Reference<css::sheet::XCellRangeAddressable> cells(
      referrer.is() ? referrer->getReferredCells() : nullptr, UNO_QUERY);
  if (!cells.is()) return "=" + ToUtf8(range->getContent());
  const css::table::CellRangeAddress a = cells->getRangeAddress();
  Reference<css::container::XNamed> sheet(
      Reference<css::container::XIndexAccess>(document_->getSheets(), UNO_QUERY_THROW)
          ->getByIndex(a.Sheet),
      UNO_QUERY_THROW);
  std::string text = "=" + Quoted(ToUtf8(sheet->getName())) + "!$" +
                     ColumnLetters(a.StartColumn + 1) + "$" + std::to_string(a.StartRow + 1);
  if (a.StartColumn != a.EndColumn || a.StartRow != a.EndRow) {
    text += ":$" + ColumnLetters(a.EndColumn + 1) + "$" + std::to_string(a.EndRow + 1);
  }
  return text;
}

}  // namespace kastel::calc
