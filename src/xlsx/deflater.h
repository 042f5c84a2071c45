// Deflating the text of changed parts on a thread of its own. A refresh changes every sheet and
// lets each go before the save: deflating them on the workbook's thread took a quarter of its
// time, work that needs nothing but the text, which the package hands over.
#ifndef KASTEL_XLSX_DEFLATER_H_
#define KASTEL_XLSX_DEFLATER_H_

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <string>
#include <thread>

#include "xlsx/deflated_text.h"

namespace kastel::xlsx {

class Deflater {
 public:
  Deflater() = default;
  // Deflates what it was given, then stops.
  ~Deflater();
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  // `text` deflated as Deflate does it; in place when no thread can be started, or when the
  // texts waiting would hold too much memory. The future holds what Deflate threw.
  std::future<DeflatedText> Deflate(std::string text);

 private:
  void Work();

  std::thread worker_;
  std::mutex mutex_;
  std::condition_variable wake_;
  struct Task {
    std::packaged_task<DeflatedText()> deflate;
    std::size_t size = 0;  // of the text
  };
  std::deque<Task> tasks_;         // guarded by mutex_
  std::size_t bytes_waiting_ = 0;  // of the texts given and not yet deflated; guarded by mutex_
  bool stopping_ = false;          // guarded by mutex_
};

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_DEFLATER_H_
