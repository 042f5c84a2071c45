#include "adapters.h"

#include <sstream>
#include <vector>

#include "xlsx/application.h"

namespace kastel::host::testing {

std::unique_ptr<Adapter> MakeCalcAdapter();  // calc_adapter.cc, in builds with the office

namespace {

class XlsxAdapter final : public Adapter {
 public:
  Application& App() override { return app_; }
  Workbook& Open(const std::string& path) override { return app_.Open(path); }
  void Close(Workbook& wb) override { app_.Close(wb); }

 private:
  std::ostringstream status_;
  xlsx::XlsxApplication app_{status_};
};

std::vector<AdapterKind> Adapters() {
  std::vector<AdapterKind> kinds = {
      {"xlsx", []() -> std::unique_ptr<Adapter> { return std::make_unique<XlsxAdapter>(); }}};
#ifdef KASTEL_TEST_CALC
  kinds.push_back({"calc", &MakeCalcAdapter});
#endif
  return kinds;
}

}  // namespace

std::string Fixture(const std::string& name) {
  static kastel::testing::ScratchDir dir;
  static const bool written = [] {
    for (const char* script : {"/wb_make.py", "/sheet_cells.py"}) {
      kastel::testing::Python({KASTEL_XLSX_FIXTURES + std::string(script), dir.path()});
    }
    return true;
  }();
  return written ? dir / name : "";
}

INSTANTIATE_TEST_SUITE_P(Adapters, HostContract, ::testing::ValuesIn(Adapters()),
                         [](const auto& param_info) { return param_info.param.name; });

}  // namespace kastel::host::testing
