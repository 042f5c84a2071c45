#include "xlsx/zip_writer.h"

#include <utility>

#include "xlsx/package_messages.h"

namespace kastel::xlsx {

ZipWriter::ZipWriter(std::string path) : path_(std::move(path)) {
  zip_error_t error;
  zip_error_init(&error);
  target_ = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (target_ != nullptr) {
    archive_ = zip_open_from_source(target_, ZIP_TRUNCATE, &error);
    if (archive_ == nullptr) {
      zip_source_free(target_);
      target_ = nullptr;
    }
  }
  if (archive_ == nullptr) {
    std::string detail = zip_error_strerror(&error);
    zip_error_fini(&error);
    throw messages::SaveFailure(path_, messages::ZipFailed(detail));
  }
  // Keep the buffer alive past zip_close, which is where the finished zip is read from.
  zip_source_keep(target_);
  zip_error_fini(&error);
}

ZipWriter::~ZipWriter() {
  if (archive_ != nullptr) zip_discard(archive_);
  if (target_ != nullptr) zip_source_free(target_);
}

void ZipWriter::Fail(zip_error_t* error) {
  throw messages::SaveFailure(path_, messages::ZipFailed(zip_error_strerror(error)));
}

void ZipWriter::AddSource(const std::string& name, zip_source_t* source, zip_int32_t method) {
  if (source == nullptr) Fail(zip_get_error(archive_));
  zip_int64_t index = zip_file_add(archive_, name.c_str(), source, ZIP_FL_ENC_UTF_8);
  if (index < 0) {
    zip_source_free(source);
    Fail(zip_get_error(archive_));
  }
  // Parts the host writes are deflated at the fastest level: saving a large workbook is bound by
  // compression, and the size gained at higher levels is a few per cent of XML.
  const zip_uint32_t level = method == ZIP_CM_DEFLATE ? 1 : 0;
  if (method >= 0 &&
      zip_set_file_compression(archive_, static_cast<zip_uint64_t>(index), method, level) != 0) {
    Fail(zip_get_error(archive_));
  }
}

void ZipWriter::Copy(zip_t* source, std::uint64_t index, const std::string& name) {
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(source, index, 0, &st) != 0) Fail(zip_get_error(source));
  // libzip keeps a deflated entry's bytes by itself; a stored one it would deflate unless told.
  zip_int32_t method = -1;
  if ((st.valid & ZIP_STAT_COMP_METHOD) && st.comp_method == ZIP_CM_STORE) method = ZIP_CM_STORE;
  AddSource(name, zip_source_zip(archive_, source, index, ZIP_FL_COMPRESSED, 0, -1), method);
}

void ZipWriter::Add(const std::string& name, std::string bytes) {
  const std::string& kept = buffers_.emplace_back(std::move(bytes));
  AddSource(name, zip_source_buffer(archive_, kept.data(), kept.size(), 0), ZIP_CM_DEFLATE);
}

std::string ZipWriter::Finish() {
  if (zip_close(archive_) != 0) Fail(zip_get_error(archive_));
  archive_ = nullptr;
  buffers_.clear();
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_source_stat(target_, &st) != 0 || zip_source_open(target_) != 0) {
    Fail(zip_source_error(target_));
  }
  std::string bytes(static_cast<std::size_t>(st.size), '\0');
  zip_int64_t read = zip_source_read(target_, bytes.data(), bytes.size());
  zip_source_close(target_);
  if (read < 0 || static_cast<std::uint64_t>(read) != st.size) Fail(zip_source_error(target_));
  return bytes;
}

}  // namespace kastel::xlsx
