#include "xlsx/zip_writer.h"

#include <algorithm>
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

namespace {

// A libzip source that gives deflated bytes and says so: libzip then writes them as they are,
// with the CRC and size it is told, as it does for an entry copied from another zip.
struct DeflatedSource {
  const DeflatedText* text;
  std::size_t read = 0;
  zip_error_t error;
};

zip_int64_t ServeDeflated(void* state, void* data, zip_uint64_t length, zip_source_cmd_t cmd) {
  auto* source = static_cast<DeflatedSource*>(state);
  const std::string& bytes = source->text->bytes;
  switch (cmd) {
    case ZIP_SOURCE_OPEN:
      source->read = 0;
      return 0;
    case ZIP_SOURCE_READ: {
      const std::size_t n = std::min<std::size_t>(length, bytes.size() - source->read);
      std::copy_n(bytes.data() + source->read, n, static_cast<char*>(data));
      source->read += n;
      return static_cast<zip_int64_t>(n);
    }
    case ZIP_SOURCE_CLOSE:
      return 0;
    case ZIP_SOURCE_STAT: {
      auto* st = static_cast<zip_stat_t*>(data);
      zip_stat_init(st);
      st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
      st->size = source->text->size;
      st->comp_size = bytes.size();
      st->comp_method = ZIP_CM_DEFLATE;
      st->crc = source->text->crc;
      return sizeof(*st);
    }
    case ZIP_SOURCE_GET_FILE_ATTRIBUTES: {
      // Marked as deflated at the fastest level, as the entries libzip deflates at that level.
      auto* attributes = static_cast<zip_file_attributes_t*>(data);
      zip_file_attributes_init(attributes);
      attributes->valid = ZIP_FILE_ATTRIBUTES_GENERAL_PURPOSE_BIT_FLAGS;
      attributes->general_purpose_bit_flags = 0x0004;
      attributes->general_purpose_bit_mask = 0x0006;
      return sizeof(*attributes);
    }
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(&source->error, data, length);
    case ZIP_SOURCE_FREE:
      zip_error_fini(&source->error);
      delete source;
      return 0;
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                            ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                            ZIP_SOURCE_GET_FILE_ATTRIBUTES, -1);
    default:
      zip_error_set(&source->error, ZIP_ER_OPNOTSUPP, 0);
      return -1;
  }
}

}  // namespace

void ZipWriter::AddDeflated(const std::string& name, DeflatedText deflated) {
  auto* source = new DeflatedSource{&deflated_.emplace_back(std::move(deflated)), 0, {}};
  zip_error_init(&source->error);
  zip_source_t* zs = zip_source_function(archive_, ServeDeflated, source);
  if (zs == nullptr) {
    zip_error_fini(&source->error);
    delete source;
  }
  // No method set: libzip keeps the one the source reports.
  AddSource(name, zs, -1);
}

std::string ZipWriter::Finish() {
  if (zip_close(archive_) != 0) Fail(zip_get_error(archive_));
  archive_ = nullptr;
  buffers_.clear();
  deflated_.clear();
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
