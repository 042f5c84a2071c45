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

  host::Workbook& Open(const std::string& fixture) { return app_.Open(testing::Fixture(fixture)); }
  // The bars named "KASTEL" of `app`.
  static std::vector<std::shared_ptr<host::CommandBar>> Bars(xlsx::XlsxApplication& app) {
    std::vector<std::shared_ptr<host::CommandBar>> bars;
    for (const auto& bar : app.AllBars()) {
      if (bar->Name() == "KASTEL") bars.push_back(bar);
    }
    return bars;
  }
  std::shared_ptr<host::CommandBarControl> Control(const std::vector<std::string>& captions) {
    auto bars = Bars(app_);
    return bars.empty() ? nullptr : xlsx::FindControl(*bars.front(), captions);
  }
  bool Press(const std::vector<std::string>& captions) {
    auto button = Control(captions);
    return button && app_.Press(*button);
  }
  // The captions of the enabled buttons in bar order, joined by ",".
  std::string EnabledButtons() {
    std::string list;
    for (const char* caption : {"SQL Server", "Oracle", "シート追加", "テーブル一覧更新",
                                "スクリプト出力", "リバースエンジニア", "テンプレート表示切替"}) {
      const bool in_popup =
          std::string(caption) == "SQL Server" || std::string(caption) == "Oracle";
      auto button = in_popup ? Control({"新規作成", caption}) : Control({caption});
      if (button && button->Enabled()) list += (list.empty() ? "" : ",") + std::string(caption);
    }
    return list;
  }
  int Failures() { return connect_.defines().failures_shown(); }

  std::ostringstream out_, err_, status_;
  std::istringstream in_;
  term::TermShell shell_{out_, err_, in_, false};
  xlsx::XlsxApplication app_{status_};
  Connect connect_{shell_};
  testing::ScratchDir scratch_;
};

inline constexpr const char* kNewOnly = "SQL Server,Oracle";
inline constexpr const char* kAll =
    "SQL Server,Oracle,シート追加,テーブル一覧更新,スクリプト出力,リバースエンジニア,"
    "テンプレート表示切替";

}  // namespace kastel::addin

#endif  // KASTEL_TESTS_ADDIN_ADDIN_FIXTURE_H_
