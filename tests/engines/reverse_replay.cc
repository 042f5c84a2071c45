#include "reverse_replay.h"

#include <sstream>
#include <stdexcept>
#include <utility>

#include "base/error.h"
#include "base/vb.h"
#include "support.h"

namespace kastel::testing {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> out(1);
  for (char c : line) {
    if (c == '\t') {
      out.emplace_back();
    } else {
      out.back() += c;
    }
  }
  return out;
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    char c = text[++i];
    out += c == 't' ? '\t' : c == 'n' ? '\n' : c;
  }
  return out;
}

Value ParseValue(const std::string& raw, char type) {
  if (raw == "\\N") return Value::Null();
  std::string text = Unescape(raw);
  if (type == 'n') return Value::Number(std::stod(text));
  if (type == 'b') return Value::Boolean(text == "true" || text == "1");
  return Value::Text(text);
}

// Reads the header and the rows of a section from `lines` starting at `i`.
std::shared_ptr<odbc::RowTable> ReadRows(const std::vector<std::string>& lines, std::size_t& i) {
  auto table = std::make_shared<odbc::RowTable>();
  std::vector<char> types;
  for (const std::string& name : SplitTabs(lines.at(i++))) {
    std::size_t colon = name.rfind(':');
    bool typed = colon != std::string::npos && colon + 2 == name.size();
    table->columns.push_back(typed ? name.substr(0, colon) : name);
    types.push_back(typed ? name.back() : 's');
  }
  for (; i < lines.size() && !lines[i].starts_with("["); ++i) {
    if (lines[i].empty() || lines[i].starts_with("#")) continue;
    std::vector<std::string> raw = SplitTabs(lines[i]);
    if (raw.size() != types.size()) {
      throw std::runtime_error("row with " + std::to_string(raw.size()) + " fields: " + lines[i]);
    }
    std::vector<Value> row;
    for (std::size_t k = 0; k < raw.size(); ++k) row.push_back(ParseValue(raw[k], types[k]));
    table->rows.push_back(std::move(row));
  }
  return table;
}

Error DriverError(const std::string& message) { return Error(kDriverError, "Replay", message); }

std::string Doubled(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

std::string Replace(std::string text, const std::string& what, const std::string& with) {
  for (std::size_t at = text.find(what); at != std::string::npos;
       at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
  return text;
}

// The lines of a golden file joined with `separator`.
std::string Joined(const std::string& name, const std::string& separator) {
  std::istringstream in(ReadFile(CatalogFixture(name)));
  std::string line, out;
  bool first = true;
  while (std::getline(in, line)) {
    out += (first ? "" : separator) + line;
    first = false;
  }
  return out;
}

class ReplayConnection : public data::Connection {
 public:
  ReplayConnection(std::shared_ptr<const Recording> recording,
                   std::shared_ptr<const ExpectedTexts> texts, std::shared_ptr<CallLog> log)
      : recording_(std::move(recording)), texts_(std::move(texts)), log_(std::move(log)) {}
  ~ReplayConnection() override {
    if (open_) --log_->open_connections;
  }

  std::string ConnectionString() const override { return connection_string_; }
  void SetConnectionString(std::string_view text) override { connection_string_ = text; }
  void Open() override {
    log_->calls.push_back("open " + connection_string_);
    if (recording_->open_fails) throw DriverError(*recording_->open_fails);
    open_ = true;
    ++log_->open_connections;
  }
  void SetCursorLocation(int location) override {
    if (location != data::kUseClient) throw DriverError("cursor location not client-side");
  }
  int State() const override { return open_ ? data::kStateOpen : data::kStateClosed; }
  void Close() override {
    RequireOpen();
    log_->calls.push_back("close");
    open_ = false;
    --log_->open_connections;
  }

  void ExecuteBatch(std::string_view sql) override {
    RequireOpen();
    if (sql != texts_->sql_batch) throw DriverError("unexpected batch text");
    log_->calls.push_back("batch");
    if (recording_->query_fails) throw DriverError(*recording_->query_fails);
    batch_ran_ = true;
  }

  std::unique_ptr<data::Recordset> Execute(std::string_view sql) override {
    RequireOpen();
    if (sql == "SELECT * FROM #temp_tab_info ORDER BY 1,3") {
      if (!batch_ran_) throw DriverError("#temp_tab_info does not exist");
      log_->calls.push_back("select temp");
      return Rows(recording_->schema);
    }
    if (sql == texts_->ora_query) {
      log_->calls.push_back("query schema");
      if (recording_->query_fails) throw DriverError(*recording_->query_fails);
      return Rows(recording_->schema);
    }
    for (const auto& [table, rows] : recording_->ora_indexes) {
      if (sql == IndexQuery(table)) {
        log_->calls.push_back("query index " + table);
        return Rows(rows);
      }
    }
    throw DriverError("unexpected query text: " + std::string(sql));
  }

  std::unique_ptr<data::Recordset> OpenSchema(int schema) override {
    RequireOpen();
    if (schema != data::kSchemaIndexes) throw DriverError("schema rowset not recorded");
    log_->calls.push_back("schema 12");
    return Rows(recording_->indexes);
  }

 private:
  void RequireOpen() const {
    if (!open_)
      throw Error(3704, "Replay", "オブジェクトが閉じている場合は、操作は許可されません。");
  }
  std::string IndexQuery(const std::string& table) const {
    return Replace(Replace(texts_->ora_index_template, "{UPPER}", Doubled(vb::UCase(table))),
                   "{NAME}", Doubled(table));
  }
  static std::unique_ptr<data::Recordset> Rows(const std::shared_ptr<odbc::RowTable>& rows) {
    auto table = rows ? rows : std::make_shared<odbc::RowTable>();
    return std::make_unique<odbc::MemoryRecordset>(table);
  }

  std::shared_ptr<const Recording> recording_;
  std::shared_ptr<const ExpectedTexts> texts_;
  std::shared_ptr<CallLog> log_;
  std::string connection_string_;
  bool open_ = false;
  bool batch_ran_ = false;
};

}  // namespace

Recording ParseRecording(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  Recording out;
  for (std::size_t i = 0; i < lines.size();) {
    const std::string& line = lines[i];
    if (line.empty() || line.starts_with("#")) {
      ++i;
      continue;
    }
    std::size_t close = line.find(']');
    if (!line.starts_with("[") || close == std::string::npos) {
      throw std::runtime_error("not a section: " + line);
    }
    const std::string section = line.substr(1, close - 1);
    const std::string rest = close + 2 <= line.size() ? line.substr(close + 2) : "";
    ++i;
    if (section == "open-fails") {
      out.open_fails = rest;
    } else if (section == "query-fails") {
      out.query_fails = rest;
    } else if (section == "schema") {
      out.schema = ReadRows(lines, i);
    } else if (section == "indexes") {
      out.indexes = ReadRows(lines, i);
    } else if (section.starts_with("index ")) {
      out.ora_indexes[Unescape(section.substr(6))] = ReadRows(lines, i);
    } else {
      throw std::runtime_error("unknown section: " + section);
    }
  }
  return out;
}

Recording LoadRecording(const std::string& path) { return ParseRecording(ReadFile(path)); }

ExpectedTexts GoldenTexts() {
  return {Joined("sql_schema_query.txt", "\r\n"), Joined("ora_schema_query.txt", "\n"),
          Joined("ora_index_query.txt", "\n")};
}

ReplayProvider::ReplayProvider(Recording recording, ExpectedTexts texts)
    : recording_(std::make_shared<const Recording>(std::move(recording))),
      texts_(std::make_shared<const ExpectedTexts>(std::move(texts))),
      log_(std::make_shared<CallLog>()) {}

void ReplayProvider::SetRecording(Recording recording) {
  recording_ = std::make_shared<const Recording>(std::move(recording));
}

std::unique_ptr<data::Connection> ReplayProvider::CreateConnection(std::string_view prog_id) {
  if (prog_id != data::kConnectionProgId) throw Error(429, "Replay", "cannot create");
  return std::make_unique<ReplayConnection>(recording_, texts_, log_);
}

std::string CatalogFixture(const std::string& name) {
  return std::string(KASTEL_ENGINES_TEST_DIR) + "/fixtures/catalog/" + name;
}

}  // namespace kastel::testing
