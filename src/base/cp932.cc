#include "base/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace kastel::cp932 {
namespace {

// Length of the UTF-8 sequence that starts with `lead`, or 0 when it cannot start one.
std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

class Converter {
 public:
  Converter() : cd_(iconv_open("CP932", "UTF-8")) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error("iconv: CP932 is not available");
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

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

 private:
  iconv_t cd_;
};

Converter& ThreadConverter() {
  thread_local Converter converter;
  return converter;
}

}  // namespace

std::string Encode(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      out.push_back(static_cast<char>(lead));
      ++i;
      continue;
    }
    std::size_t len = SequenceLength(lead);
    if (len == 0 || i + len > utf8.size()) {
      out.push_back('?');
      ++i;
      continue;
    }
    if (!ThreadConverter().Convert(utf8.substr(i, len), out)) out.push_back('?');
    i += len;
  }
  return out;
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
    std::string bytes;
    width += ThreadConverter().Convert(utf8.substr(i, len), bytes) ? bytes.size() : 1;
    i += len;
  }
  return width;
}

}  // namespace kastel::cp932
