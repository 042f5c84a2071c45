// The command bar "KASTEL": a popup with the two new-workbook buttons and five buttons of its
// own, all created disabled; the workbook events switch them on.
#include <memory>
#include <vector>

#include "addin/connect.h"
#include "base/error.h"
#include "util/shell.h"

namespace kastel::addin {
namespace {

constexpr int kStyleIcon = 1;
constexpr int kStyleIconAndCaption = 3;
constexpr std::string_view kPopupType = "CommandBarPopup";
constexpr std::string_view kBarType = "CommandBar";

}  // namespace

std::shared_ptr<host::CommandBar> Connect::FindOrAddBar() {
  host::CommandBars& bars = excel_app_->Bars();
  std::shared_ptr<host::CommandBar> bar;
  // The lookup fails when the bar is absent: that only means a first start.
  try {
    bar = bars.Item(kBarName);
  } catch (const Error&) {
  }
  if (!bar) bar = bars.Add(kBarName);
  return bar;
}

void Connect::FillBar(host::CommandBar& bar) {
  // A bar left by an earlier run is emptied, so that refilling never duplicates a control.
  host::CommandBarControls& controls = bar.Controls();
  std::vector<std::shared_ptr<host::CommandBarControl>> old;
  for (int i = 1; i <= controls.Count(); ++i) old.push_back(controls.Item(i));
  for (const auto& control : old) control->Delete();

  std::shared_ptr<host::CommandBarControl> popup = controls.Add(host::ControlType::kPopup);
  popup->SetCaption("新規作成");
  popup->SetToolTipText("新規作成");
  host::CommandBarControls& inner = popup->Controls();
  Hold(btnAddnewSQL_, AddBtn(inner, kPopupType, "SQL Server", 18, true),
       &Connect::btnAddnewSQL_Click);
  Hold(btnAddnewORA_, AddBtn(inner, kPopupType, "Oracle", 18, true), &Connect::btnAddnewORA_Click);

  Hold(btnAddSheet_, AddBtn(controls, kBarType, "シート追加", 530, true),
       &Connect::btnAddSheet_Click);
  Hold(btnRefresh_, AddBtn(controls, kBarType, "テーブル一覧更新", 737, true),
       &Connect::btnRefresh_Click);
  Hold(btnScriptOut_, AddBtn(controls, kBarType, "スクリプト出力", 528, true),
       &Connect::btnScriptOut_Click);
  Hold(btnReverse_, AddBtn(controls, kBarType, "リバースエンジニア", 2035, true),
       &Connect::btnReverse_Click);
  Hold(btnTemplate_, AddBtn(controls, kBarType, "テンプレート表示切替", 248, true),
       &Connect::btnTemplate_Click);
}

void Connect::Hold(Button& button, std::shared_ptr<host::CommandBarControl> control,
                   ClickMember click) {
  button.click.reset();
  button.control = std::move(control);
  if (button.control && click != nullptr) {
    button.click =
        button.control->OnClick([this, click](host::CommandBarControl& ctrl, bool& cancel_default) {
          (this->*click)(ctrl, cancel_default);
        });
  }
}

std::shared_ptr<host::CommandBarControl> Connect::AddBtn(host::CommandBarControls& parent,
                                                         std::string_view parent_type,
                                                         std::string_view caption, int face_id,
                                                         bool visible) {
  try {
    std::shared_ptr<host::CommandBarControl> button = parent.Add(host::ControlType::kButton);
    button->SetCaption(caption);
    button->SetStyle(parent_type == kPopupType ? kStyleIconAndCaption : kStyleIcon);
    button->SetToolTipText(caption);
    button->SetFaceId(face_id);
    button->SetEnabled(false);
    button->SetVisible(visible);
    return parent.Item(caption);
  } catch (const Error& e) {
    defines_.ErrMsg(e.description(), kMsgExclamation, "AddBtn");
    return nullptr;
  }
}

void Connect::SetEnabled(const Button& button, bool enabled) {
  try {
    if (!button.control) throw Error::Runtime(RuntimeError::kObjectNotSet);
    if (button.control->Enabled() != enabled) button.control->SetEnabled(enabled);
  } catch (const Error& e) {
    defines_.ErrMsg(e.description(), kMsgExclamation, "SetEnabled");
  }
}

}  // namespace kastel::addin
