#include "util/stream_writer.h"

#include <cerrno>
#include <string>

#include "base/cp932.h"
#include "base/error.h"

namespace kastel {
namespace {

// The runtime's "disk full", which the shared list of runtime errors does not carry.
constexpr long kDiskFull = 61;

Error DiskFull() { return Error(kDiskFull, "KASTEL", "ディスクの空き容量が不足しています。"); }

// The error the runtime gives for a failed open, from the system's reason.
Error OpenError(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return Error::Runtime(RuntimeError::kPathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      return Error::Runtime(RuntimeError::kPermission);
    case ENOSPC:
      return DiskFull();
    case ENAMETOOLONG:
      return Error::Runtime(RuntimeError::kBadFileName);
    default:
      return Error::Runtime(RuntimeError::kPathFile);
  }
}

Error WriteError(int err) {
  return err == ENOSPC ? DiskFull() : Error::Runtime(RuntimeError::kPermission);
}

}  // namespace

StreamWriter::~StreamWriter() {
  if (file_ != nullptr) std::fclose(file_);
}

void StreamWriter::Open_(std::string_view path, bool append) {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (path.empty()) throw Error::Runtime(RuntimeError::kBadFileName);
  const std::string p(path);
  // "x" is not used: an existing file is replaced, as the runtime's output mode does.
  errno = 0;
  std::FILE* f = std::fopen(p.c_str(), append ? "ab" : "wb");
  if (f == nullptr) throw OpenError(errno);
  file_ = f;
}

void StreamWriter::Close_() {
  if (file_ == nullptr) throw Error::Runtime(RuntimeError::kBadFileName);
  std::FILE* f = file_;
  file_ = nullptr;
  errno = 0;
  if (std::fclose(f) != 0) throw WriteError(errno);
}

void StreamWriter::Write_(std::string_view text) {
  if (file_ == nullptr) throw Error::Runtime(RuntimeError::kBadFileName);
  std::string encoded;
  std::string_view bytes = text;
  if (encoding_ == TextEncoding::kCp932) {
    encoded = cp932::Encode(text);
    bytes = encoded;
  }
  if (bytes.empty()) return;
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) throw WriteError(errno);
}

}  // namespace kastel
