#include "report.h"

#include <cstdio>
#include <ostream>

namespace kastel::check {
namespace {

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

std::string PlaceText(const std::string& workbook, const Finding& f) {
  std::string place = workbook;
  if (!f.sheet.empty()) {
    place += " シート「" + f.sheet + "」";
    place += f.table.empty() ? " テーブル (名前なし)" : " テーブル " + f.table;
  }
  if (!f.cell.empty()) place += " " + f.cell;
  return place;
}

std::string FindingLine(const std::string& workbook, const Finding& f) {
  std::string line = f.severity == Severity::kError ? "エラー: " : "警告: ";
  line += PlaceText(workbook, f) + ": " + f.what;
  if (!f.effect.empty()) line += " → " + f.effect;
  return line;
}

void WriteText(std::ostream& out, const Report& report, bool colour) {
  for (const Finding& f : report.findings) {
    std::string line = FindingLine(report.workbook, f);
    if (colour) {
      const std::size_t colon = line.find(':');
      line = (f.severity == Severity::kError ? "\x1b[31m" : "\x1b[33m") + line.substr(0, colon) +
             "\x1b[0m" + line.substr(colon);
    }
    out << line << '\n';
  }
}

void WriteJson(std::ostream& out, const Report& report) {
  out << "{\"workbook\": " << JsonString(report.workbook) << ", \"sheets\": " << report.sheets_read
      << ", \"errors\": " << report.Count(Severity::kError)
      << ", \"warnings\": " << report.Count(Severity::kWarning) << ", \"findings\": [";
  const char* separator = "\n  ";
  for (const Finding& f : report.findings) {
    out << separator
        << "{\"severity\": " << (f.severity == Severity::kError ? "\"error\"" : "\"warning\"")
        << ", \"sheet\": " << JsonString(f.sheet) << ", \"table\": " << JsonString(f.table)
        << ", \"cell\": " << JsonString(f.cell) << ", \"message\": " << JsonString(f.what)
        << ", \"effect\": " << JsonString(f.effect) << "}";
    separator = ",\n  ";
  }
  out << (report.findings.empty() ? "]}\n" : "\n]}\n");
}

std::string CountsText(const Report& report) {
  return std::to_string(report.Count(Severity::kError)) + " 件のエラー、" +
         std::to_string(report.Count(Severity::kWarning)) + " 件の警告があります";
}

}  // namespace kastel::check
