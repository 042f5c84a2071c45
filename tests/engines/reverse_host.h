// One host process for the import tests: the workbook host with KASTEL connected, the real
// terminal login view answering from command-line answers, and the replaying data adapter.
#ifndef KASTEL_TESTS_ENGINES_REVERSE_HOST_H_
#define KASTEL_TESTS_ENGINES_REVERSE_HOST_H_

#include <string>
#include <vector>

#include "host_process.h"
#include "reverse_replay.h"
#include "term/login_view.h"

namespace kastel::testing {

class ImportHost : public HostProcess {
 public:
  // `typed` is what a person types when `interactive`; otherwise `answers` fill the dialog and
  // the password comes from KASTEL_PASSWORD ("secret").
  ImportHost(Recording recording, term::LoginAnswers answers, bool interactive = false,
             const std::string& typed = "");

  // A new workbook from the default template, of dialect "SQL" or "ORA".
  host::Workbook& NewBook(const std::string& dialect);
  // Presses リバースエンジニア on the active workbook.
  void PressReverse();

  const CallLog& log() const { return provider_.log(); }
  ReplayProvider& provider() { return provider_; }
  int failures() { return kastel_.defines().failures_shown(); }

 private:
  ReplayProvider provider_;
  term::TermLoginView view_;
};

// The sheet whose table-name cell (C4) holds exactly `table`, or null.
host::Worksheet* SheetOfTable(host::Workbook& wb, const std::string& table);

// A column row of a definition sheet as "name|title|type|null|default|comment", followed by
// " H=1 I=2" for the marks of the index matrix.
std::string ColumnRowText(host::Worksheet& ws, int row);
// The index block rows 6 to 15 down to the first empty one, "name|type" each.
std::vector<std::string> IndexBlockText(host::Worksheet& ws);
// The text of one cell.
std::string CellText(host::Worksheet& ws, int row, int col);

}  // namespace kastel::testing

#endif  // KASTEL_TESTS_ENGINES_REVERSE_HOST_H_
