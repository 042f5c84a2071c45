#include "util/stream_writer.h"

#include <cerrno>
#include <cstddef>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "base/cp932.h"
#include "base/error.h"
#include "base/signal_cleanup.h"

namespace kastel {
namespace {

// Texts collected before they go to the worker, and batches the worker may be behind by.
constexpr std::size_t kBatchBytes = std::size_t{1} << 16;
constexpr std::size_t kBatchesQueued = 16;
// What a text to be built counts for in a batch: a few sheets' blocks go together, as waking
// the worker for each costs about as much as building it.
constexpr std::size_t kBuiltBytes = 4 * 1024;

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
  if (file_ == nullptr) return;
  Hand();
  Finish();
  std::fclose(file_);
}

void StreamWriter::Open_(std::string_view path, bool append) {
  if (file_ != nullptr) {
    Hand();
    Finish();
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
  Hand();
  const std::exception_ptr failure = Finish();
  std::FILE* f = file_;
  file_ = nullptr;
  errno = 0;
  const bool closed = std::fclose(f) == 0;
  if (failure) std::rethrow_exception(failure);
  if (!closed) throw WriteError(errno);
}

void StreamWriter::Write_(std::string text) {
  if (text.empty()) {
    if (file_ == nullptr) throw Error::Runtime(RuntimeError::kBadFileName);
    ThrowFailure();
    return;
  }
  const std::size_t bytes = text.size();
  Add(std::move(text), bytes);
}

void StreamWriter::Write_(std::function<std::string()> build) {
  Add(std::move(build), kBuiltBytes);
}

void StreamWriter::Add(Piece piece, std::size_t bytes) {
  if (file_ == nullptr) throw Error::Runtime(RuntimeError::kBadFileName);
  ThrowFailure();
  pending_bytes_ += bytes;
  pending_.push_back(std::move(piece));
  if (pending_bytes_ >= kBatchBytes) Hand();
}

void StreamWriter::Hand() {
  if (pending_.empty()) return;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return queue_.size() < kBatchesQueued || failure_; });
  queue_.push_back(std::move(pending_));
  pending_.clear();
  pending_bytes_ = 0;
  lock.unlock();
  changed_.notify_all();
  if (worker_.joinable()) return;
  try {
    worker_ = signal_cleanup::QuietThread([this] { Work(); });
  } catch (const std::system_error&) {
    // No thread to be had: the batch is written here, as it was before there were workers.
    std::vector<Piece> batch;
    {
      std::lock_guard guard(mutex_);
      batch = std::move(queue_.front());
      queue_.pop_front();
    }
    Write(batch);
  }
}

void StreamWriter::Work() {
  for (;;) {
    std::vector<Piece> batch;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return !queue_.empty() || closing_; });
      if (queue_.empty()) return;
      batch = std::move(queue_.front());
      queue_.pop_front();
    }
    changed_.notify_all();
    Write(batch);
  }
}

void StreamWriter::Write(std::vector<Piece>& batch) {
  bytes_.clear();
  std::exception_ptr failure;
  for (Piece& piece : batch) {
    const std::string* text = std::get_if<std::string>(&piece);
    std::string built;
    if (text == nullptr) {
      try {
        built = std::get<1>(piece)();
      } catch (...) {
        // What came before it is written; nothing after it, which would leave a gap.
        failure = std::current_exception();
        break;
      }
      text = &built;
    }
    if (encoding_ == TextEncoding::kCp932) {
      cp932::EncodeTo(*text, bytes_);
    } else {
      bytes_ += *text;
    }
  }
  errno = 0;
  if (std::fwrite(bytes_.data(), 1, bytes_.size(), file_) != bytes_.size() ||
      std::fflush(file_) != 0) {
    failure = std::make_exception_ptr(WriteError(errno != 0 ? errno : EIO));
  }
  if (failure) {
    std::lock_guard lock(mutex_);
    failure_ = failure;
    queue_.clear();
    closing_ = true;
  }
}

std::exception_ptr StreamWriter::Finish() noexcept {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
  std::lock_guard lock(mutex_);
  std::exception_ptr failure = std::move(failure_);
  failure_ = nullptr;
  closing_ = false;
  queue_.clear();
  return failure;
}

void StreamWriter::ThrowFailure() {
  std::lock_guard lock(mutex_);
  if (failure_) std::rethrow_exception(failure_);
}

}  // namespace kastel
