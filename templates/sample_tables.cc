#include "sample_tables.h"

#include <charconv>
#include <istream>
#include <string>

#include "base/error.h"

namespace kastel::templates {
namespace {

// A key position the script generator accepts: it fills one of eleven key slots.
constexpr int kMaxKeyPosition = 11;

class LineError {
 public:
  LineError(std::string_view source, int line) : source_(source), line_(line) {}
  [[noreturn]] void operator()(std::string_view what) const {
    throw Error(kFileFormatError, "kastel_make_sample",
                source_ + " " + std::to_string(line_) + "行目: " + std::string(what));
  }

 private:
  std::string source_;
  int line_;
};

std::vector<std::string> SplitTabs(std::string_view line) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    size_t tab = line.find('\t', start);
    fields.emplace_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

int KeyPosition(const std::string& text, const LineError& fail) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 1 ||
      value > kMaxKeyPosition) {
    fail("キー位置は 1 から 11 の整数です: \"" + text + "\"");
  }
  return value;
}

SampleColumn ReadColumn(const std::vector<std::string>& f, const LineError& fail) {
  constexpr size_t kFirstKey = 7;
  if (f.size() > kFirstKey + kMaxIndexes) fail("項目が多すぎます。");
  auto field = [&f](size_t i) { return i < f.size() ? f[i] : std::string(); };
  SampleColumn c{field(1), field(2), field(3), field(4), field(5), field(6), {}};
  if (c.name.empty()) fail("列名がありません。");
  for (size_t i = 0; i < kMaxIndexes; ++i) {
    std::string key = field(kFirstKey + i);
    if (!key.empty()) c.keys[i] = KeyPosition(key, fail);
  }
  return c;
}

void StripCarriageReturn(std::string& line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

// A key position in a matrix column without an index row would never reach a script.
void CheckKeysHaveIndexes(const SampleTable& table, std::string_view source_name) {
  for (const SampleColumn& c : table.columns) {
    for (size_t i = table.indexes.size(); i < kMaxIndexes; ++i) {
      if (c.keys[i] == 0) continue;
      throw Error(kFileFormatError, "kastel_make_sample",
                  std::string(source_name) + ": " + table.name + "." + c.name + " のキー位置 " +
                      std::to_string(i + 1) + " 番目にインデックスがありません。");
    }
  }
}

}  // namespace

std::string SampleTable::PrimaryKeyName() const {
  for (const SampleIndex& index : indexes) {
    if (index.kind == "P") return index.name;
  }
  return "";
}

std::vector<SampleTable> ReadSampleTables(std::istream& in, std::string_view source_name) {
  std::vector<SampleTable> tables;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    StripCarriageReturn(line);
    if (line.empty() || line.front() == '#') continue;
    LineError fail(source_name, number);
    std::vector<std::string> f = SplitTabs(line);
    const std::string& record = f[0];
    if (record == "table") {
      if (f.size() > 3) fail("項目が多すぎます。");
      if (f.size() < 2 || f[1].empty()) fail("テーブル名がありません。");
      tables.push_back({f[1], f.size() > 2 ? f[2] : "", {}, {}});
      continue;
    }
    if (record != "column" && record != "index") fail("不明な行です: \"" + record + "\"");
    if (tables.empty()) fail("table 行より前にあります。");
    SampleTable& table = tables.back();
    if (record == "column") {
      if (table.columns.size() == kMaxColumns) fail("列が多すぎます。");
      table.columns.push_back(ReadColumn(f, fail));
    } else {
      if (f.size() > 3) fail("項目が多すぎます。");
      if (f.size() < 2 || f[1].empty()) fail("インデックス名がありません。");
      if (table.indexes.size() == kMaxIndexes) fail("インデックスが多すぎます。");
      table.indexes.push_back({f[1], f.size() > 2 ? f[2] : ""});
    }
  }
  for (const SampleTable& table : tables) CheckKeysHaveIndexes(table, source_name);
  return tables;
}

}  // namespace kastel::templates
