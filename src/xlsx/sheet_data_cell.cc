#include "xlsx/sheet_data_cell.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "base/vb.h"
#include "xlsx/package.h"
#include "xlsx/sheet_data_xml.h"

namespace kastel::xlsx {
namespace {

// VB serial of 1904-01-01, the first day of the 1904 date system.
constexpr double kEpoch1904 = 1462;

// Days since 1970-01-01 of a civil date (Howard Hinnant's algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

// Reads `digits` decimal digits.
bool ReadDigits(std::string_view& s, std::size_t digits, int& out) {
  if (s.size() < digits) return false;
  out = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    out = out * 10 + (s[i] - '0');
  }
  s.remove_prefix(digits);
  return true;
}

bool Expect(std::string_view& s, char c) {
  if (s.empty() || s[0] != c) return false;
  s.remove_prefix(1);
  return true;
}

std::optional<double> ParseNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\n')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.remove_suffix(1);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  double value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::string NumberToXml(double value) {
  if (value == 0) return "0";  // never "-0"
  char buf[32];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, ptr);
}

// The error values a cell can hold; anything else would make the file need repair.
bool IsCellError(std::string_view text) {
  static constexpr std::string_view kErrors[] = {
      "#NULL!",  "#DIV/0!",   "#VALUE!",       "#REF!",     "#NAME?",
      "#NUM!",   "#N/A",      "#GETTING_DATA", "#SPILL!",   "#CALC!",
      "#FIELD!", "#BLOCKED!", "#UNKNOWN!",     "#CONNECT!", "#BUSY!"};
  for (std::string_view error : kErrors) {
    if (text == error) return true;
  }
  return false;
}

bool NeedsPreserve(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  return !text.empty() && (blank(text.front()) || blank(text.back()));
}

pugi::xml_node AddValueChild(pugi::xml_node c, const std::string& prefix, const char* local) {
  return c.prepend_child((prefix + local).c_str());
}

void SetType(pugi::xml_node c, const char* type) {
  if (!c.attribute("t")) c.append_attribute("t");
  c.attribute("t").set_value(type);
}

void WriteText(pugi::xml_node c, std::string_view text, const std::string& prefix) {
  SetType(c, "inlineStr");
  pugi::xml_node t = AddValueChild(c, prefix, "is").append_child((prefix + "t").c_str());
  if (NeedsPreserve(text)) t.append_attribute("xml:space").set_value("preserve");
  t.text().set(EscapeText(text).c_str());
}

void WriteNumber(pugi::xml_node c, double number, const std::string& prefix) {
  AddValueChild(c, prefix, "v").text().set(NumberToXml(number).c_str());
}

void WriteDate(pugi::xml_node c, double vb_serial, const CellContext& context,
               const std::string& prefix) {
  const std::optional<double> serial = VbToWorkbookSerial(vb_serial, context.date1904);
  if (!serial) {
    // The spreadsheet has no serial for such an early day; it keeps the date as text.
    WriteText(c, vb::DateText(vb_serial), prefix);
    return;
  }
  const unsigned xf = static_cast<unsigned>(c.attribute("s").as_uint(0));
  const unsigned date_xf = context.styles.DateFormatLike(xf);
  if (date_xf != xf) {
    if (!c.attribute("s")) c.append_attribute("s");
    c.attribute("s").set_value(date_xf);
  }
  WriteNumber(c, *serial, prefix);
}

}  // namespace

double WorkbookSerialToVb(double serial, bool date1904) {
  if (serial >= 0 && serial < 1) return serial;  // a time of day alone
  if (date1904) return serial + kEpoch1904;
  return serial >= 1 && serial < 61 ? serial + 1 : serial;
}

// Serials below 1 read back as times of day, so a date-system's day 0 cannot be written as a
// date: those dates go out as text, like the days before it.
std::optional<double> VbToWorkbookSerial(double serial, bool date1904) {
  if (serial >= 0 && serial < 1) return serial;
  if (date1904) {
    if (serial < kEpoch1904 + 1) return std::nullopt;
    return serial - kEpoch1904;
  }
  if (serial >= 61) return serial;
  if (serial >= 2) return serial - 1;
  return std::nullopt;
}

std::optional<double> ParseIsoDate(std::string_view s) {
  double days = 0;
  if (s.size() >= 10 && s[4] == '-') {
    int y = 0, m = 0, d = 0;
    if (!ReadDigits(s, 4, y) || !Expect(s, '-') || !ReadDigits(s, 2, m) || !Expect(s, '-') ||
        !ReadDigits(s, 2, d) || m < 1 || m > 12 || d < 1 || d > 31) {
      return std::nullopt;
    }
    days =
        static_cast<double>(DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) -
                            DaysFromCivil(1899, 12, 30));
    if (s.empty()) return days;
    if (!Expect(s, 'T')) return std::nullopt;
  }
  int h = 0, mi = 0, sec = 0;
  if (!ReadDigits(s, 2, h) || !Expect(s, ':') || !ReadDigits(s, 2, mi) || h > 24 || mi > 59) {
    return std::nullopt;
  }
  double seconds = h * 3600.0 + mi * 60.0;
  if (Expect(s, ':')) {
    if (!ReadDigits(s, 2, sec) || sec > 60) return std::nullopt;
    seconds += sec;
    if (Expect(s, '.')) {
      double scale = 0.1;
      while (!s.empty() && s[0] >= '0' && s[0] <= '9') {
        seconds += (s[0] - '0') * scale;
        scale /= 10;
        s.remove_prefix(1);
      }
    }
  }
  if (s == "Z") s.remove_prefix(1);
  if (!s.empty()) return std::nullopt;
  return days + seconds / 86400.0;
}

CellType CellTypeOf(std::string_view t) {
  if (t == "s") return CellType::kShared;
  if (t == "inlineStr") return CellType::kInline;
  if (t == "str") return CellType::kFormulaText;
  if (t == "b") return CellType::kBoolean;
  if (t == "e") return CellType::kError;
  if (t == "d") return CellType::kIsoDate;
  return CellType::kNumber;
}

Value ReadCell(pugi::xml_node c, const CellContext& context) {
  CellPieces cell;
  cell.type = CellTypeOf(c.attribute("t").value());
  cell.style = c.attribute("s").as_uint(0);
  std::string rich;
  if (cell.type == CellType::kInline) {
    if (pugi::xml_node is = ChildNamed(c, "is")) {
      cell.has_is = true;
      rich = RichText(is);
      cell.is_text = rich;
    }
  } else if (pugi::xml_node v = ChildNamed(c, "v")) {
    cell.has_v = true;
    cell.v = v.text().get();
  }
  return CellValue(cell, context);
}

Value CellValue(const CellPieces& cell, const CellContext& context) {
  if (cell.type == CellType::kInline) {
    return cell.has_is ? Value::Text(std::string(cell.is_text)) : Value();
  }
  // Writers leave <v/> empty on formulas they did not calculate: no value yet.
  const std::string_view text = cell.v;
  if (text.empty()) {
    return cell.type == CellType::kFormulaText && cell.has_v ? Value::Text("") : Value();
  }
  switch (cell.type) {
    case CellType::kShared: {
      std::size_t index = 0;
      auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), index);
      if (ec != std::errc() || ptr != text.data() + text.size()) {
        throw DamagedPart(context.path, context.part, "共有文字列の番号が不正です");
      }
      return Value::Text(context.strings.Get(index));
    }
    case CellType::kFormulaText:
      return Value::Text(UnescapeText(text));
    case CellType::kBoolean:
      return Value::Boolean(text == "1" || text == "true");
    case CellType::kError:
      return Value::ErrorValue(std::string(text));
    case CellType::kIsoDate: {
      auto serial = ParseIsoDate(text);
      if (!serial) throw DamagedPart(context.path, context.part, "日付の形式が不正です");
      return Value::Date(*serial);
    }
    case CellType::kInline:
    case CellType::kNumber:
      break;
  }
  auto number = ParseNumber(text);
  if (!number) throw DamagedPart(context.path, context.part, "数値の形式が不正です");
  if (context.styles.IsDate(cell.style) && *number >= 0) {
    return Value::Date(WorkbookSerialToVb(*number, context.date1904));
  }
  return Value::Number(*number);
}

void ClearCellValue(pugi::xml_node c) {
  for (const char* local : {"v", "is"}) {
    while (pugi::xml_node child = ChildNamed(c, local)) c.remove_child(child);
  }
  for (const char* attribute : {"t", "vm", "cm"}) c.remove_attribute(attribute);
}

void CheckWritable(const Value& value) {
  if ((value.kind() == Value::Kind::kNumber && !std::isfinite(value.number())) ||
      (value.kind() == Value::Kind::kDate && !std::isfinite(value.date())) ||
      (value.kind() == Value::Kind::kError && !IsCellError(value.error()))) {
    throw HostRefused();
  }
}

void WriteCell(pugi::xml_node c, const Value& value, const CellContext& context,
               const std::string& prefix) {
  CheckWritable(value);
  ClearCellValue(c);
  switch (value.kind()) {
    case Value::Kind::kEmpty:
    case Value::Kind::kNull:
      return;
    case Value::Kind::kText: {
      std::string_view text = value.text();
      if (text.empty()) return;
      // A leading apostrophe marks literal text, as when typed; the cell holds what follows.
      if (text[0] == '\'') text.remove_prefix(1);
      WriteText(c, text, prefix);
      return;
    }
    case Value::Kind::kNumber:
      WriteNumber(c, value.number(), prefix);
      return;
    case Value::Kind::kBoolean:
      SetType(c, "b");
      AddValueChild(c, prefix, "v").text().set(value.boolean() ? "1" : "0");
      return;
    case Value::Kind::kDate:
      WriteDate(c, value.date(), context, prefix);
      return;
    case Value::Kind::kError:
      SetType(c, "e");
      AddValueChild(c, prefix, "v").text().set(value.error().c_str());
      return;
  }
}

}  // namespace kastel::xlsx
