// The check's report as people read it (one line a finding) and as pipelines read it (JSON).
#ifndef KASTEL_CHECK_REPORT_H_
#define KASTEL_CHECK_REPORT_H_

#include <iosfwd>
#include <string>

#include "finding.h"

namespace kastel::check {

// "エラー: BOOK シート「3」 テーブル EMP H9: what → effect"; parts that do not apply are left out.
std::string FindingLine(const std::string& workbook, const Finding& finding);

// "BOOK シート「3」 テーブル EMP H9": where a finding is.
std::string PlaceText(const std::string& workbook, const Finding& finding);

// One line a finding; with `colour`, the severity in red (error) or yellow (warning).
void WriteText(std::ostream& out, const Report& report, bool colour = false);

// {"workbook": ..., "sheets": n, "errors": n, "warnings": n, "findings": [{"severity":
// "error"|"warning", "sheet", "table", "cell", "message", "effect"}, ...]}
void WriteJson(std::ostream& out, const Report& report);

// "N 件のエラー、M 件の警告があります"
std::string CountsText(const Report& report);

}  // namespace kastel::check

#endif  // KASTEL_CHECK_REPORT_H_
