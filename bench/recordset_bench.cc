// Reading a 100,000-row result through the ODBC adapter's recordset (fetch, then Sort and
// Filter in memory) against the same query through psql, on a PostgreSQL server the benchmark
// starts for itself. Prints the ratio of the two at the end.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <string>

#include "odbc/odbc_connection.h"
#include "test_databases.h"

namespace {

constexpr const char* kQuery = "SELECT * FROM big";

kastel::testing::PostgresServer* server = nullptr;

std::unique_ptr<kastel::odbc::OdbcConnection> Connect() {
  auto c = std::make_unique<kastel::odbc::OdbcConnection>();
  c->SetConnectionString("Provider=MSDASQL;" + server->OdbcConnectionString());
  c->Open();
  c->SetCursorLocation(kastel::data::kUseClient);
  return c;
}

void BM_RecordsetFetch(benchmark::State& state) {
  auto c = Connect();
  for (auto _ : state) {
    auto rs = c->Execute(kQuery);
    benchmark::DoNotOptimize(rs->Eof());
  }
}
BENCHMARK(BM_RecordsetFetch)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

void BM_RecordsetFetchSortFilter(benchmark::State& state) {
  auto c = Connect();
  for (auto _ : state) {
    auto rs = c->Execute(kQuery);
    rs->SetSort("TABLE_NAME, POS DESC, COLUMN_NAME");
    rs->SetFilter("TABLE_NAME = 'table_42'");
    int rows = 0;
    for (; !rs->Eof(); rs->MoveNext())
      rows += rs->Field("POS").kind() == kastel::Value::Kind::kNumber;
    if (rows != 100) state.SkipWithError("the filter kept the wrong rows");
  }
}
BENCHMARK(BM_RecordsetFetchSortFilter)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

void BM_Psql(benchmark::State& state) {
  std::string command = server->PsqlCommand("-A -t -c \"" + std::string(kQuery) + "\" >/dev/null");
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("psql failed");
  }
}
BENCHMARK(BM_Psql)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

// Keeps each benchmark's real time per iteration, to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) times_[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    auto psql = times_.find("BM_Psql/min_time:2.000/real_time");
    if (psql == times_.end() || psql->second <= 0) return;
    for (const auto& [name, time] : times_) {
      std::cout << name << " / psql = " << time / psql->second << "\n";
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  kastel::testing::PostgresServer pg;
  server = &pg;
  pg.RunSql(
      "CREATE TABLE big AS SELECT i AS id, 'table_' || (i % 1000) AS table_name,"
      " 'column_' || i AS column_name, i % 7 AS pos, md5(i::text) AS note,"
      " CASE WHEN i % 10 = 0 THEN NULL ELSE i * 1.5 END AS amount"
      " FROM generate_series(1, 100000) AS i;");
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
