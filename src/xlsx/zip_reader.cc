#include "xlsx/zip_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <zlib.h>

#include "xlsx/package_messages.h"

namespace kastel::xlsx {
namespace {

// Below this many inflated bytes the ratio is not judged: a small part of repeated markup
// compresses very well without being a bomb.
constexpr std::uint64_t kRatioGrace = 1u << 20;
constexpr std::size_t kChunk = 64 * 1024;
// Compressed bytes fed to zlib at a time: the ratio is judged per feed, so a bomb is stopped
// within about kInput / min_compression_ratio inflated bytes.
constexpr std::size_t kInput = 16 * 1024;
// The most memory reserved up front for one part, whatever its declared size.
constexpr std::uint64_t kReserveBound = 16u << 20;

// The CRC-32 a zip entry records for `bytes`.
uLong CrcOf(std::string_view bytes) {
  return crc32_z(0, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size());
}

// A file that starts like a zip but has no readable directory is damaged (often truncated);
// anything else is simply not a package.
std::string OpenCause(int zip_error, bool looks_like_zip) {
  if (zip_error == ZIP_ER_NOZIP && !looks_like_zip) return messages::NotPackage();
  return messages::DamagedZip();
}

bool StartsLikeZip(std::string_view head) { return head.substr(0, 2) == "PK"; }

// Deflated entries with a CRC are inflated here rather than by libzip (see InflateDeflated).
bool InflatedHere(const zip_stat_t& st) {
  return (st.valid & ZIP_STAT_COMP_METHOD) && st.comp_method == ZIP_CM_DEFLATE &&
         (st.valid & ZIP_STAT_CRC) && (st.valid & ZIP_STAT_COMP_SIZE) && st.comp_size > 0;
}

// The inflated size the directory declares, or 0; it may lie.
std::uint64_t DeclaredSize(const zip_stat_t& st) {
  return (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
}

}  // namespace

ZipReader::ZipReader(zip_t* archive, std::string path, std::uint64_t file_size, std::string bytes)
    : archive_(archive), path_(std::move(path)), file_size_(file_size), bytes_(std::move(bytes)) {}

ZipReader::~ZipReader() {
  if (archive_ != nullptr) zip_discard(archive_);
}

std::unique_ptr<ZipReader> ZipReader::OpenFile(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    int error = errno;
    if (error == ENOENT || error == ENOTDIR)
      throw messages::OpenFailure(path, messages::NotFound());
    throw messages::OpenFailure(path, messages::Unreadable());
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    throw messages::OpenFailure(path, messages::NotAFile());
  }
  char head[2] = {};
  bool looks_like_zip = pread(fd, head, 2, 0) == 2 && StartsLikeZip(std::string_view(head, 2));
  int zip_error = 0;
  zip_t* archive = zip_fdopen(fd, 0, &zip_error);
  if (archive == nullptr) {
    close(fd);
    throw messages::OpenFailure(path, OpenCause(zip_error, looks_like_zip));
  }
  std::unique_ptr<ZipReader> reader(
      new ZipReader(archive, path, static_cast<std::uint64_t>(st.st_size), std::string()));
  reader->identity_ = FileIdentity::Of(st);
  return reader;
}

std::unique_ptr<ZipReader> ZipReader::OpenBytes(std::string bytes, const std::string& name) {
  zip_error_t error;
  zip_error_init(&error);
  // The reader keeps the bytes; libzip only borrows them.
  // The size is taken before the bytes move into the reader: the order in which a call's
  // arguments are worked out is not fixed, and a zero size would cap every entry at nothing.
  const std::uint64_t size = bytes.size();
  std::unique_ptr<ZipReader> reader(new ZipReader(nullptr, name, size, std::move(bytes)));
  zip_source_t* source =
      zip_source_buffer_create(reader->bytes_.data(), reader->bytes_.size(), 0, &error);
  if (source == nullptr) {
    zip_error_fini(&error);
    throw messages::OpenFailure(name, messages::DamagedZip());
  }
  reader->archive_ = zip_open_from_source(source, ZIP_RDONLY, &error);
  if (reader->archive_ == nullptr) {
    int code = zip_error_code_zip(&error);
    zip_source_free(source);
    zip_error_fini(&error);
    throw messages::OpenFailure(name, OpenCause(code, StartsLikeZip(reader->bytes_)));
  }
  zip_error_fini(&error);
  return reader;
}

std::uint64_t ZipReader::EntryCount() const {
  zip_int64_t count = zip_get_num_entries(archive_, 0);
  return count < 0 ? 0 : static_cast<std::uint64_t>(count);
}

std::string ZipReader::Name(std::uint64_t index) const {
  const char* name = zip_get_name(archive_, index, 0);
  if (name == nullptr) throw messages::OpenFailure(path_, messages::DamagedZip());
  return name;
}

std::uint64_t ZipReader::CompressedSize(std::uint64_t index, std::string_view part) const {
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(archive_, index, 0, &st) != 0) {
    throw messages::OpenFailure(path_, messages::DamagedPart(part));
  }
  // The directory may claim more compressed bytes than the file holds, to hide a bomb.
  std::uint64_t size = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : file_size_;
  return std::min(size, file_size_);
}

// Counts what one entry gives and refuses it as soon as a limit breaks.
class ZipReader::Meter {
 public:
  Meter(std::string_view path, std::string_view part, const PackageLimits& limits,
        std::uint64_t* total)
      : path_(path), part_(part), limits_(limits), total_(total) {}

  // `produced` more inflated bytes, made from `consumed` compressed bytes so far.
  void Count(std::size_t produced, std::uint64_t consumed) {
    inflated_ += produced;
    *total_ += produced;
    if (inflated_ > limits_.max_part_size || *total_ > limits_.max_total_size) {
      Fail(messages::TooLarge(part_));
    }
    if (inflated_ > kRatioGrace &&
        static_cast<double>(consumed) <
            limits_.min_compression_ratio * static_cast<double>(inflated_)) {
      Fail(messages::TooCompressed(part_));
    }
  }
  [[noreturn]] void Fail(std::string_view cause) const {
    throw messages::OpenFailure(path_, cause);
  }
  [[noreturn]] void Damaged() const { Fail(messages::DamagedPart(part_)); }

 private:
  std::string_view path_;
  std::string_view part_;
  const PackageLimits& limits_;
  std::uint64_t* total_;
  std::uint64_t inflated_ = 0;
};

std::string ZipReader::Inflate(std::uint64_t index, std::string_view part,
                               const PackageLimits& limits, std::uint64_t* total) const {
  Meter meter(path_, part, limits, total);
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(archive_, index, 0, &st) != 0) meter.Damaged();
  if (InflatedHere(st)) {
    // The size the directory declares only sizes the first buffer, within a bound: it may lie.
    return InflateDeflated(index, st.crc, std::min<std::uint64_t>(DeclaredSize(st), kReserveBound),
                           meter);
  }
  return ReadThroughLibzip(index, CompressedSize(index, part), meter);
}

// Deflated entries (all of them, in practice) are inflated here rather than by libzip, so
// that the ratio is judged on the compressed bytes consumed so far: a bomb is refused after
// its first megabyte instead of after hundreds.
std::string ZipReader::InflateDeflated(std::uint64_t index, std::uint32_t crc,
                                       std::uint64_t reserve, Meter& meter) const {
  zip_file_t* file = zip_fopen_index(archive_, index, ZIP_FL_COMPRESSED);
  if (file == nullptr) meter.Damaged();
  std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> closer(file, zip_fclose);
  return InflateStream(
      [file](char* buffer, std::size_t size) { return zip_fread(file, buffer, size); }, crc,
      reserve, meter);
}

template <typename Next>
std::string ZipReader::InflateStream(Next next, std::uint32_t crc, std::uint64_t reserve,
                                     Meter& meter) {
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) meter.Damaged();
  std::unique_ptr<z_stream, int (*)(z_stream*)> ender(&stream, inflateEnd);
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(reserve));
  // Left unset: clearing them cost as much as a small part's inflating.
  const auto in = std::make_unique_for_overwrite<char[]>(kInput);
  const auto out = std::make_unique_for_overwrite<char[]>(kChunk);
  std::uint64_t consumed = 0;
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    const auto n = static_cast<std::int64_t>(next(in.get(), kInput));
    if (n <= 0) meter.Damaged();  // an error, or the data ends before the stream does
    consumed += static_cast<std::uint64_t>(n);
    stream.next_in = reinterpret_cast<Bytef*>(in.get());
    stream.avail_in = static_cast<uInt>(n);
    do {
      stream.next_out = reinterpret_cast<Bytef*>(out.get());
      stream.avail_out = static_cast<uInt>(kChunk);
      status = inflate(&stream, Z_NO_FLUSH);
      if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) meter.Damaged();
      std::size_t produced = kChunk - stream.avail_out;
      meter.Count(produced, consumed);
      bytes.append(out.get(), produced);
    } while (status != Z_STREAM_END && stream.avail_out == 0);
  }
  if (CrcOf(bytes) != crc) meter.Damaged();
  return bytes;
}

std::optional<ZipReader::Taken> ZipReader::Take(std::uint64_t index, std::string_view part) const {
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(archive_, index, 0, &st) != 0 || !InflatedHere(st)) return std::nullopt;
  zip_file_t* file = zip_fopen_index(archive_, index, ZIP_FL_COMPRESSED);
  if (file == nullptr) return std::nullopt;
  std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> closer(file, zip_fclose);
  Taken taken;
  taken.crc = st.crc;
  taken.declared_size = DeclaredSize(st);
  // The directory may claim more compressed bytes than the file holds.
  taken.compressed.resize(static_cast<std::size_t>(CompressedSize(index, part)));
  const zip_int64_t n = zip_fread(file, taken.compressed.data(), taken.compressed.size());
  // A short read leaves the entry to Inflate, which names the damage where it is met.
  if (n < 0 || static_cast<std::uint64_t>(n) != taken.compressed.size()) return std::nullopt;
  return taken;
}

namespace {

// A small part whose directory entry tells its size, inflated in one call straight into its
// own buffer: zlib then copies nothing into its window, and no chunk is copied out. Nothing
// when the stream does not end within the declared size, or does not match its CRC: the
// metered stream then reads the part again and names what is wrong.
std::optional<std::string> InflateWhole(const std::string& compressed, std::uint64_t declared,
                                        std::uint32_t crc) {
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return std::nullopt;
  std::unique_ptr<z_stream, int (*)(z_stream*)> ender(&stream, inflateEnd);
  std::string bytes(static_cast<std::size_t>(declared), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
  stream.avail_in = static_cast<uInt>(compressed.size());
  stream.next_out = reinterpret_cast<Bytef*>(bytes.data());
  stream.avail_out = static_cast<uInt>(bytes.size());
  if (inflate(&stream, Z_FINISH) != Z_STREAM_END) return std::nullopt;
  bytes.resize(stream.total_out);
  if (CrcOf(bytes) != crc) return std::nullopt;
  return bytes;
}

}  // namespace

std::string ZipReader::InflateTaken(const Taken& taken, std::string_view path,
                                    std::string_view part, const PackageLimits& limits,
                                    std::uint64_t* total) {
  Meter meter(path, part, limits, total);
  const std::string& compressed = taken.compressed;
  // Below the grace the ratio is not judged, so counting the part whole judges it as the
  // stream would.
  if (taken.declared_size > 0 && taken.declared_size <= kRatioGrace &&
      compressed.size() <= kRatioGrace) {
    if (std::optional<std::string> bytes =
            InflateWhole(compressed, taken.declared_size, taken.crc)) {
      meter.Count(bytes->size(), compressed.size());
      return std::move(*bytes);
    }
  }
  std::size_t at = 0;
  return InflateStream(
      [&](char* buffer, std::size_t size) {
        const std::size_t n = std::min(size, compressed.size() - at);
        std::copy_n(compressed.data() + at, n, buffer);
        at += n;
        return static_cast<std::int64_t>(n);
      },
      taken.crc, std::min<std::uint64_t>(taken.declared_size, kReserveBound), meter);
}

// Stored entries and rare methods: libzip inflates and checks the CRC; the ratio is judged on
// the entry's whole compressed size.
std::string ZipReader::ReadThroughLibzip(std::uint64_t index, std::uint64_t compressed,
                                         Meter& meter) const {
  zip_file_t* file = zip_fopen_index(archive_, index, 0);
  if (file == nullptr) meter.Damaged();
  std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> closer(file, zip_fclose);
  std::string bytes;
  std::vector<char> buffer(kChunk);
  for (;;) {
    zip_int64_t n = zip_fread(file, buffer.data(), buffer.size());
    if (n < 0) meter.Damaged();
    if (n == 0) break;
    meter.Count(static_cast<std::size_t>(n), compressed);
    bytes.append(buffer.data(), static_cast<std::size_t>(n));
  }
  return bytes;
}

}  // namespace kastel::xlsx
