// The value of a cell or of a document property, as the host hands it over: a small variant of
// the kinds a spreadsheet cell can hold, with a null for database fields.
#ifndef KASTEL_BASE_VALUE_H_
#define KASTEL_BASE_VALUE_H_

#include <string>
#include <utility>
#include <variant>

namespace kastel {

class Value {
 public:
  enum class Kind { kEmpty, kNull, kText, kNumber, kBoolean, kDate, kError };

  // An empty cell.
  Value() = default;

  static Value Null() { return Value(NullTag{}); }
  static Value Text(std::string text) { return Value(std::move(text)); }
  static Value Number(double number) { return Value(number); }
  static Value Boolean(bool b) { return Value(b); }
  // A date and time as the VB runtime holds it: days since 1899-12-30, the fraction the time.
  static Value Date(double serial) { return Value(DateTag{serial}); }
  // A cell error value such as "#N/A" or "#DIV/0!".
  static Value ErrorValue(std::string text) { return Value(ErrorTag{std::move(text)}); }

  Kind kind() const { return static_cast<Kind>(v_.index()); }
  bool is_empty() const { return kind() == Kind::kEmpty; }

  // Accessors; each REQUIRES the matching kind.
  const std::string& text() const& { return std::get<std::string>(v_); }
  // The text moved out of a value about to go.
  std::string text() && { return std::move(std::get<std::string>(v_)); }
  double number() const { return std::get<double>(v_); }
  bool boolean() const { return std::get<bool>(v_); }
  double date() const { return std::get<DateTag>(v_).serial; }
  const std::string& error() const { return std::get<ErrorTag>(v_).text; }

  bool operator==(const Value& other) const = default;

 private:
  struct NullTag {
    bool operator==(const NullTag&) const = default;
  };
  struct DateTag {
    double serial;
    bool operator==(const DateTag&) const = default;
  };
  struct ErrorTag {
    std::string text;
    bool operator==(const ErrorTag&) const = default;
  };
  template <typename T>
  explicit Value(T v) : v_(std::move(v)) {}

  // The order of the alternatives follows Kind.
  std::variant<std::monostate, NullTag, std::string, double, bool, DateTag, ErrorTag> v_;
};

}  // namespace kastel

#endif  // KASTEL_BASE_VALUE_H_
