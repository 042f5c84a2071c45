// A Calc document as a workbook: its sheets in tab order, the active sheet, number formats.
#include "calc/calc_workbook.h"

#include <chrono>
#include <filesystem>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/util/Date.hpp>
#include <com/sun/star/util/XNumberFormatTypes.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>

#include "calc/calc_application.h"
#include "calc/calc_worksheet.h"
#include "calc/uno_text.h"
#include "xlsx/workbook_xml.h"

namespace kastel::calc {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

}  // namespace

CalcWorkbook::CalcWorkbook(CalcApplication& app,
                           Reference<css::sheet::XSpreadsheetDocument> document)
    : app_(app),
      document_(std::move(document)),
      properties_(Reference<css::frame::XModel>(document_, UNO_QUERY_THROW)),
      names_(*this, document_) {}

CalcWorkbook::~CalcWorkbook() = default;

Reference<css::frame::XModel> CalcWorkbook::model() const {
  return Reference<css::frame::XModel>(document_, UNO_QUERY_THROW);
}

Reference<css::sheet::XSpreadsheets> CalcWorkbook::Sheets() const { return document_->getSheets(); }

std::string CalcWorkbook::Name() const {
  const rtl::OUString url = model()->getURL();
  if (!url.isEmpty()) return std::filesystem::path(UrlToPath(url)).filename().string();
  Reference<css::frame::XTitle> title(document_, UNO_QUERY);
  return title.is() ? ToUtf8(title->getTitle()) : std::string();
}

int CalcWorkbook::WorksheetCount() const {
  return Reference<css::container::XIndexAccess>(Sheets(), UNO_QUERY_THROW)->getCount();
}

CalcWorksheet& CalcWorkbook::At(int position) {
  // Most lookups go in tab order over a workbook that did not change: one call confirms the
  // wrapper at the position; otherwise every wrapper is asked where its sheet is now.
  auto at = [&](int p) -> CalcWorksheet* {
    if (p < static_cast<int>(sheets_.size()) && sheets_[p] && sheets_[p]->Position() == p) {
      return sheets_[p].get();
    }
    return nullptr;
  };
  if (CalcWorksheet* sheet = at(position)) return *sheet;
  std::vector<std::unique_ptr<CalcWorksheet>> moved;
  moved.reserve(sheets_.size());
  for (auto& sheet : sheets_) {
    if (!sheet) continue;
    const int p = sheet->Position();
    if (p < 0) continue;  // a deleted sheet
    if (static_cast<int>(moved.size()) <= p) moved.resize(p + 1);
    moved[p] = std::move(sheet);
  }
  sheets_ = std::move(moved);
  if (static_cast<int>(sheets_.size()) <= position) sheets_.resize(position + 1);
  if (!sheets_[position]) {
    Reference<css::sheet::XSpreadsheet> sheet(
        Reference<css::container::XIndexAccess>(Sheets(), UNO_QUERY_THROW)->getByIndex(position),
        UNO_QUERY_THROW);
    sheets_[position] = std::make_unique<CalcWorksheet>(*this, sheet);
  }
  // Positions without a wrapper stay empty until asked for.
  return *sheets_[position];
}

host::Worksheet& CalcWorkbook::Worksheets(int index) {
  if (index < 1 || index > WorksheetCount()) throw NotFound();
  return At(index - 1);
}

host::Worksheet& CalcWorkbook::Worksheets(std::string_view name) {
  const int count = WorksheetCount();
  Reference<css::container::XIndexAccess> sheets(Sheets(), UNO_QUERY_THROW);
  for (int i = 0; i < count; ++i) {
    Reference<css::container::XNamed> named(sheets->getByIndex(i), UNO_QUERY_THROW);
    if (xlsx::SameName(ToUtf8(named->getName()), name)) return At(i);
  }
  throw NotFound();
}

bool CalcWorkbook::NameTaken(std::string_view name, const CalcWorksheet* except) const {
  const int skip = except != nullptr ? except->Position() : -1;
  Reference<css::container::XIndexAccess> sheets(Sheets(), UNO_QUERY_THROW);
  for (int i = 0; i < sheets->getCount(); ++i) {
    if (i == skip) continue;
    Reference<css::container::XNamed> named(sheets->getByIndex(i), UNO_QUERY_THROW);
    if (xlsx::SameName(ToUtf8(named->getName()), name)) return true;
  }
  return false;
}

int CalcWorkbook::VisibleSheetCount() const {
  Reference<css::container::XIndexAccess> sheets(Sheets(), UNO_QUERY_THROW);
  int visible = 0;
  for (int i = 0; i < sheets->getCount(); ++i) {
    bool shown = true;
    Reference<css::beans::XPropertySet>(sheets->getByIndex(i), UNO_QUERY_THROW)
        ->getPropertyValue("IsVisible") >>= shown;
    if (shown) ++visible;
  }
  return visible;
}

host::Worksheet& CalcWorkbook::ActiveSheet() {
  Reference<css::sheet::XSpreadsheetView> view(model()->getCurrentController(), UNO_QUERY);
  if (view.is()) {
    Reference<css::sheet::XCellRangeAddressable> sheet(view->getActiveSheet(), UNO_QUERY);
    if (sheet.is()) return At(sheet->getRangeAddress().Sheet);
  }
  if (active_ != nullptr && active_->Position() >= 0) return *active_;
  return At(0);
}

void CalcWorkbook::SetActiveSheet(CalcWorksheet& sheet) {
  active_ = &sheet;
  Reference<css::sheet::XSpreadsheetView> view(model()->getCurrentController(), UNO_QUERY);
  if (view.is()) view->setActiveSheet(sheet.sheet());
}

host::Application& CalcWorkbook::App() { return app_; }

sal_Int16 CalcWorkbook::FormatType(sal_Int32 key) const {
  Reference<css::util::XNumberFormatsSupplier> supplier(document_, UNO_QUERY_THROW);
  sal_Int16 type = 0;
  try {
    supplier->getNumberFormats()->getByKey(key)->getPropertyValue("Type") >>= type;
  } catch (const css::uno::Exception&) {
    // An unknown key reads as an ordinary number.
  }
  return type;
}

sal_Int32 CalcWorkbook::StandardFormat(sal_Int16 type) const {
  Reference<css::util::XNumberFormatsSupplier> supplier(document_, UNO_QUERY_THROW);
  Reference<css::util::XNumberFormatTypes> types(supplier->getNumberFormats(), UNO_QUERY_THROW);
  return types->getStandardFormat(type, css::lang::Locale());
}

double CalcWorkbook::NullDateOffset() const {
  css::util::Date null_date(30, 12, 1899);
  Reference<css::beans::XPropertySet>(document_, UNO_QUERY_THROW)->getPropertyValue("NullDate") >>=
      null_date;
  const auto day = [](int year, unsigned month, unsigned d) {
    return std::chrono::sys_days{std::chrono::year{year} / std::chrono::month{month} /
                                 std::chrono::day{d}};
  };
  return static_cast<double>(
      (day(null_date.Year, null_date.Month, null_date.Day) - day(1899, 12, 30)).count());
}

}  // namespace kastel::calc
