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

Error BadReference() { return Error::Host("参照が正しくありません。"); }

// "R2C2" -> "$B$2".
std::string AbsoluteA1(std::string_view r1c1) {
  if (r1c1.size() < 4 || (r1c1[0] != 'R' && r1c1[0] != 'r')) throw BadReference();
  const std::size_t c = r1c1.find_first_of("Cc", 1);
  if (c == std::string_view::npos || c == 1 || c + 1 == r1c1.size()) throw BadReference();
  for (std::size_t i = 1; i < r1c1.size(); ++i) {
    if (i != c && (r1c1[i] < '0' || r1c1[i] > '9')) throw BadReference();
  }
  const int row = std::stoi(std::string(r1c1.substr(1, c - 1)));
  const int column = std::stoi(std::string(r1c1.substr(c + 1)));
  if (row < 1 || column < 1) throw BadReference();
  return "$" + ColumnLetters(column) + "$" + std::to_string(row);
}

// "='@LIST'!R2C2:R28C2" -> "$'@LIST'.$B$2:$B$28", the form Calc keeps a named range in.
std::string CalcContent(std::string_view refers_to) {
  if (!refers_to.empty() && refers_to.front() == '=') refers_to.remove_prefix(1);
  const std::size_t bang = refers_to.rfind('!');
  if (bang == std::string_view::npos) throw BadReference();
  std::string_view sheet = refers_to.substr(0, bang);
  const std::string name = UnquotedSheetName(sheet);
  std::string_view ref = refers_to.substr(bang + 1);
  const std::size_t colon = ref.find(':');
  std::string cells = AbsoluteA1(ref.substr(0, colon));
  if (colon != std::string_view::npos) cells += ":" + AbsoluteA1(ref.substr(colon + 1));
  return "$" + Quoted(name) + "." + cells;
}

}  // namespace

CalcNames::CalcNames(Reference<css::sheet::XSpreadsheetDocument> document)
    : document_(std::move(document)) {}

void CalcNames::Delete(std::string_view name) {
  Reference<css::sheet::XNamedRanges> ranges = NamedRanges(document_);
  if (!ranges->hasByName(ToOUString(name))) throw NotFound();
  ranges->removeByName(ToOUString(name));
}

void CalcNames::AddR1C1(std::string_view name, std::string_view refers_to_r1c1) {
  const std::string content = CalcContent(refers_to_r1c1);
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
