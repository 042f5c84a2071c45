// Deflating the text of changed parts on a thread of its own. A refresh changes every sheet and
// lets each go before the save: deflating them on the workbook's thread took a quarter of its
// time, work that needs nothing but the text, which the package hands over.
#ifndef KASTEL_XLSX_DEFLATER_H_
#define KASTEL_XLSX_DEFLATER_H_

#include <atomic>
#include <cstddef>
#include <future>
#include <string>

#include "base/task_thread.h"
#include "xlsx/deflated_text.h"

namespace kastel::xlsx {

class Deflater {
 public:
  // `text` deflated as Deflate does it; in place when no thread can be started, or when the
  // texts waiting would hold too much memory. The future holds what Deflate threw.
  std::future<DeflatedText> Deflate(std::string text);

 private:
  std::atomic<std::size_t> bytes_waiting_{0};  // of the texts given and not yet deflated
  TaskThread worker_;                          // last: it ends, deflating what it was given, first
};

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_DEFLATER_H_
