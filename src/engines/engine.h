// What an engine needs from the add-in, and the part of an engine every command sees.
//
// An engine turns the definition sheets of a workbook into scripts (forward engineering) or a
// database catalogue into definition sheets (reverse engineering), for one dialect. SqlTools,
// OraTools and PgsTools are siblings: the flow lives here once, each dialect supplies its own
// statement texts. A command creates a fresh engine, calls one public operation and releases it.
#ifndef KASTEL_ENGINES_ENGINE_H_
#define KASTEL_ENGINES_ENGINE_H_

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engines/data.h"
#include "engines/sheet_reader.h"
#include "host/host.h"
#include "util/stream_writer.h"

namespace kastel {
class Shell;
namespace model {
class Defines;
}  // namespace model
namespace login {
class FormView;
}  // namespace login
}  // namespace kastel

namespace kastel::engines {

// State an engine borrows from the add-in for the time of one command. The add-in owns one
// context for the life of the process, so what is kept here outlives every engine.
struct EngineContext {
  // The layout positions, the error reporter and the value helpers.
  model::Defines& defines;
  // Message boxes, the folder picker, the environment and the current folder.
  Shell& shell;
  // The folder of the last successful script output, always ending with "/"; "" until the
  // first one. Shared by both dialects.
  std::string last_output_folder;
  // The byte form of the script files; unset, the dialect's own (CP932 for SQL Server and
  // Oracle, UTF-8 for PostgreSQL).
  std::optional<TextEncoding> encoding = std::nullopt;
  // PostgreSQL scripts end their lines with CR LF, as the other dialects' always do, instead
  // of LF.
  bool crlf = false;
  // Makes the database connections; without one, creating a connection fails as CreateObject
  // does for a class that is not installed (429).
  data::Provider* provider = nullptr;
  // Shows the login dialogs; without one, the dialog counts as cancelled.
  login::FormView* login_view = nullptr;
  // The import's status text ends with the tables done and their total, " (3/120)": set where
  // the status bar becomes progress lines on a terminal.
  bool status_counts = false;
  // Called for every sheet the script output walks, with whether it wrote the sheet, after its
  // three blocks: whoever reads the same sheets afterwards finds them still parsed. It must not
  // throw; a failure in it would be taken for the script's own.
  std::function<void(host::Worksheet& ws, bool definition)> sheet_observer = nullptr;
  // Filled with the column rows of the sheet the script output is writing, for the observer;
  // emptied before each sheet.
  ColumnsRead* columns_read = nullptr;
};

class Engine {
 public:
  // `context` must outlive the engine.
  explicit Engine(EngineContext& context) : context_(context) {}
  // Closes the connection the engine may hold.
  virtual ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Loads the layout positions of `wb`. Throws kastel::Error (20001 for a position of 0, the
  // runtime's errors for a missing or malformed one).
  void Initialize(host::Workbook& wb);

  // Asks for an output folder and writes table.sql, index.sql and comment.sql there from every
  // definition sheet of `wb`, then shows the closing message. Failures are shown through the
  // error reporter under "ForwardEngineer" and never leave this function; the files are closed
  // first, keeping what was written.
  void ForwardEngineer(host::Workbook& wb);

  // The three blocks of one definition sheet, each ending with CR LF CR LF. `wb` is not read.
  // Failures (a key position outside 1 to 11, a failing host call) rise to the caller.
  std::string lfTableScript(host::Workbook& wb, host::Worksheet& ws) {
    return lfTableBlock(wb, ws)();
  }
  std::string lfIndexScript(host::Workbook& wb, host::Worksheet& ws) {
    return lfIndexBlock(wb, ws)();
  }
  std::string lfCommentScript(host::Workbook& wb, host::Worksheet& ws) {
    return lfCommentBlock(wb, ws)();
  }

  // A block read from its sheet and built when called. It holds all it needs, so that the file
  // writer's worker can build it while the next sheet is read: building tens of megabytes of
  // script costs about as much as reading the sheets.
  using BlockBuilder = std::function<std::string()>;
  // The blocks of lfTableScript, lfIndexScript and lfCommentScript: the sheet is read now, with
  // its failures, and the text built later.
  virtual BlockBuilder lfTableBlock(host::Workbook& wb, host::Worksheet& ws) = 0;
  virtual BlockBuilder lfIndexBlock(host::Workbook& wb, host::Worksheet& ws) = 0;
  virtual BlockBuilder lfCommentBlock(host::Workbook& wb, host::Worksheet& ws) = 0;

  // Asks for the connection, reads the catalogue and writes one definition sheet per table,
  // then refreshes the table list. Failures are shown through the error reporter under
  // "ReverseEngineer" and never leave this function, except those of Initialize.
  void ReverseEngineer(host::Workbook& wb);

  // The catalogue query of the dialect.
  virtual std::string lfSchemaQuery() const = 0;

 protected:
  // One catalogue row as the flow writes it; the dialect reads it from the current row.
  struct CatalogRow {
    std::string table;                 // the name written on the sheet
    std::string title;                 // the table title
    std::string source;                // the catalogue's TABLE_NAME, by which rows are grouped
    std::array<std::string, 6> cells;  // name, title, data type, nullable, default, comment
  };

  EngineContext& context() { return context_; }

  // The blocks a dialect writes as build(table, title, rows) from the column rows read with
  // `fields`, or from the index rows: the sheet is read now, the text built later.
  using ColumnsText =
      std::function<std::string(std::string_view, std::string_view, const std::vector<ColumnRow>&)>;
  using IndexesText =
      std::function<std::string(std::string_view, std::string_view, const std::vector<IndexRow>&)>;
  BlockBuilder ColumnsBlock(host::Worksheet& ws, unsigned fields, ColumnsText build);
  BlockBuilder IndexesBlock(host::Worksheet& ws, IndexesText build);
  // The byte form of the script files when the command does not choose one.
  virtual TextEncoding lfScriptEncoding() const { return TextEncoding::kCp932; }
  data::Connection* connection() { return cn_.get(); }

  // Shows the login dialog, stores the answers in `wb` and connects. False after Cancel or a
  // failure, which is shown under "lfDbOpen".
  virtual bool lfDbOpen(host::Workbook& wb) = 0;
  // Runs `sql` on the open connection; null after a failure, shown under "lfSelect".
  virtual std::unique_ptr<data::Recordset> lfSelect(std::string sql);
  // Closes the connection when it is open and lets go of it.
  void lfDbClose();
  // Replaces the connection with a new one on `connection_string` and opens it with
  // client-side cursors. Failures rise.
  void OpenConnection(const std::string& connection_string);

  // The flow's dialect parts.
  virtual CatalogRow lfReadRow(data::Recordset& rs) = 0;
  // True when the catalogue names `a` and `b` are the same table.
  virtual bool lfSameTable(std::string_view a, std::string_view b) const = 0;
  // The second line of the message for an empty catalogue.
  virtual std::string_view lfEmptyHint() const = 0;
  // Writes the indexes of `table` onto `ws`. Failures rise.
  virtual void lfIndexImport(host::Workbook& wb, host::Worksheet& ws, const std::string& table) = 0;

 private:
  void WriteTable(host::Workbook& wb, data::Recordset& rs, int done, int total);
  int CountTables(data::Recordset& rs);

  EngineContext& context_;
  std::unique_ptr<data::Connection> cn_;
};

// The engine for the dialect named by the document property "DB": "ORA" exactly gives
// OraTools, "PGS" exactly PgsTools, anything else (empty included) SqlTools.
std::unique_ptr<Engine> NewEngine(std::string_view dialect, EngineContext& context);

}  // namespace kastel::engines

#endif  // KASTEL_ENGINES_ENGINE_H_
