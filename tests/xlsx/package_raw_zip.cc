#include "package_raw_zip.h"

#include <zlib.h>

#include <stdexcept>

namespace kastel::xlsx::testing {
namespace {

constexpr std::size_t kMiB = 1 << 20;

void Put16(std::string& out, std::uint64_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint64_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, (value >> 16) & 0xFFFF);
}

// Deflates `input` with `flush`, appending to `out`; the stream stays usable after
// Z_FULL_FLUSH.
void Pump(z_stream& stream, std::string_view input, int flush, std::string& out) {
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
  stream.avail_in = static_cast<uInt>(input.size());
  char buffer[64 * 1024];
  do {
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof buffer;
    if (deflate(&stream, flush) == Z_STREAM_ERROR) throw std::runtime_error("deflate");
    out.append(buffer, sizeof buffer - stream.avail_out);
  } while (stream.avail_out == 0 || stream.avail_in > 0);
}

struct Deflater {
  z_stream stream{};
  Deflater() {
    if (deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
      throw std::runtime_error("deflateInit2");
    }
  }
  ~Deflater() { deflateEnd(&stream); }
};

}  // namespace

std::string Deflate(std::string_view bytes) {
  Deflater deflater;
  std::string out;
  Pump(deflater.stream, bytes, Z_FINISH, out);
  return out;
}

RawZipEntry HonestEntry(std::string name, std::string_view bytes) {
  RawZipEntry entry;
  entry.name = std::move(name);
  entry.deflated = Deflate(bytes);
  entry.crc = static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
  entry.size = bytes.size();
  return entry;
}

RawZipEntry Zeros(std::string name, std::uint64_t size, std::uint64_t declared_size) {
  // After a full flush the compressor forgets its history, so every further megabyte of zeros
  // deflates to the same bytes: deflate one, repeat it, and close the stream.
  const std::string zeros(kMiB, '\0');
  Deflater deflater;
  std::string block;
  Pump(deflater.stream, zeros, Z_FULL_FLUSH, block);
  std::string second;
  Pump(deflater.stream, zeros, Z_FULL_FLUSH, second);
  RawZipEntry entry;
  entry.name = std::move(name);
  entry.deflated = block;
  for (std::uint64_t done = kMiB; done < size; done += kMiB) entry.deflated += second;
  Pump(deflater.stream, std::string_view(), Z_FINISH, entry.deflated);
  uLong crc = crc32(0, nullptr, 0);
  const uLong block_crc =
      crc32(0, reinterpret_cast<const Bytef*>(zeros.data()), static_cast<uInt>(kMiB));
  for (std::uint64_t done = 0; done < size; done += kMiB) {
    crc = crc32_combine(crc, block_crc, static_cast<z_off_t>(kMiB));
  }
  entry.crc = static_cast<std::uint32_t>(crc);
  entry.size = declared_size;
  return entry;
}

std::string BuildRawZip(const std::vector<RawZipEntry>& entries) {
  std::string zip;
  std::string directory;
  for (const RawZipEntry& entry : entries) {
    std::size_t offset = zip.size();
    auto common = [&](std::string& out) {
      Put16(out, 20);    // version needed
      Put16(out, 0);     // flags
      Put16(out, 8);     // deflate
      Put16(out, 0);     // time
      Put16(out, 0x21);  // date: 1980-01-01
      Put32(out, entry.crc);
      Put32(out, entry.deflated.size());
      Put32(out, entry.size);
      Put16(out, entry.name.size());
      Put16(out, 0);  // extra
    };
    Put32(zip, 0x04034b50);
    common(zip);
    zip += entry.name;
    zip += entry.deflated;

    Put32(directory, 0x02014b50);
    Put16(directory, 20);  // version made by
    common(directory);
    Put16(directory, 0);  // comment
    Put16(directory, 0);  // disk
    Put16(directory, 0);  // internal attributes
    Put32(directory, 0);  // external attributes
    Put32(directory, offset);
    directory += entry.name;
  }
  std::size_t directory_offset = zip.size();
  zip += directory;
  Put32(zip, 0x06054b50);
  Put16(zip, 0);
  Put16(zip, 0);
  Put16(zip, entries.size());
  Put16(zip, entries.size());
  Put32(zip, directory.size());
  Put32(zip, directory_offset);
  Put16(zip, 0);
  return zip;
}

}  // namespace kastel::xlsx::testing
