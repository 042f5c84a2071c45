// Read access to the zip of a package through libzip: the entry names and the inflated bytes of
// one entry, with the package's limits enforced while inflating. Sizes written in the zip are
// never trusted: the counts are of the bytes actually produced.
#ifndef KASTEL_XLSX_ZIP_READER_H_
#define KASTEL_XLSX_ZIP_READER_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <zip.h>

#include "xlsx/atomic_file.h"
#include "xlsx/package.h"

namespace kastel::xlsx {

class ZipReader {
 public:
  // Opens the zip at `path`, keeping it open (and so readable even after the file is replaced
  // on disk) until the reader ends. Throws kFileFormatError naming the file.
  static std::unique_ptr<ZipReader> OpenFile(const std::string& path);
  // Opens a zip held in memory; `name` stands for the file in messages.
  static std::unique_ptr<ZipReader> OpenBytes(std::string bytes, const std::string& name);

  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  std::uint64_t EntryCount() const;
  // The entry's name; throws when the directory holds none for it.
  std::string Name(std::uint64_t index) const;

  // The inflated bytes of entry `index`, known to the caller as `part`. Adds every inflated
  // byte to `*total`, which lives as long as the package. Throws kFileFormatError when a limit
  // is broken or the data is damaged.
  std::string Inflate(std::uint64_t index, std::string_view part, const PackageLimits& limits,
                      std::uint64_t* total) const;

  // A deflated entry's compressed bytes, taken to be inflated elsewhere (by InflateTaken, which
  // may run on any thread); nothing for an entry of another method, which Inflate reads.
  struct Taken {
    std::string compressed;
    std::uint32_t crc = 0;
    std::uint64_t declared_size = 0;
  };
  std::optional<Taken> Take(std::uint64_t index, std::string_view part) const;
  // Inflate of a taken entry of the zip at `path`, with the same limits and failures; `total`
  // is the package's count so far, to which the entry's bytes are added.
  static std::string InflateTaken(const Taken& taken, std::string_view path, std::string_view part,
                                  const PackageLimits& limits, std::uint64_t* total);

  // The libzip archive, for copying entries unchanged into a new zip.
  zip_t* archive() const { return archive_; }
  // The file as it was when opened; nothing for a zip in memory.
  const std::optional<FileIdentity>& identity() const { return identity_; }

 private:
  class Meter;

  ZipReader(zip_t* archive, std::string path, std::uint64_t file_size, std::string bytes);
  std::uint64_t CompressedSize(std::uint64_t index, std::string_view part) const;
  std::string InflateDeflated(std::uint64_t index, std::uint32_t crc, std::uint64_t reserve,
                              Meter& meter) const;
  // Inflates what `next` gives, `next` filling its buffer and returning the count (0 or less:
  // the data ended or failed); checks the CRC.
  template <typename Next>
  static std::string InflateStream(Next next, std::uint32_t crc, std::uint64_t reserve,
                                   Meter& meter);
  std::string ReadThroughLibzip(std::uint64_t index, std::uint64_t compressed, Meter& meter) const;

  zip_t* archive_;
  std::string path_;
  std::uint64_t file_size_;
  std::string bytes_;  // the zip itself when opened from memory
  std::optional<FileIdentity> identity_;
};

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_ZIP_READER_H_
