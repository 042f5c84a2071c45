// A data adapter that answers from recorded catalogue rows, for the servers that cannot run
// here. A recording is a readable text file of sections:
//
//   # a comment line
//   [open-fails] message         Open fails with the driver's message
//   [query-fails] message        the catalogue query fails with the driver's message
//   [schema]                     the catalogue rows (both dialects)
//   [indexes]                    the index schema rowset (SQL Server's OpenSchema(12))
//   [index NAME]                 the rows of the Oracle index query for table NAME
//
// A section of rows starts with a header line of tab-separated field names, a name ending in
// ":n" holding numbers and ":b" booleans; each further line is a row. In a value, \N alone is
// null, \t \n \\ stand for a tab, a line feed and a backslash.
//
// A connection accepts only the query texts the engines must send: the catalogue texts given
// to the provider, and for the Oracle index query the text of its template with the table name
// put in. Anything else fails, so a test learns of a changed text at once.
#ifndef KASTEL_TESTS_ENGINES_REVERSE_REPLAY_H_
#define KASTEL_TESTS_ENGINES_REVERSE_REPLAY_H_

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engines/data.h"
#include "odbc/memory_recordset.h"

namespace kastel::testing {

struct Recording {
  std::optional<std::string> open_fails;
  std::optional<std::string> query_fails;
  std::shared_ptr<odbc::RowTable> schema;
  std::shared_ptr<odbc::RowTable> indexes;
  std::map<std::string, std::shared_ptr<odbc::RowTable>> ora_indexes;
};

// Reads a recording from its text; throws std::runtime_error on a malformed one.
Recording ParseRecording(const std::string& text);
Recording LoadRecording(const std::string& path);

// The query texts a connection accepts.
struct ExpectedTexts {
  std::string sql_batch;  // the SQL Server catalogue batch
  std::string ora_query;  // the Oracle catalogue query
  // The Oracle index query with {UPPER} and {NAME} where the table name goes, in upper case
  // and as written, each with its apostrophes doubled.
  std::string ora_index_template;
};

// The golden texts stored under fixtures/catalog, joined as the engines must join them.
ExpectedTexts GoldenTexts();

// What every connection of one provider did, in order: "open <connection string>",
// "batch", "select temp", "query schema", "schema 12", "query index <table>", "close".
struct CallLog {
  std::vector<std::string> calls;
  int open_connections = 0;
};

class ReplayProvider : public data::Provider {
 public:
  ReplayProvider(Recording recording, ExpectedTexts texts);
  std::unique_ptr<data::Connection> CreateConnection(std::string_view prog_id) override;
  const CallLog& log() const { return *log_; }
  // Connections made from now on answer from `recording`.
  void SetRecording(Recording recording);

 private:
  std::shared_ptr<const Recording> recording_;
  std::shared_ptr<const ExpectedTexts> texts_;
  std::shared_ptr<CallLog> log_;
};

// The file `name` under fixtures/catalog.
std::string CatalogFixture(const std::string& name);

}  // namespace kastel::testing

#endif  // KASTEL_TESTS_ENGINES_REVERSE_REPLAY_H_
