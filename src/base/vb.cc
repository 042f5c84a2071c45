#include "base/vb.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/error.h"

namespace kastel::vb {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Civil date from days since 1970-01-01 (Howard Hinnant's algorithm).
void CivilFromDays(long long z, int& y, unsigned& m, unsigned& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long yy = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(yy + (m <= 2));
}

bool ParseNumber(std::string_view text, double& out) {
  std::string_view s = TrimBlanks(text);
  if (s.empty()) return false;
  std::string buf(s);
  if (buf[0] == '+') buf.erase(0, 1);
  if (buf.empty()) return false;
  // Only plain decimal forms: no hex, no inf or nan, no internal blanks.
  for (char c : buf) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) {
      return false;
    }
  }
  const char* begin = buf.data();
  const char* end = begin + buf.size();
  auto [ptr, ec] = std::from_chars(begin, end, out);
  if (ptr != end) return false;
  if (ec == std::errc::result_out_of_range) {
    out = (buf[0] == '-') ? -HUGE_VAL : HUGE_VAL;
    return true;
  }
  return ec == std::errc();
}

std::int16_t ToInt16(double x) {
  if (std::isnan(x)) throw Error::Runtime(RuntimeError::kOverflow);
  const double r = RoundHalfEven(x);
  if (r < -32768.0 || r > 32767.0) throw Error::Runtime(RuntimeError::kOverflow);
  return static_cast<std::int16_t>(r);
}

}  // namespace

double RoundHalfEven(double x) {
  const double f = std::floor(x);
  const double diff = x - f;
  if (diff > 0.5) return f + 1.0;
  if (diff < 0.5) return f;
  return std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
}

std::string NumberText(double number) {
  if (number == 0.0) return "0";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15G", number);
  std::string s(buf);
  // C writes exponents with at least two digits, as the runtime does ("1E+20", "1E-05").
  return s;
}

std::string DateText(double serial) {
  // The runtime's dates run from 100/01/01 to 9999/12/31; anything beyond (a huge number in a
  // date-formatted cell) is an overflow, not a date.
  constexpr double kFirstDay = -657434.0;
  constexpr double kDayAfterLast = 2958466.0;
  if (!(serial > kFirstDay - 1.0 && serial < kDayAfterLast)) {
    throw Error::Runtime(RuntimeError::kOverflow);
  }
  // Days since 1899-12-30; the fraction is the time of day, always counted forwards.
  double day = std::floor(serial);
  double frac = serial - day;
  if (serial < 0) {
    day = std::ceil(serial);
    frac = day - serial;
  }
  long long seconds = std::llround(frac * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    day += serial < 0 ? -1 : 1;
  }
  int y = 0;
  unsigned m = 0, d = 0;
  CivilFromDays(static_cast<long long>(day) - 25569, y, m, d);
  char date[32];
  std::snprintf(date, sizeof date, "%04d/%02u/%02u", y, m, d);
  char time[32];
  std::snprintf(time, sizeof time, "%lld:%02lld:%02lld", seconds / 3600, (seconds / 60) % 60,
                seconds % 60);
  if (seconds == 0) return date;
  if (day == 0) return time;
  return std::string(date) + " " + time;
}

std::string Concat(const Value& value) {
  switch (value.kind()) {
    case Value::Kind::kEmpty:
    case Value::Kind::kNull:
      return "";
    case Value::Kind::kText:
      return value.text();
    case Value::Kind::kNumber:
      return NumberText(value.number());
    case Value::Kind::kBoolean:
      return value.boolean() ? "True" : "False";
    case Value::Kind::kDate:
      return DateText(value.date());
    case Value::Kind::kError:
      break;
  }
  throw Error::Runtime(RuntimeError::kTypeMismatch);
}

bool IsNumericText(std::string_view text) {
  double unused = 0;
  return ParseNumber(text, unused);
}

bool IsNumeric(const Value& value) {
  switch (value.kind()) {
    case Value::Kind::kEmpty:
    case Value::Kind::kNumber:
    case Value::Kind::kBoolean:
      return true;
    case Value::Kind::kText:
      return IsNumericText(value.text());
    default:
      return false;
  }
}

std::int16_t CInt(std::string_view text) {
  double x = 0;
  if (!ParseNumber(text, x)) throw Error::Runtime(RuntimeError::kTypeMismatch);
  return ToInt16(x);
}

std::int16_t CInt(const Value& value) {
  switch (value.kind()) {
    case Value::Kind::kEmpty:
      return 0;
    case Value::Kind::kNumber:
      return ToInt16(value.number());
    case Value::Kind::kDate:
      return ToInt16(value.date());
    case Value::Kind::kBoolean:
      return value.boolean() ? -1 : 0;
    case Value::Kind::kText:
      return CInt(value.text());
    case Value::Kind::kNull:
    case Value::Kind::kError:
      break;
  }
  throw Error::Runtime(value.kind() == Value::Kind::kNull ? RuntimeError::kInvalidCall
                                                          : RuntimeError::kTypeMismatch);
}

std::string UCase(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 'a' + 'A');
    } else if (c == 0xEF && i + 2 < out.size()) {
      // Full-width ａ..ｚ: EF BD 81..9A -> Ａ..Ｚ: EF BC A1..BA.
      unsigned char c1 = static_cast<unsigned char>(out[i + 1]);
      unsigned char c2 = static_cast<unsigned char>(out[i + 2]);
      if (c1 == 0xBD && c2 >= 0x81 && c2 <= 0x9A) {
        out[i + 1] = static_cast<char>(0xBC);
        out[i + 2] = static_cast<char>(c2 - 0x81 + 0xA1);
      }
      i += 2;
    }
  }
  return out;
}

}  // namespace kastel::vb
