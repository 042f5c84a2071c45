// Zips written header by header, for the files libzip would refuse to make: sizes that lie,
// damaged CRCs, and a gigabyte of zeros deflated into a megabyte.
#ifndef KASTEL_TESTS_XLSX_PACKAGE_RAW_ZIP_H_
#define KASTEL_TESTS_XLSX_PACKAGE_RAW_ZIP_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kastel::xlsx::testing {

struct RawZipEntry {
  std::string name;
  std::string deflated;    // raw deflate data, written as method 8
  std::uint32_t crc = 0;   // as written in the headers
  std::uint64_t size = 0;  // the inflated size as written in the headers
};

// Raw deflate of `bytes`, and an entry of it with honest headers.
std::string Deflate(std::string_view bytes);
RawZipEntry HonestEntry(std::string name, std::string_view bytes);
// An entry that inflates to `size` zero bytes (a multiple of 1 MiB) while its headers declare
// `declared_size`; built block by block so that making a gigabyte costs milliseconds.
RawZipEntry Zeros(std::string name, std::uint64_t size, std::uint64_t declared_size);
// The zip of `entries` in order: local headers, data, central directory, end record.
std::string BuildRawZip(const std::vector<RawZipEntry>& entries);

}  // namespace kastel::xlsx::testing

#endif  // KASTEL_TESTS_XLSX_PACKAGE_RAW_ZIP_H_
