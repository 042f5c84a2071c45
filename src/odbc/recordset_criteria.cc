#include "odbc/recordset_criteria.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstddef>
#include <optional>

#include "base/vb.h"
#include "odbc/ado_error.h"
#include "odbc/connection_string.h"

namespace kastel::odbc {
namespace {

[[noreturn]] void Unreadable() { throw MakeAdoError(AdoError::kInvalidArgument); }

// A cursor over the criteria text.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool AtEnd() {
    SkipBlanks();
    return pos_ >= text_.size();
  }
  bool Take(char c) {
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  // A field name: [any text] or a run of letters, digits, "_", "$", "#" and non-ASCII bytes.
  std::string Name() {
    SkipBlanks();
    if (Take('[')) {
      std::size_t end = text_.find(']', pos_);
      if (end == std::string_view::npos) Unreadable();
      std::string name(text_.substr(pos_, end - pos_));
      pos_ = end + 1;
      return name;
    }
    std::size_t start = pos_;
    while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
    if (pos_ == start) Unreadable();
    return std::string(text_.substr(start, pos_ - start));
  }
  CompareOp Op() {
    SkipBlanks();
    std::string_view rest = text_.substr(pos_);
    static constexpr std::pair<std::string_view, CompareOp> kOps[] = {
        {"<>", CompareOp::kNotEqual},     {"<=", CompareOp::kLessEqual},
        {">=", CompareOp::kGreaterEqual}, {"=", CompareOp::kEqual},
        {"<", CompareOp::kLess},          {">", CompareOp::kGreater}};
    for (const auto& [text, op] : kOps) {
      if (rest.starts_with(text)) {
        pos_ += text.size();
        return op;
      }
    }
    Unreadable();
  }
  Value Literal() {
    SkipBlanks();
    if (Take('\'')) {
      std::string out;
      for (;;) {
        if (pos_ >= text_.size()) Unreadable();
        char c = text_[pos_++];
        if (c != '\'') {
          out += c;
        } else if (pos_ < text_.size() && text_[pos_] == '\'') {
          out += '\'';
          ++pos_;
        } else {
          return Value::Text(out);
        }
      }
    }
    std::string word = Name();
    if (SameKey(word, "NULL")) return Value::Null();
    double number = 0;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), number);
    if (ec != std::errc() || end != word.data() + word.size()) Unreadable();
    return Value::Number(number);
  }
  // The next word, without consuming it unless it equals `word` ignoring case.
  bool TakeWord(std::string_view word) {
    SkipBlanks();
    std::string_view rest = text_.substr(pos_);
    if (rest.size() < word.size() || !SameKey(rest.substr(0, word.size()), word)) return false;
    if (rest.size() > word.size() && IsNameChar(rest[word.size()])) return false;
    pos_ += word.size();
    return true;
  }

 private:
  static bool IsNameChar(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '$' || c == '#' || c == '.' || c == '-' ||
           c == '+' || u >= 0x80;
  }
  void SkipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

// The number a numeric text stands for, read the same way whatever the process locale.
std::optional<double> TextNumber(const Value& v) {
  if (v.kind() != Value::Kind::kText || !vb::IsNumericText(v.text())) return std::nullopt;
  std::string_view t = v.text();
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  if (t.starts_with('+')) t.remove_prefix(1);
  double n = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
  if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return n;
}

int Rank(const Value& v) {
  switch (v.kind()) {
    case Value::Kind::kEmpty:
    case Value::Kind::kNull:
      return 0;
    case Value::Kind::kBoolean:
      return 1;
    case Value::Kind::kNumber:
      return 2;
    case Value::Kind::kDate:
      return 3;
    case Value::Kind::kText:
      return 4;
    case Value::Kind::kError:
      return 5;
  }
  return 5;
}

template <typename T>
int Cmp(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Sorting ignores the case of ASCII letters, as the client cursor's sort does; texts equal but
// for case keep their order.
int CompareTextForSort(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca + 32);
    if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb + 32);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return Cmp(a.size(), b.size());
}

bool Holds(CompareOp op, int c) {
  switch (op) {
    case CompareOp::kEqual:
      return c == 0;
    case CompareOp::kNotEqual:
      return c != 0;
    case CompareOp::kLess:
      return c < 0;
    case CompareOp::kGreater:
      return c > 0;
    case CompareOp::kLessEqual:
      return c <= 0;
    case CompareOp::kGreaterEqual:
      return c >= 0;
  }
  return false;
}

}  // namespace

std::vector<Comparison> ParseFilter(std::string_view criteria) {
  std::vector<Comparison> out;
  Scanner s(criteria);
  if (s.AtEnd()) return out;
  do {
    Comparison c;
    c.field = s.Name();
    c.op = s.Op();
    c.literal = s.Literal();
    out.push_back(std::move(c));
  } while (s.TakeWord("AND"));
  if (!s.AtEnd()) Unreadable();
  return out;
}

bool Satisfies(const Value& value, CompareOp op, const Value& literal) {
  bool null = value.kind() == Value::Kind::kNull || value.kind() == Value::Kind::kEmpty;
  if (literal.kind() == Value::Kind::kNull) {
    if (op == CompareOp::kEqual) return null;
    if (op == CompareOp::kNotEqual) return !null;
    return false;
  }
  if (null) return false;
  if (literal.kind() == Value::Kind::kNumber) {
    double n = 0;
    if (value.kind() == Value::Kind::kNumber) {
      n = value.number();
    } else if (std::optional<double> parsed = TextNumber(value)) {
      n = *parsed;
    } else {
      return false;
    }
    return Holds(op, Cmp(n, literal.number()));
  }
  if (value.kind() == Value::Kind::kError) return false;
  // Text is compared where it lies: a filter runs over every row of a rowset once per table.
  const std::string converted =
      value.kind() == Value::Kind::kText ? std::string() : vb::Concat(value);
  const std::string& text = value.kind() == Value::Kind::kText ? value.text() : converted;
  const int order = text.compare(literal.text());
  return Holds(op, order < 0 ? -1 : (order == 0 ? 0 : 1));
}

std::vector<SortKey> ParseSort(std::string_view keys) {
  std::vector<SortKey> out;
  Scanner s(keys);
  if (s.AtEnd()) return out;
  do {
    SortKey k;
    k.field = s.Name();
    if (s.TakeWord("DESC")) {
      k.descending = true;
    } else {
      s.TakeWord("ASC");
    }
    out.push_back(std::move(k));
  } while (s.Take(','));
  if (!s.AtEnd()) Unreadable();
  return out;
}

int CompareForSort(const Value& a, const Value& b) {
  int ra = Rank(a), rb = Rank(b);
  if (ra != rb) return Cmp(ra, rb);
  switch (a.kind()) {
    case Value::Kind::kBoolean:
      return Cmp(a.boolean(), b.boolean());
    case Value::Kind::kNumber:
      return Cmp(a.number(), b.number());
    case Value::Kind::kDate:
      return Cmp(a.date(), b.date());
    case Value::Kind::kText:
      return CompareTextForSort(a.text(), b.text());
    case Value::Kind::kError:
      return Cmp(a.error(), b.error());
    default:
      return 0;
  }
}

}  // namespace kastel::odbc
