#include "xlsx/deflated_text.h"

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace kastel::xlsx {
namespace {

// The level of the parts the save deflates itself: the fastest.
constexpr int kLevel = 1;

// zlib counts in uInt: texts beyond it go in steps.
constexpr std::size_t kStep = std::size_t{1} << 30;

}  // namespace

DeflatedText Deflate(std::string_view text) {
  DeflatedText out;
  out.size = text.size();
  out.crc = static_cast<std::uint32_t>(
      crc32_z(0, reinterpret_cast<const Bytef*>(text.data()), text.size()));
  z_stream stream{};
  if (deflateInit2(&stream, kLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2");
  }
  std::unique_ptr<z_stream, int (*)(z_stream*)> ender(&stream, deflateEnd);
  // Left unset: clearing room for the whole text would cost more than the copy out of it.
  const std::size_t room = deflateBound(&stream, static_cast<uLong>(text.size())) + 64;
  const auto buffer = std::make_unique_for_overwrite<char[]>(room);
  stream.next_out = reinterpret_cast<Bytef*>(buffer.get());
  std::size_t at = 0;
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    const std::size_t step = std::min(kStep, text.size() - at);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data() + at));
    stream.avail_in = static_cast<uInt>(step);
    at += step;
    stream.avail_out = static_cast<uInt>(std::min(kStep, room - stream.total_out));
    status = deflate(&stream, at == text.size() ? Z_FINISH : Z_NO_FLUSH);
    if (status == Z_STREAM_ERROR || (status == Z_BUF_ERROR && stream.avail_out == 0)) {
      throw std::runtime_error("deflate");
    }
  }
  out.bytes.assign(buffer.get(), stream.total_out);
  return out;
}

std::string Inflate(const DeflatedText& deflated) {
  std::string text(deflated.size, '\0');
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) throw std::runtime_error("inflateInit2");
  std::unique_ptr<z_stream, int (*)(z_stream*)> ender(&stream, inflateEnd);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(deflated.bytes.data()));
  stream.avail_in = static_cast<uInt>(deflated.bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(text.data());
  stream.avail_out = static_cast<uInt>(text.size());
  if (inflate(&stream, Z_FINISH) != Z_STREAM_END || stream.total_out != text.size()) {
    throw std::runtime_error("inflate");
  }
  return text;
}

}  // namespace kastel::xlsx
