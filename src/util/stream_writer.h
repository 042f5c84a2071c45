// StreamWriter: one script file written as a sequence of texts, in the byte form the user
// chose. Texts arrive as UTF-8 and are written unchanged apart from the encoding: no line break
// is added, since every script block carries its own.
//
// Encoding and writing take as long as building the texts (a large workbook gives tens of
// megabytes of scripts), so full buffers go to a worker of this writer, which encodes and
// writes them while the caller builds the next texts. The worker touches nothing but its own
// buffers and file, and Close_ waits for it: to the caller the file is written in order and
// complete once closed, as before.
#ifndef KASTEL_UTIL_STREAM_WRITER_H_
#define KASTEL_UTIL_STREAM_WRITER_H_

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <variant>
#include <vector>

namespace kastel {

// The byte form of script files. CP932 is what the system always wrote; a character CP932
// cannot hold is written as "?".
enum class TextEncoding { kCp932, kUtf8 };

class StreamWriter {
 public:
  explicit StreamWriter(TextEncoding encoding = TextEncoding::kCp932) : encoding_(encoding) {}
  // Closes a file that is still open, so that a failure between Open_ and Close_ neither leaks
  // the file nor loses what was written.
  ~StreamWriter();
  StreamWriter(const StreamWriter&) = delete;
  StreamWriter& operator=(const StreamWriter&) = delete;

  // Opens `path` for writing: created, or emptied when it exists; with `append` created when
  // missing and written after its contents. A file still open in this writer is closed first.
  // Throws kastel::Error: 76 when the folder does not exist, 70 when the file may not be
  // written, 75 when the path names a folder, 52 for an empty path. A failed Open_ leaves no
  // file open.
  void Open_(std::string_view path, bool append);

  // Closes the file; what was written is on disk. Throws kastel::Error 52 when no file is
  // open, 61 when the rest could not be written.
  void Close_();

  // Writes `text` in the chosen encoding. Throws kastel::Error 52 when no file is open, 61
  // when the disk is full, 70 for another write failure; a failure of the worker is reported
  // by the next Write_ or by Close_.
  void Write_(std::string text);
  // Writes the text `build` gives, as Write_ does: the worker calls it, so it must hold all it
  // needs. What it throws is reported as a failed write is.
  void Write_(std::function<std::string()> build);

  bool is_open() const { return file_ != nullptr; }

 private:
  // A text, or what builds it.
  using Piece = std::variant<std::string, std::function<std::string()>>;

  // Hands the collected texts to the worker, starting it on first use; waits while the worker
  // is far behind, so that memory stays bounded.
  void Hand();
  void Work();
  // Builds, encodes and writes a batch; a failure is kept for the caller, and ends the worker.
  void Write(std::vector<Piece>& batch);
  // Waits for the worker to write everything handed to it and ends it; its first failure, if
  // any.
  std::exception_ptr Finish() noexcept;
  // Throws the worker's failure, if it had one.
  void ThrowFailure();

  TextEncoding encoding_;
  std::FILE* file_ = nullptr;
  void Add(Piece piece, std::size_t bytes);
  std::vector<Piece> pending_;  // not yet handed to the worker
  std::string bytes_;           // a batch encoded, by whoever writes it
  std::size_t pending_bytes_ = 0;

  std::thread worker_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::vector<Piece>> queue_;  // guarded by mutex_
  bool closing_ = false;                  // guarded by mutex_
  std::exception_ptr failure_;            // the worker's first failure; guarded by mutex_
};

}  // namespace kastel

#endif  // KASTEL_UTIL_STREAM_WRITER_H_
