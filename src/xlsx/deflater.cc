#include "xlsx/deflater.h"

#include <system_error>
#include <utility>

#include "base/signal_cleanup.h"

namespace kastel::xlsx {
namespace {

// Texts waiting beyond this are deflated by the caller: a worker slower than the caller (on a
// busy machine) would otherwise pile up the text of every sheet let go.
constexpr std::size_t kMostBytesWaiting = std::size_t{8} << 20;

}  // namespace

Deflater::~Deflater() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

std::future<DeflatedText> Deflater::Deflate(std::string text) {
  const std::size_t size = text.size();
  // The task lives on in the future's state until the save takes the result: the text is moved
  // out of it, so that it is freed once deflated.
  std::packaged_task<DeflatedText()> task([text = std::move(text)]() mutable {
    const std::string taken = std::move(text);
    return xlsx::Deflate(taken);
  });
  std::future<DeflatedText> result = task.get_future();
  bool here = false;
  if (!worker_.joinable()) {
    try {
      worker_ = signal_cleanup::QuietThread([this] { Work(); });
    } catch (const std::system_error&) {
      here = true;
    }
  }
  if (!here) {
    std::lock_guard lock(mutex_);
    here = !tasks_.empty() && bytes_waiting_ + size > kMostBytesWaiting;
    if (!here) {
      bytes_waiting_ += size;
      tasks_.push_back(Task{std::move(task), size});
    }
  }
  if (here) {
    task();
  } else {
    wake_.notify_one();
  }
  return result;
}

void Deflater::Work() {
  for (;;) {
    Task task;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
      if (tasks_.empty()) return;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task.deflate();
    std::lock_guard lock(mutex_);
    bytes_waiting_ -= task.size;
  }
}

}  // namespace kastel::xlsx
