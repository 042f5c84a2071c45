#include "adapters.h"

#include <map>
#include <sstream>

#include "xlsx/application.h"

namespace kastel::host::testing {

// Defined by calc_adapter.cc when the build has the office's SDK.
#ifdef KASTEL_TEST_CALC
std::unique_ptr<Adapter> MakeCalcAdapter();
#endif

namespace {

class XlsxAdapter final : public Adapter {
 public:
  Application& App() override { return app_; }
  Workbook& Open(const std::string& path) override { return app_.Open(path); }

 private:
  std::ostringstream status_;
  xlsx::XlsxApplication app_{status_};
};

const std::string& FixtureFolder(const char* script) {
  static kastel::testing::ScratchDir dir;
  static std::map<std::string, std::string> written;
  auto [it, fresh] = written.emplace(script, dir.path().string());
  if (fresh) kastel::testing::Python({std::string(KASTEL_XLSX_FIXTURES "/") + script, it->second});
  return it->second;
}

}  // namespace

std::vector<AdapterKind> Adapters() {
  std::vector<AdapterKind> kinds = {
      {"xlsx", []() -> std::unique_ptr<Adapter> { return std::make_unique<XlsxAdapter>(); }}};
#ifdef KASTEL_TEST_CALC
  kinds.push_back({"calc", &MakeCalcAdapter});
#endif
  return kinds;
}

std::string Fixture(const std::string& name) {
  // cells.xlsx comes from the cell-layer script, every other workbook from the workbook one.
  const char* script = name.starts_with("cells") ? "sheet_cells.py" : "wb_make.py";
  return FixtureFolder(script) + "/" + name;
}

INSTANTIATE_TEST_SUITE_P(Adapters, HostContract, ::testing::ValuesIn(Adapters()),
                         [](const auto& param_info) { return param_info.param.name; });

}  // namespace kastel::host::testing
