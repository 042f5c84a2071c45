// The add-in connected to the real headless application, with the terminal shell writing into
// strings and the built default template as the template of new workbooks.
#ifndef KASTEL_TESTS_ADDIN_ADDIN_FIXTURE_H_
#define KASTEL_TESTS_ADDIN_ADDIN_FIXTURE_H_

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "addin/connect.h"
#include "book_test_util.h"
#include "term/term_shell.h"
#include "xlsx/application.h"

namespace kastel::addin {

class AddInTest : public ::testing::Test {
 protected:
  AddInTest() { shell_.SetEnv("KASTEL_TEMPLATE", KASTEL_TEST_TEMPLATE); }

  void ConnectAddIn() { app_.ConnectAddIn(connect_, 1); }
  host::Workbook& Open(const std::string& fixture) { return app_.Open(testing::Fixture(fixture)); }

  // The bar named "KASTEL", or null.
  std::shared_ptr<host::CommandBar> Bar() {
    for (const auto& bar : app_.AllBars()) {
      if (bar->Name() == "KASTEL") return bar;
    }
    return nullptr;
  }
  int BarCount() {
    int n = 0;
    for (const auto& bar : app_.AllBars()) n += bar->Name() == "KASTEL" ? 1 : 0;
    return n;
  }
  // Presses the button under the bar reached by `captions`; false when it is missing or
  // cannot be pressed.
  bool Press(const std::vector<std::string>& captions) {
    auto bar = Bar();
    if (!bar) return false;
    auto button = xlsx::FindControl(*bar, captions);
    return button && app_.Press(*button);
  }
  // The captions of the enabled buttons, in bar order, joined by ",".
  std::string EnabledButtons() {
    std::string list;
    if (auto bar = Bar()) Collect(bar->Controls(), list);
    return list;
  }
  int Failures() { return connect_.defines().failures_shown(); }

  std::ostringstream out_;
  std::ostringstream err_;
  std::ostringstream status_;
  std::istringstream in_;
  term::TermShell shell_{out_, err_, in_, false};
  xlsx::XlsxApplication app_{status_};
  Connect connect_{shell_};
  testing::ScratchDir scratch_;

 private:
  static void Collect(host::CommandBarControls& controls, std::string& list) {
    for (int i = 1; i <= controls.Count(); ++i) {
      auto control = controls.Item(i);
      if (control->Type() == host::ControlType::kPopup) {
        Collect(control->Controls(), list);
      } else if (control->Enabled()) {
        list += (list.empty() ? "" : ",") + control->Caption();
      }
    }
  }
};

inline constexpr const char* kNewOnly = "SQL Server,Oracle";
inline constexpr const char* kAll =
    "SQL Server,Oracle,シート追加,テーブル一覧更新,スクリプト出力,リバースエンジニア,"
    "テンプレート表示切替";

}  // namespace kastel::addin

#endif  // KASTEL_TESTS_ADDIN_ADDIN_FIXTURE_H_
