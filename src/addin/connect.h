// The add-in: the system's single entry point in the host. It builds the command bar "KASTEL",
// keeps the buttons' enabled state in line with the active workbook and runs a command for each
// button click. Every handler reports its own failures through the error reporter and returns.
#ifndef KASTEL_ADDIN_CONNECT_H_
#define KASTEL_ADDIN_CONNECT_H_

#include <memory>
#include <string>
#include <string_view>

#include "host/host.h"
#include "base/subscription.h"
#include "engines/engine.h"
#include "model/defines.h"

namespace kastel {
class Shell;
}  // namespace kastel

namespace kastel::addin {

// The name of the command bar and the add-in's programmatic identifier.
inline constexpr std::string_view kBarName = "KASTEL";
inline constexpr std::string_view kProgId = "KASTEL.Connect";

class Connect final : public host::AddIn, private host::WorkbookEvents {
 public:
  // `shell` must outlive the add-in.
  explicit Connect(Shell& shell);
  ~Connect() override;
  Connect(const Connect&) = delete;
  Connect& operator=(const Connect&) = delete;

  // ---- connection events ----

  // Keeps `app` (subscribing to its workbook events), finds or adds the bar "KASTEL", empties
  // and refills it, shows it and sets the buttons for the active workbook. Failures after the
  // bar lookup rise to the host.
  void OnConnection(host::Application& app, int connect_mode) override;
  // Deletes the bar when the user removed the add-in (mode 1), then lets go of the host. The
  // buttons stay held until the add-in ends.
  void OnDisconnection(int remove_mode) override;

  // The model and its failure count; the state engines borrow, whose options `kastel` sets.
  model::Defines& defines() { return defines_; }
  engines::EngineContext& engine_context() { return engine_context_; }

  // ---- workbook events ----
  void excelApp_WorkbookActivate(host::Workbook* wb);
  void excelApp_WorkbookBeforeClose(host::Workbook& wb, bool& cancel);
  void excelApp_WorkbookBeforeSave(host::Workbook& wb, bool save_as_ui, bool& cancel);

  // ---- button clicks ----
  void btnAddnewSQL_Click(host::CommandBarControl& ctrl, bool& cancel_default);
  void btnAddnewORA_Click(host::CommandBarControl& ctrl, bool& cancel_default);
  void btnAddSheet_Click(host::CommandBarControl& ctrl, bool& cancel_default);
  void btnRefresh_Click(host::CommandBarControl& ctrl, bool& cancel_default);
  void btnTemplate_Click(host::CommandBarControl& ctrl, bool& cancel_default);
  // Script output in the workbook's dialect; defined beside the engines' other entry points.
  void btnScriptOut_Click(host::CommandBarControl& ctrl, bool& cancel_default);
  // Schema import in the workbook's dialect (reverse_command.cc).
  void btnReverse_Click(host::CommandBarControl& ctrl, bool& cancel_default);

 private:
  // A button variable: holding a control subscribes its Click, as assignment did.
  struct Button {
    std::shared_ptr<host::CommandBarControl> control;
    Subscription click;
  };
  using ClickMember = void (Connect::*)(host::CommandBarControl&, bool&);

  // host::WorkbookEvents, delivered to the handlers above.
  void WorkbookActivate(host::Workbook* wb) override;
  void WorkbookBeforeClose(host::Workbook& wb, bool& cancel) override;
  void WorkbookBeforeSave(host::Workbook& wb, bool save_as_ui, bool& cancel) override;

  // Bar building (bar.cc).
  std::shared_ptr<host::CommandBar> FindOrAddBar();
  void FillBar(host::CommandBar& bar);
  void Hold(Button& button, std::shared_ptr<host::CommandBarControl> control, ClickMember click);
  // Adds a button to `parent` (a bar's or a popup's controls; `parent_type` is "CommandBarPopup"
  // for a popup). Null after a failure, which is reported under "AddBtn".
  std::shared_ptr<host::CommandBarControl> AddBtn(host::CommandBarControls& parent,
                                                  std::string_view parent_type,
                                                  std::string_view caption, int face_id,
                                                  bool visible);
  // Writes Enabled only when it changes. Failures (a button not held, a deleted control) are
  // reported under "SetEnabled".
  void SetEnabled(const Button& button, bool enabled);
  void SetWorkbookButtons(bool enabled);

  void AddNewWorkbook(std::string_view dialect, std::string_view procedure);
  // The host's active workbook; Error 91 when none is open.
  host::Workbook& ActiveWorkbook();

  Shell& shell_;
  model::Defines defines_;
  engines::EngineContext engine_context_;

  host::Application* excel_app_ = nullptr;
  Subscription excel_app_events_;

  Button btnAddnewSQL_;
  Button btnAddnewORA_;
  Button btnAddSheet_;
  Button btnRefresh_;
  Button btnScriptOut_;
  Button btnReverse_;
  Button btnTemplate_;
};

}  // namespace kastel::addin

#endif  // KASTEL_ADDIN_CONNECT_H_
