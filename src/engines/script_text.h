// Pieces of SQL text the dialects share: how a block is put together, the padding that lines up
// columns by their CP932 width, the column line of a table statement, and the lines of a
// catalogue query.
#ifndef KASTEL_ENGINES_SCRIPT_TEXT_H_
#define KASTEL_ENGINES_SCRIPT_TEXT_H_

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>

#include "engines/sheet_reader.h"

namespace kastel::engines {

inline constexpr std::string_view kCrLf = "\r\n";

// A script block: the heading line "-- " + title, then every further line after a line break
// (CR LF unless told otherwise); the finished block ends with two more, so the last line is
// terminated and one empty line follows.
class Block {
 public:
  explicit Block(std::string_view title, std::string_view eol = kCrLf);
  // Appends the pieces as one line; Line("") appends an empty line.
  template <typename... Pieces>
  Block& Line(std::string_view first, Pieces&&... rest) {
    const std::string_view pieces[] = {eol_, first, std::string_view(rest)...};
    Append(pieces, std::size(pieces));
    return *this;
  }
  // Room for `bytes` in all, for a block whose size is known roughly beforehand.
  void Reserve(std::size_t bytes) { text_.reserve(bytes); }
  // The block with its closing CR LF CR LF.
  std::string Finish() &&;

 private:
  // Grows the text once for all the pieces of a line, then copies them: a comment block is
  // some forty pieces a column, and appending them one by one checked the room each time.
  void Append(const std::string_view* pieces, std::size_t count);

  std::string text_;
  std::string_view eol_;
};

// `text` followed by spaces up to `width` CP932 bytes; never cut.
std::string PadRightB(std::string_view text, std::size_t width);

// One column of a CREATE TABLE statement, the same for both dialects: the lead ("   " for the
// first column, "  ," after it), the name filled to 32, the data type to 20, the default part
// and the null part.
std::string ColumnLine(const ColumnRow& column, bool first);

// `lines` joined by line feeds, as the catalogue queries are sent.
std::string JoinLines(std::initializer_list<std::string> lines);

// Every "'" of `text` doubled, for a text between apostrophes.
std::string QuoteDoubled(std::string_view text);

}  // namespace kastel::engines

#endif  // KASTEL_ENGINES_SCRIPT_TEXT_H_
