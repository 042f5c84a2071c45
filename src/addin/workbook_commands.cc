// The buttons that work on workbooks alone: new definition workbooks, a new table sheet, the
// table list and the template sheet.
#include <string>
#include <string_view>

#include "addin/connect.h"
#include "addin/template_path.h"
#include "base/error.h"
#include "util/shell.h"

namespace kastel::addin {

void Connect::AddNewWorkbook(std::string_view dialect, std::string_view procedure) {
  try {
    if (excel_app_ == nullptr) throw Error::Runtime(RuntimeError::kObjectNotSet);
    excel_app_->AddWorkbook(TemplatePath(shell_));
    host::Workbook& wb = ActiveWorkbook();
    // "TEMPLATE" and the layout come with the template; only the dialect is this command's.
    model::Defines::SetDocProperty(wb, "DB", dialect);
    model::Defines::SetDataTypeList(wb);
  } catch (const Error& e) {
    defines_.ErrMsg(e.description(), kMsgExclamation, procedure);
  }
}

void Connect::btnAddnewSQL_Click(host::CommandBarControl& /*ctrl*/, bool& /*cancel_default*/) {
  AddNewWorkbook("SQL", "btnAddnewSQL_Click");
}

void Connect::btnAddnewORA_Click(host::CommandBarControl& /*ctrl*/, bool& /*cancel_default*/) {
  AddNewWorkbook("ORA", "btnAddnewORA_Click");
}

void Connect::btnAddSheet_Click(host::CommandBarControl& /*ctrl*/, bool& /*cancel_default*/) {
  try {
    if (excel_app_ == nullptr) throw Error::Runtime(RuntimeError::kObjectNotSet);
    excel_app_->SetScreenUpdating(false);
    host::Workbook& wb = ActiveWorkbook();
    model::Where::Scope at(
        defines_.where(),
        wb.Name() + " " + model::Where::SheetPart(std::string(model::kTemplateSheet)));
    host::Worksheet& templ = wb.Worksheets(model::kTemplateSheet);
    // Only the hidden state reads as false; a very hidden template counts as shown.
    const bool was_shown = templ.Visible() != host::Visibility::kHidden;
    // Shown first, so that the copy is born visible.
    templ.SetVisible(true);
    templ.Copy(templ);
    templ.SetVisible(was_shown);
    host::Worksheet& copy = wb.Worksheets(wb.WorksheetCount() - 1);
    // A template that prints nothing itself leaves the copy's first page to the layout.
    if (copy.PrintArea().empty()) {
      defines_.LoadLayout(wb);
      defines_.SetSheetPrintArea(copy, 0);
    }
    copy.Activate();
    excel_app_->SetScreenUpdating(true);
  } catch (const Error& e) {
    if (excel_app_ != nullptr) {
      try {
        excel_app_->SetScreenUpdating(true);
      } catch (const Error&) {
        // The failure being reported is the one that matters.
      }
    }
    defines_.ErrMsg(e.description(), kMsgExclamation, "btnAddSheet_Click");
  }
}

void Connect::btnRefresh_Click(host::CommandBarControl& /*ctrl*/, bool& /*cancel_default*/) {
  try {
    defines_.RefreshList(ActiveWorkbook());
  } catch (const Error& e) {
    defines_.ErrMsg(e.description(), kMsgExclamation, "btnRefresh_Click");
  }
}

void Connect::btnTemplate_Click(host::CommandBarControl& /*ctrl*/, bool& /*cancel_default*/) {
  try {
    defines_.DispTemplate(ActiveWorkbook());
  } catch (const Error& e) {
    defines_.ErrMsg(e.description(), kMsgExclamation, "btnTemplate_Click");
  }
}

}  // namespace kastel::addin
