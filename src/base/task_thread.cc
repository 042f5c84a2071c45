#include "base/task_thread.h"

#include <system_error>
#include <utility>

#include "base/signal_cleanup.h"

namespace kastel {

TaskThread::~TaskThread() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool TaskThread::Post(std::function<void()> task, bool wake) {
  if (!thread_.joinable()) {
    try {
      thread_ = signal_cleanup::QuietThread([this] { Work(); });
    } catch (const std::system_error&) {
      return false;
    }
  }
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  if (wake) wake_.notify_one();
  return true;
}

void TaskThread::Work() {
  for (;;) {
    std::function<void()> task;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
      if (tasks_.empty()) return;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
}

}  // namespace kastel
