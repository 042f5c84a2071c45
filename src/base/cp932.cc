#include "base/cp932.h"

#include <iconv.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kastel::cp932 {
namespace {

// The number of ASCII bytes `text` starts with. Runs of ASCII are most of any script, and the
// encoding copies them whole: the scripts of a large workbook are tens of megabytes, so the
// bytes are looked at sixteen at a time where the machine can.
std::size_t AsciiRun(std::string_view text) {
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= text.size(); i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    const auto high = static_cast<unsigned>(_mm_movemask_epi8(chunk));
    if (high != 0) return i + static_cast<std::size_t>(std::countr_zero(high));
  }
#else
  for (std::uint64_t word; i + 8 <= text.size(); i += 8) {
    std::memcpy(&word, text.data() + i, 8);
    if (word & 0x8080808080808080u) break;
  }
#endif
  while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
  return i;
}

// Length of the UTF-8 sequence that starts with `lead`, or 0 when it cannot start one.
std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The code point of a two- or three-byte sequence that is certainly valid UTF-8, or 0 when it
// is not (bad continuation bytes, an overlong form, a surrogate): such sequences, and the rare
// four-byte ones, go to iconv one by one so that they turn out exactly as iconv decides.
char32_t BmpCodePoint(std::string_view seq) {
  auto cont = [&](std::size_t i) { return (static_cast<unsigned char>(seq[i]) & 0xC0) == 0x80; };
  const auto lead = static_cast<unsigned char>(seq[0]);
  if (seq.size() == 2) {
    if (!cont(1)) return 0;
    return (char32_t{lead} & 0x1F) << 6 | (static_cast<unsigned char>(seq[1]) & 0x3F);
  }
  if (seq.size() != 3 || !cont(1) || !cont(2)) return 0;
  const char32_t c = (char32_t{lead} & 0x0F) << 12 |
                     char32_t{static_cast<unsigned char>(seq[1]) & 0x3Fu} << 6 |
                     (static_cast<unsigned char>(seq[2]) & 0x3F);
  if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return c;
}

// What a character of the Basic Multilingual Plane becomes, looked up in iconv the first time
// the character is met and remembered: script text repeats a few hundred characters millions
// of times, and one iconv call per character was the largest cost of writing a script.
class Converter {
 public:
  Converter() : cd_(iconv_open("CP932", "UTF-8")), bmp_(0x10000, kUnknown) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error("iconv: CP932 is not available");
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Appends the CP932 form of one UTF-8 sequence (of SequenceLength bytes); false when CP932
  // has no such character (or the bytes are not one).
  bool Append(std::string_view seq, std::string& out) {
    const std::uint16_t known = Known(seq);
    if (known == kUnmapped) return false;
    if (known == kAskEveryTime) return Convert(seq, out);
    if (known >= 0x8000) out.push_back(static_cast<char>(known >> 8));
    out.push_back(static_cast<char>(known & 0xFF));
    return true;
  }

  // Whether CP932 holds the character of one sequence.
  bool Holds(std::string_view seq) {
    const std::uint16_t known = Known(seq);
    if (known != kAskEveryTime) return known != kUnmapped;
    std::string bytes;
    return Convert(seq, bytes);
  }

  // The number of CP932 bytes of one sequence; 1 for a character CP932 does not hold.
  std::size_t Width(std::string_view seq) {
    const std::uint16_t known = Known(seq);
    if (known == kUnmapped) return 1;
    if (known != kAskEveryTime) return known >= 0x8000 ? 2 : 1;
    std::string bytes;
    return Convert(seq, bytes) ? bytes.size() : 1;
  }

 private:
  // Table entries: not looked up yet, no CP932 form, a form that does not fit the table; else
  // 0x100 | byte for a single byte, lead << 8 | trail for two (leads are 0x81 and up).
  static constexpr std::uint16_t kUnknown = 0;
  static constexpr std::uint16_t kUnmapped = 1;
  static constexpr std::uint16_t kAskEveryTime = 2;

  // The table entry of one sequence, learnt on first use; kAskEveryTime for a sequence the
  // table does not cover (not a plain BMP character).
  std::uint16_t Known(std::string_view seq) {
    const char32_t c = BmpCodePoint(seq);
    if (c == 0) return kAskEveryTime;
    std::uint16_t& known = bmp_[c];
    if (known == kUnknown) known = Learn(seq);
    return known;
  }

  std::uint16_t Learn(std::string_view seq) {
    std::string bytes;
    if (!Convert(seq, bytes)) return kUnmapped;
    const auto b0 = bytes.empty() ? 0u : static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 1) return static_cast<std::uint16_t>(0x100 | b0);
    if (bytes.size() == 2 && b0 >= 0x81) {
      return static_cast<std::uint16_t>(b0 << 8 | static_cast<unsigned char>(bytes[1]));
    }
    return kAskEveryTime;
  }

  // Converts one UTF-8 character; false when CP932 has no such character.
  bool Convert(std::string_view ch, std::string& out) {
    char buf[8];
    char* in = const_cast<char*>(ch.data());
    std::size_t in_left = ch.size();
    char* o = buf;
    std::size_t out_left = sizeof buf;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd_, &in, &in_left, &o, &out_left) == static_cast<std::size_t>(-1)) return false;
    out.append(buf, static_cast<std::size_t>(o - buf));
    return true;
  }

  iconv_t cd_;
  std::vector<std::uint16_t> bmp_;
};

Converter& ThreadConverter() {
  thread_local Converter converter;
  return converter;
}

}  // namespace

std::string Encode(std::string_view utf8) {
  std::string out;
  EncodeTo(utf8, out);
  return out;
}

void EncodeTo(std::string_view utf8, std::string& out) {
  out.reserve(out.size() + utf8.size());
  const char* const data = utf8.data();
  const std::size_t size = utf8.size();
  std::size_t i = 0;
  while (i < size) {
    const std::size_t run = AsciiRun({data + i, size - i});
    out.append(data + i, run);
    i += run;
    if (i == size) break;
    // Then the characters up to the next ASCII: names and titles come a few together.
    Converter& converter = ThreadConverter();
    while (i < size && static_cast<unsigned char>(data[i]) >= 0x80) {
      const std::size_t len = SequenceLength(static_cast<unsigned char>(data[i]));
      if (len == 0 || len > size - i) {
        out.push_back('?');
        ++i;
        continue;
      }
      if (!converter.Append({data + i, len}, out)) out.push_back('?');
      i += len;
    }
  }
}

bool Holds(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    const std::size_t len = SequenceLength(lead);
    if (len == 0 || i + len > utf8.size() || !ThreadConverter().Holds(utf8.substr(i, len))) {
      return false;
    }
    i += len;
  }
  return true;
}

std::size_t Width(std::string_view utf8) {
  std::size_t width = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      ++width;
      ++i;
      continue;
    }
    std::size_t len = SequenceLength(lead);
    if (len == 0 || i + len > utf8.size()) {
      ++width;
      ++i;
      continue;
    }
    width += ThreadConverter().Width(utf8.substr(i, len));
    i += len;
  }
  return width;
}

}  // namespace kastel::cp932
