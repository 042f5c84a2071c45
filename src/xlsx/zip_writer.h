// Builds a new zip in memory: entries copied from an open zip with their compressed bytes
// untouched, and new entries deflated from buffers of known size (so libzip writes no ZIP64
// fields for them).
#ifndef KASTEL_XLSX_ZIP_WRITER_H_
#define KASTEL_XLSX_ZIP_WRITER_H_

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include <zip.h>

#include "xlsx/deflated_text.h"

namespace kastel::xlsx {

class ZipWriter {
 public:
  // `path` is the file the zip is meant for; it only names it in messages.
  explicit ZipWriter(std::string path);
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Copies entry `index` of `source` as it is: same compressed bytes, method, CRC and time.
  void Copy(zip_t* source, std::uint64_t index, const std::string& name);
  // Adds an entry deflated from `bytes`.
  void Add(const std::string& name, std::string bytes);
  // Adds an entry of text deflated beforehand, its bytes written as they are.
  void AddDeflated(const std::string& name, DeflatedText deflated);
  // The finished zip. Throws kastel::Error (a save failure) when libzip fails.
  std::string Finish();

 private:
  [[noreturn]] void Fail(zip_error_t* error);
  void AddSource(const std::string& name, zip_source_t* source, zip_int32_t method);

  std::string path_;
  zip_source_t* target_ = nullptr;
  zip_t* archive_ = nullptr;
  std::deque<std::string> buffers_;    // borrowed by libzip until Finish
  std::deque<DeflatedText> deflated_;  // the same
};

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_ZIP_WRITER_H_
