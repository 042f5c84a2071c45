// Conversions that behave as the VB6 runtime did on a Japanese system, so that texts written
// into scripts and numbers read from document properties come out as the system always gave them.
#ifndef KASTEL_BASE_VB_H_
#define KASTEL_BASE_VB_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "base/value.h"

namespace kastel::vb {

// "" & value: empty and null give "", numbers up to 15 significant digits ("12", "1.5",
// "1E+20"), booleans "True"/"False", dates "2024/01/05", "2024/01/05 9:03:07" or "9:03:07".
// Throws Error 13 (type mismatch) for a cell error value.
std::string Concat(const Value& value);

// The runtime's text form of a double (CStr).
std::string NumberText(double number);

// The runtime's text form of a date serial (days since 1899-12-30).
std::string DateText(double serial);

// True when the text reads as a number to the runtime: blanks around it, a sign, digits with
// at most one decimal point and an optional exponent.
bool IsNumericText(std::string_view text);

// IsNumeric(value): numbers, booleans, empty and numeric texts.
bool IsNumeric(const Value& value);

// CInt: rounds halves to the even neighbour. Throws Error 13 for text that is not a number
// (empty text included) or for an error value, Error 6 outside -32768..32767.
std::int16_t CInt(const Value& value);
std::int16_t CInt(std::string_view text);

// Rounds halves to the even neighbour, as the runtime's integer conversions do.
double RoundHalfEven(double x);

// UCase for the characters a table or column name holds (ASCII and full-width Latin letters).
std::string UCase(std::string_view text);

}  // namespace kastel::vb

#endif  // KASTEL_BASE_VB_H_
