// Cell values, Find, ClearContents and hyperlinks of a Calc sheet.
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/sheet/XCellAddressable.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSheetOperation.hpp>
#include <com/sun/star/table/CellAddress.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextFieldsSupplier.hpp>
#include <com/sun/star/util/NumberFormat.hpp>

#include "calc/calc_workbook.h"
#include "calc/calc_worksheet.h"
#include "calc/uno_text.h"
#include "xlsx/cell_search.h"

namespace kastel::calc {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
namespace NumberFormat = css::util::NumberFormat;

constexpr sal_Int32 kContentFlags = css::sheet::CellFlags::VALUE | css::sheet::CellFlags::DATETIME |
                                    css::sheet::CellFlags::STRING | css::sheet::CellFlags::FORMULA;

Error HostRefusedValue() {
  return Error::Host("アプリケーション定義またはオブジェクト定義のエラーです。");
}

std::string CellText(const Reference<css::table::XCell>& cell) {
  return ToUtf8(Reference<css::text::XText>(cell, UNO_QUERY_THROW)->getString());
}

// "1!R1C1" or "'a b'!A1": the sheet name without quotes and the cell in A1 form.
std::pair<std::string, std::string> SplitSubAddress(std::string_view sub) {
  const std::size_t bang = sub.rfind('!');
  std::string_view sheet =
      bang == std::string_view::npos ? std::string_view() : sub.substr(0, bang);
  std::string_view ref = bang == std::string_view::npos ? sub : sub.substr(bang + 1);
  const std::string name = UnquotedSheetName(sheet);
  std::string a1(ref);
  if (ref.size() > 1 && (ref[0] == 'R' || ref[0] == 'r')) {
    const std::size_t c = ref.find_first_of("Cc", 1);
    if (c != std::string_view::npos) {
      try {
        const int row = std::stoi(std::string(ref.substr(1, c - 1)));
        const int column = std::stoi(std::string(ref.substr(c + 1)));
        a1 = ColumnLetters(column) + std::to_string(row);
      } catch (const std::exception&) {
        throw HostRefusedValue();
      }
    }
  }
  return {name, a1};
}

std::string QuotedSheet(std::string_view name) {
  std::string quoted = "'";
  for (char ch : name) {
    quoted += ch;
    if (ch == '\'') quoted += '\'';
  }
  return quoted + "'";
}

// The URL of the first URL field in a cell's text; "" when it has none.
std::string FirstFieldUrl(const Reference<css::uno::XInterface>& cell) {
  Reference<css::text::XTextFieldsSupplier> supplier(cell, UNO_QUERY);
  if (!supplier.is()) return "";
  Reference<css::container::XEnumeration> fields = supplier->getTextFields()->createEnumeration();
  while (fields->hasMoreElements()) {
    Reference<css::beans::XPropertySet> field(fields->nextElement(), UNO_QUERY);
    if (!field.is()) continue;
    rtl::OUString url;
    if (field->getPropertySetInfo()->hasPropertyByName("URL") &&
        (field->getPropertyValue("URL") >>= url) && !url.isEmpty()) {
      return ToUtf8(url);
    }
  }
  return "";
}

}  // namespace

std::string UnquotedSheetName(std::string_view sheet) {
  if (sheet.size() < 2 || sheet.front() != '\'' || sheet.back() != '\'') return std::string(sheet);
  sheet = sheet.substr(1, sheet.size() - 2);
  std::string name;
  for (std::size_t i = 0; i < sheet.size(); ++i) {
    name += sheet[i];
    if (sheet[i] == '\'' && i + 1 < sheet.size() && sheet[i + 1] == '\'') ++i;
  }
  return name;
}

Value CalcWorksheet::Cell(int row, int column) const {
  const Reference<css::table::XCell> cell = CellAt(row, column);
  Reference<css::beans::XPropertySet> props(cell, UNO_QUERY_THROW);
  switch (cell->getType()) {
    case css::table::CellContentType_EMPTY:
      return Value();
    case css::table::CellContentType_TEXT:
      return Value::Text(CellText(cell));
    case css::table::CellContentType_FORMULA: {
      if (cell->getError() != 0) return Value::ErrorValue(CellText(cell));
      sal_Int32 result = 0;
      props->getPropertyValue("FormulaResultType2") >>= result;
      if (result == css::sheet::FormulaResult::STRING) return Value::Text(CellText(cell));
      break;
    }
    default:
      break;
  }
  sal_Int32 format = 0;
  props->getPropertyValue("NumberFormat") >>= format;
  const sal_Int16 type = workbook_.FormatType(format);
  const double number = cell->getValue();
  if (type & NumberFormat::LOGICAL) return Value::Boolean(number != 0);
  if (type & (NumberFormat::DATE | NumberFormat::TIME)) {
    return Value::Date(number + workbook_.NullDateOffset());
  }
  return Value::Number(number);
}

void CalcWorksheet::SetCell(int row, int column, const Value& value) {
  const Reference<css::table::XCell> cell = CellAt(row, column);
  Reference<css::beans::XPropertySet> props(cell, UNO_QUERY_THROW);
  auto set_format_unless = [&](sal_Int16 wanted, sal_Int16 standard) {
    sal_Int32 format = 0;
    props->getPropertyValue("NumberFormat") >>= format;
    if (!(workbook_.FormatType(format) & wanted)) {
      props->setPropertyValue("NumberFormat", css::uno::Any(workbook_.StandardFormat(standard)));
    }
  };
  switch (value.kind()) {
    case Value::Kind::kEmpty:
    case Value::Kind::kNull:
      Reference<css::sheet::XSheetOperation>(cell, UNO_QUERY_THROW)->clearContents(kContentFlags);
      return;
    case Value::Kind::kText: {
      std::string_view text = value.text();
      if (text.empty()) {
        Reference<css::sheet::XSheetOperation>(cell, UNO_QUERY_THROW)->clearContents(kContentFlags);
        return;
      }
      // A leading apostrophe marks literal text, as when typed; the cell holds what follows.
      if (text[0] == '\'') text.remove_prefix(1);
      Reference<css::text::XText>(cell, UNO_QUERY_THROW)->setString(ToOUString(text));
      return;
    }
    case Value::Kind::kNumber:
      if (!std::isfinite(value.number())) throw HostRefusedValue();
      cell->setValue(value.number());
      return;
    case Value::Kind::kBoolean:
      cell->setValue(value.boolean() ? 1 : 0);
      set_format_unless(NumberFormat::LOGICAL, NumberFormat::LOGICAL);
      return;
    case Value::Kind::kDate: {
      if (!std::isfinite(value.date())) throw HostRefusedValue();
      cell->setValue(value.date() - workbook_.NullDateOffset());
      const bool has_time = value.date() != std::floor(value.date());
      set_format_unless(NumberFormat::DATE | NumberFormat::TIME,
                        has_time ? NumberFormat::DATETIME : NumberFormat::DATE);
      return;
    }
    case Value::Kind::kError:
      if (value.error() == "#N/A") {
        cell->setFormula("=NA()");
        return;
      }
      throw HostRefusedValue();
  }
}

std::optional<host::CellPos> CalcWorksheet::Find(const host::FindOptions& options) const {
  // Calc's own search compares what a cell shows (TRUE is found as 1), so the host's rule goes
  // over the cells that hold something, offered in row order.
  std::vector<std::pair<int, int>> cells;
  const Reference<css::sheet::XSheetCellRanges> ranges =
      Reference<css::sheet::XCellRangesQuery>(sheet_, UNO_QUERY_THROW)
          ->queryContentCells(kContentFlags);
  for (const css::table::CellRangeAddress& a : ranges->getRangeAddresses()) {
    for (int row = a.StartRow; row <= a.EndRow; ++row) {
      for (int column = a.StartColumn; column <= a.EndColumn; ++column) {
        cells.emplace_back(row + 1, column + 1);
      }
    }
  }
  std::sort(cells.begin(), cells.end());
  xlsx::Search search(options);
  for (const auto& [row, column] : cells) {
    std::optional<std::string> folded;
    auto read = [&, r = row, c = column] { return Cell(r, c); };
    auto fold = [&]() -> const std::string& {
      if (!folded) folded = vb::UCase(xlsx::FindText(read()));
      return *folded;
    };
    if (!search.Offer(row, column, read, fold)) break;
  }
  return search.Result();
}

void CalcWorksheet::ClearContents(std::string_view a1_range) {
  Reference<css::sheet::XSheetOperation>(RangeAt(a1_range), UNO_QUERY_THROW)
      ->clearContents(kContentFlags);
}

void CalcWorksheet::AddHyperlink(std::string_view anchor_a1, std::string_view sub_address,
                                 std::string_view text_to_display) {
  const Reference<css::table::XCellRange> anchor = RangeAt(anchor_a1);
  const auto [sheet, a1] = SplitSubAddress(sub_address);
  // A link inside the document is "#" and a place as Calc writes it: 'Sheet'.A1.
  const std::string url = "#" + (sheet.empty() ? std::string() : QuotedSheet(sheet) + ".") + a1;
  try {
    Reference<css::text::XText> text(anchor->getCellByPosition(0, 0), UNO_QUERY_THROW);
    Reference<css::lang::XMultiServiceFactory> factory(workbook_.document(), UNO_QUERY_THROW);
    Reference<css::beans::XPropertySet> field(
        factory->createInstance("com.sun.star.text.TextField.URL"), UNO_QUERY_THROW);
    field->setPropertyValue("URL", css::uno::Any(ToOUString(url)));
    field->setPropertyValue("Representation", css::uno::Any(ToOUString(text_to_display)));
    text->setString(rtl::OUString());
    text->insertTextContent(
        Reference<css::text::XTextRange>(text->createTextCursor(), UNO_QUERY_THROW),
        Reference<css::text::XTextContent>(field, UNO_QUERY_THROW), false);
  } catch (const css::uno::Exception& e) {
    throw OfficeError(e);
  }
}

std::string CalcWorksheet::HyperlinkSubAddress(int row, int column) const {
  try {
    const std::string url = FirstFieldUrl(CellAt(row, column));
    // Only a place inside this document counts: "#'Sheet'.A1", given back as "'Sheet'!A1".
    if (url.size() < 2 || url[0] != '#') return "";
    std::string place = url.substr(1);
    const std::size_t dot = place.rfind('.');
    if (dot != std::string::npos) place[dot] = '!';
    return place;
  } catch (const css::uno::Exception& e) {
    throw OfficeError(e);
  }
}

void CalcWorksheet::DeleteHyperlinks(std::string_view a1_range) {
  try {
    // Only the cells holding text can hold a link field; asking for them keeps a whole-column
    // range from visiting a million empty cells.
    Reference<css::sheet::XCellRangesQuery> query(RangeAt(a1_range), UNO_QUERY_THROW);
    Reference<css::container::XEnumerationAccess> cells(
        query->queryContentCells(css::sheet::CellFlags::STRING)->getCells(), UNO_QUERY_THROW);
    Reference<css::container::XEnumeration> each = cells->createEnumeration();
    while (each->hasMoreElements()) {
      Reference<css::text::XText> text(each->nextElement(), UNO_QUERY);
      if (!text.is() || FirstFieldUrl(text).empty()) continue;
      // Setting the shown text again leaves plain text where the field was.
      text->setString(text->getString());
    }
  } catch (const css::uno::Exception& e) {
    throw OfficeError(e);
  }
}

}  // namespace kastel::calc
