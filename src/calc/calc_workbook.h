// A Calc spreadsheet document as a workbook, with its custom document properties and its
// workbook-level names.
#ifndef KASTEL_CALC_CALC_WORKBOOK_H_
#define KASTEL_CALC_CALC_WORKBOOK_H_

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>

#include "host/host.h"

namespace kastel::calc {

class CalcApplication;
class CalcWorkbook;
class CalcWorksheet;

class CalcDocProperty final : public host::DocumentProperty {
 public:
  CalcDocProperty(css::uno::Reference<css::frame::XModel> model, std::string name);
  std::string Name() const override { return name_; }
  Value GetValue() const override;
  void SetValue(const Value& value) override;

 private:
  css::uno::Reference<css::frame::XModel> model_;
  std::string name_;
};

// The document's user-defined properties.
class CalcDocProperties final : public host::DocumentProperties {
 public:
  explicit CalcDocProperties(css::uno::Reference<css::frame::XModel> model);
  int Count() const override;
  host::DocumentProperty& Item(int index) override;
  host::DocumentProperty& Item(std::string_view name) override;
  host::DocumentProperty& AddText(std::string_view name, std::string_view value) override;

 private:
  std::vector<std::string> PropertyNames() const;
  host::DocumentProperty& Held(const std::string& name);

  css::uno::Reference<css::frame::XModel> model_;
  std::map<std::string, std::unique_ptr<CalcDocProperty>, std::less<>> held_;
};

class CalcNames final : public host::Names {
 public:
  CalcNames(CalcWorkbook& workbook, css::uno::Reference<css::sheet::XSpreadsheetDocument> document);
  void Delete(std::string_view name) override;
  void AddR1C1(std::string_view name, std::string_view refers_to_r1c1) override;
  std::optional<std::string> RefersTo(std::string_view name) const override;

 private:
  CalcWorkbook& workbook_;
  css::uno::Reference<css::sheet::XSpreadsheetDocument> document_;
};

class CalcWorkbook final : public host::Workbook {
 public:
  CalcWorkbook(CalcApplication& app, css::uno::Reference<css::sheet::XSpreadsheetDocument> doc);
  ~CalcWorkbook() override;

  std::string Name() const override;
  int WorksheetCount() const override;
  host::Worksheet& Worksheets(int index) override;
  host::Worksheet& Worksheets(std::string_view name) override;
  host::Worksheet& ActiveSheet() override;
  host::DocumentProperties& CustomDocumentProperties() override { return properties_; }
  host::Names& WorkbookNames() override { return names_; }
  host::Application& App() override;

  const css::uno::Reference<css::sheet::XSpreadsheetDocument>& document() const {
    return document_;
  }
  css::uno::Reference<css::frame::XModel> model() const;
  css::uno::Reference<css::sheet::XSpreadsheets> Sheets() const;

  // True when a sheet other than `except` has `name`, compared ignoring case.
  bool NameTaken(std::string_view name, const CalcWorksheet* except) const;
  int VisibleSheetCount() const;
  void SetActiveSheet(CalcWorksheet& sheet);

  // The css::util::NumberFormat type of a number format key, and the standard key of a type.
  sal_Int16 FormatType(sal_Int32 key) const;
  sal_Int32 StandardFormat(sal_Int16 type) const;
  // Days from the VB date origin (1899-12-30) to the document's null date.
  double NullDateOffset() const;

 private:
  // The wrapper of the sheet at 0-based `position`, the same object for the sheet's life.
  CalcWorksheet& At(int position);

  CalcApplication& app_;
  css::uno::Reference<css::sheet::XSpreadsheetDocument> document_;
  CalcDocProperties properties_;
  CalcNames names_;
  std::vector<std::unique_ptr<CalcWorksheet>> sheets_;
  CalcWorksheet* active_ = nullptr;
};

}  // namespace kastel::calc

#endif  // KASTEL_CALC_CALC_WORKBOOK_H_
