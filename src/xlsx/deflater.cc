#include "xlsx/deflater.h"

#include <memory>
#include <utility>

namespace kastel::xlsx {
namespace {

// Texts waiting beyond this are deflated by the caller: a worker slower than the caller (on a
// busy machine) would otherwise pile up the text of every sheet let go.
constexpr std::size_t kMostBytesWaiting = std::size_t{8} << 20;

}  // namespace

std::future<DeflatedText> Deflater::Deflate(std::string text) {
  const std::size_t size = text.size();
  // The task lives on in the future's state until the save takes the result: the text is moved
  // out of it, so that it is freed once deflated.
  auto task =
      std::make_shared<std::packaged_task<DeflatedText()>>([text = std::move(text)]() mutable {
        const std::string taken = std::move(text);
        return xlsx::Deflate(taken);
      });
  std::future<DeflatedText> result = task->get_future();
  const std::size_t waiting = bytes_waiting_.load();
  if (waiting > 0 && waiting + size > kMostBytesWaiting) {
    (*task)();
    return result;
  }
  bytes_waiting_ += size;
  if (!worker_.Post([this, task, size] {
        (*task)();
        bytes_waiting_ -= size;
      })) {
    bytes_waiting_ -= size;
    (*task)();
  }
  return result;
}

}  // namespace kastel::xlsx
