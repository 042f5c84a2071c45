// The add-in's life in the host: connection, disconnection and the workbook events that keep
// the buttons in line with the active workbook.
#include "addin/connect.h"

#include <string>

#include "base/error.h"
#include "util/shell.h"

namespace kastel::addin {

Connect::Connect(Shell& shell)
    : shell_(shell),
      defines_(shell),
      engine_context_{.defines = defines_, .shell = shell, .last_output_folder = {}} {}

Connect::~Connect() = default;

void Connect::OnConnection(host::Application& app, int /*connect_mode*/) {
  excel_app_events_.reset();
  excel_app_ = &app;
  excel_app_events_ = app.SubscribeWorkbookEvents(*this);
  std::shared_ptr<host::CommandBar> bar = FindOrAddBar();
  bar->SetVisible(false);
  FillBar(*bar);
  bar->SetVisible(true);
  excelApp_WorkbookActivate(app.ActiveWorkbook());
}

void Connect::OnDisconnection(int remove_mode) {
  if (remove_mode == 1 && excel_app_ != nullptr) {
    try {
      excel_app_->Bars().Item(kBarName)->Delete();
    } catch (const Error&) {
      // A bar already gone is what removal wants.
    }
  }
  excel_app_events_.reset();
  excel_app_ = nullptr;
}

void Connect::WorkbookActivate(host::Workbook* wb) { excelApp_WorkbookActivate(wb); }

void Connect::WorkbookBeforeClose(host::Workbook& wb, bool& cancel) {
  excelApp_WorkbookBeforeClose(wb, cancel);
}

void Connect::WorkbookBeforeSave(host::Workbook& wb, bool save_as_ui, bool& cancel) {
  excelApp_WorkbookBeforeSave(wb, save_as_ui, cancel);
}

void Connect::excelApp_WorkbookActivate(host::Workbook* wb) {
  try {
    const bool definition =
        wb != nullptr && model::Defines::GetDocProperty(*wb, "TEMPLATE") == "DB";
    SetEnabled(btnAddnewSQL_, true);
    SetEnabled(btnAddnewORA_, true);
    SetWorkbookButtons(definition);
  } catch (const Error& e) {
    defines_.ErrMsg(e.description(), kMsgExclamation, "excelApp_WorkbookActivate");
  }
}

void Connect::excelApp_WorkbookBeforeClose(host::Workbook& /*wb*/, bool& /*cancel*/) {
  // Whether the close goes ahead is not known yet; the next activation sets the buttons again.
  try {
    SetEnabled(btnAddnewSQL_, true);
    SetEnabled(btnAddnewORA_, true);
    SetWorkbookButtons(false);
  } catch (const Error& e) {
    defines_.ErrMsg(e.description(), kMsgExclamation, "excelApp_WorkbookBeforeClose");
  }
}

void Connect::excelApp_WorkbookBeforeSave(host::Workbook& /*wb*/, bool /*save_as_ui*/,
                                          bool& /*cancel*/) {
  // The active workbook is the one refreshed, whichever is being saved.
  try {
    host::Workbook& wb = ActiveWorkbook();
    model::Where::Scope at(defines_.where(),
                           wb.Name() + " 保存前の処理 名前 " + std::string(model::kDataTypeName));
    model::Defines::SetDataTypeList(wb);
  } catch (const Error& e) {
    defines_.ErrMsg(e.description(), kMsgExclamation, "excelApp_WorkbookBeforeSave");
  }
}

void Connect::SetWorkbookButtons(bool enabled) {
  SetEnabled(btnAddSheet_, enabled);
  SetEnabled(btnRefresh_, enabled);
  SetEnabled(btnReverse_, enabled);
  SetEnabled(btnScriptOut_, enabled);
  SetEnabled(btnTemplate_, enabled);
}

host::Workbook& Connect::ActiveWorkbook() {
  host::Workbook* wb = excel_app_ != nullptr ? excel_app_->ActiveWorkbook() : nullptr;
  if (wb == nullptr) throw Error::Runtime(RuntimeError::kObjectNotSet);
  return *wb;
}

}  // namespace kastel::addin
