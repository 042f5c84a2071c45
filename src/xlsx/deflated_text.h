// A part's text held deflated, as a zip entry holds it. A changed part that waits for the save
// is kept so: a large workbook changed sheet by sheet would otherwise hold the text of every
// changed sheet, several times the size of the file, and the save copies the bytes as they are
// instead of deflating them then.
#ifndef KASTEL_XLSX_DEFLATED_TEXT_H_
#define KASTEL_XLSX_DEFLATED_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace kastel::xlsx {

struct DeflatedText {
  std::string bytes;       // raw deflate data, as a zip entry stores it
  std::uint32_t crc = 0;   // of the text
  std::uint64_t size = 0;  // of the text
};

// Deflates at the level the save uses for parts it writes.
DeflatedText Deflate(std::string_view text);
// The text again. Throws std::runtime_error should the bytes not inflate to it, which only a
// fault of this program could cause.
std::string Inflate(const DeflatedText& deflated);

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_DEFLATED_TEXT_H_
