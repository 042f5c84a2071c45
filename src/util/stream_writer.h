// StreamWriter: one script file written as a sequence of texts, in the byte form the user
// chose. Texts arrive as UTF-8 and are written unchanged apart from the encoding: no line break
// is added, since every script block carries its own.
#ifndef KASTEL_UTIL_STREAM_WRITER_H_
#define KASTEL_UTIL_STREAM_WRITER_H_

#include <cstdio>
#include <string>
#include <string_view>

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
  // when the disk is full, 70 for another write failure.
  void Write_(std::string_view text);

  bool is_open() const { return file_ != nullptr; }

 private:
  TextEncoding encoding_;
  std::FILE* file_ = nullptr;
};

}  // namespace kastel

#endif  // KASTEL_UTIL_STREAM_WRITER_H_
