#include "xlsx/zip_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "xlsx/package_messages.h"

namespace kastel::xlsx {
namespace {

// Below this many inflated bytes the ratio is not judged: a small part of repeated markup
// compresses very well without being a bomb.
constexpr std::uint64_t kRatioGrace = 1u << 20;
constexpr std::size_t kChunk = 64 * 1024;

// A file that starts like a zip but has no readable directory is damaged (often truncated);
// anything else is simply not a package.
std::string OpenCause(int zip_error, bool looks_like_zip) {
  if (zip_error == ZIP_ER_NOZIP && !looks_like_zip) return messages::NotPackage();
  return messages::DamagedZip();
}

bool StartsLikeZip(std::string_view head) { return head.substr(0, 2) == "PK"; }

}  // namespace

ZipReader::ZipReader(zip_t* archive, std::string path, std::uint64_t file_size, std::string bytes)
    : archive_(archive), path_(std::move(path)), file_size_(file_size), bytes_(std::move(bytes)) {}

ZipReader::~ZipReader() { zip_discard(archive_); }

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
  return std::unique_ptr<ZipReader>(
      new ZipReader(archive, path, static_cast<std::uint64_t>(st.st_size), std::string()));
}

std::unique_ptr<ZipReader> ZipReader::OpenBytes(std::string bytes, const std::string& name) {
  zip_error_t error;
  zip_error_init(&error);
  // The reader keeps the bytes; libzip only borrows them.
  std::unique_ptr<ZipReader> reader(new ZipReader(nullptr, name, bytes.size(), std::move(bytes)));
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

std::string ZipReader::Inflate(std::uint64_t index, std::string_view part,
                               const PackageLimits& limits, std::uint64_t* total) const {
  std::uint64_t compressed = CompressedSize(index, part);
  zip_file_t* file = zip_fopen_index(archive_, index, 0);
  if (file == nullptr) throw messages::OpenFailure(path_, messages::DamagedPart(part));
  std::string bytes;
  std::uint64_t inflated = 0;
  char buffer[kChunk];
  for (;;) {
    zip_int64_t n = zip_fread(file, buffer, sizeof buffer);
    if (n < 0) {
      zip_fclose(file);
      throw messages::OpenFailure(path_, messages::DamagedPart(part));
    }
    if (n == 0) break;
    inflated += static_cast<std::uint64_t>(n);
    *total += static_cast<std::uint64_t>(n);
    std::string cause;
    if (inflated > limits.max_part_size || *total > limits.max_total_size) {
      cause = messages::TooLarge(part);
    } else if (inflated > kRatioGrace &&
               static_cast<double>(compressed) <
                   limits.min_compression_ratio * static_cast<double>(inflated)) {
      cause = messages::TooCompressed(part);
    }
    if (!cause.empty()) {
      zip_fclose(file);
      throw messages::OpenFailure(path_, cause);
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  zip_fclose(file);
  return bytes;
}

}  // namespace kastel::xlsx
