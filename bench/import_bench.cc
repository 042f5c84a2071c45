// The schema import at scale, whole process: a recorded SQL Server catalogue of N tables with 50
// columns and 3 indexes each, served through the data port, imported into a new workbook from
// the default template and saved. Prints the time of the import and of the save and the
// process's peak memory. Run once per table count (bench/import_bench.sh runs 250, 500, 1000).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "addin/connect.h"
#include "model/defines.h"
#include "odbc/memory_recordset.h"
#include "term/login_view.h"
#include "term/term_shell.h"
#include "xlsx/application.h"

namespace {

using kastel::Value;
using kastel::odbc::RowTable;

constexpr int kColumns = 50;

std::shared_ptr<RowTable> Catalogue(int tables) {
  auto t = std::make_shared<RowTable>();
  t->columns = {"TABLE_NAME", "TABLE_TITLE",   "ORDINAL_POSITION", "COLUMN_NAME",   "COLUMN_TITLE",
                "DATA_TYPE",  "NULLABLE",      "DEFAULT_VALUE",    "COLUMN_COMMENT"};
  for (int i = 0; i < tables; ++i) {
    const std::string table = "T" + std::to_string(100000 + i);
    for (int c = 1; c <= kColumns; ++c) {
      t->rows.push_back({Value::Text(table), Value::Text("表" + std::to_string(i)),
                         Value::Number(c), Value::Text("COL" + std::to_string(c)),
                         Value::Text("列" + std::to_string(c)), Value::Text("nvarchar(40)"),
                         Value::Text(c == 1 ? "否" : ""), Value::Text(c == 2 ? "0" : ""),
                         Value::Text("備考" + std::to_string(c))});
    }
  }
  return t;
}

std::shared_ptr<RowTable> Indexes(int tables) {
  auto t = std::make_shared<RowTable>();
  t->columns = {"TABLE_NAME", "INDEX_NAME", "PRIMARY_KEY", "UNIQUE", "ORDINAL_POSITION",
                "COLUMN_NAME"};
  for (int i = 0; i < tables; ++i) {
    const std::string table = "T" + std::to_string(100000 + i);
    auto add = [&](const std::string& name, bool pk, bool uq, int pos, int col) {
      t->rows.push_back({Value::Text(table), Value::Text(name + table), Value::Boolean(pk),
                         Value::Boolean(uq), Value::Number(pos),
                         Value::Text("COL" + std::to_string(col))});
    };
    add("PK_", true, true, 1, 1);
    add("UQ_", false, true, 1, 3);
    add("UQ_", false, true, 2, 2);
    add("IX_", false, false, 1, 4);
  }
  return t;
}

class Connection : public kastel::data::Connection {
 public:
  Connection(std::shared_ptr<RowTable> rows, std::shared_ptr<RowTable> indexes)
      : rows_(std::move(rows)), indexes_(std::move(indexes)) {}
  std::string ConnectionString() const override { return text_; }
  void SetConnectionString(std::string_view text) override { text_ = text; }
  void Open() override { open_ = true; }
  void SetCursorLocation(int) override {}
  int State() const override { return open_ ? 1 : 0; }
  void Close() override { open_ = false; }
  void ExecuteBatch(std::string_view) override {}
  std::unique_ptr<kastel::data::Recordset> Execute(std::string_view) override {
    return std::make_unique<kastel::odbc::MemoryRecordset>(rows_);
  }
  std::unique_ptr<kastel::data::Recordset> OpenSchema(int) override {
    return std::make_unique<kastel::odbc::MemoryRecordset>(indexes_);
  }

 private:
  std::shared_ptr<RowTable> rows_, indexes_;
  std::string text_;
  bool open_ = false;
};

class Provider : public kastel::data::Provider {
 public:
  explicit Provider(int tables) : rows_(Catalogue(tables)), indexes_(Indexes(tables)) {}
  std::unique_ptr<kastel::data::Connection> CreateConnection(std::string_view) override {
    return std::make_unique<Connection>(rows_, indexes_);
  }

 private:
  std::shared_ptr<RowTable> rows_, indexes_;
};

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  const auto start = std::chrono::steady_clock::now();
  const int tables = argc > 1 ? std::stoi(argv[1]) : 1000;
  const std::string out = argc > 2 ? argv[2] : "import_bench.xlsx";
  std::ostringstream sink, status;
  std::istringstream in;
  kastel::term::TermShell shell(sink, sink, in, false);
  shell.SetEnv("KASTEL_PASSWORD", "bench");
  kastel::xlsx::XlsxApplication app(status);
  kastel::addin::Connect kastel(shell);
  app.ConnectAddIn(kastel, 1);
  Provider provider(tables);
  kastel::term::LoginAnswers answers;
  answers.auth = "sql";
  kastel::term::TermLoginView view(sink, in, false, answers, shell);
  kastel.engine_context().provider = &provider;
  kastel.engine_context().login_view = &view;

  kastel::host::Workbook& wb = app.AddWorkbook(KASTEL_TEMPLATE_FILE);
  const auto import_start = std::chrono::steady_clock::now();
  auto button = kastel::xlsx::FindControl(*app.Bars().Item("KASTEL"), {"リバースエンジニア"});
  if (!button || !app.Press(*button) || kastel.defines().failures_shown() > 0) {
    std::cerr << "import failed: " << sink.str() << '\n';
    return 1;
  }
  const double import_s = Seconds(import_start);
  const auto save_start = std::chrono::steady_clock::now();
  app.SaveAs(wb, out);
  const double save_s = Seconds(save_start);
  app.DisconnectAddIns(0);

  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  std::printf("tables=%d import_s=%.2f save_s=%.2f total_s=%.2f peak_mb=%.1f file_mb=%.1f\n",
              tables, import_s, save_s, Seconds(start), static_cast<double>(usage.ru_maxrss) / 1024,
              static_cast<double>(std::filesystem::file_size(out)) / 1e6);
  return 0;
}
