// One helper thread that runs the tasks it is given, in order: the workbook adapter reads sheets
// ahead and deflates changed ones on such threads while its own thread goes on. The thread
// starts with the first task, takes none of the fatal signals, and runs everything it was given
// before it ends. Every call is made from the owner's thread.
#ifndef KASTEL_BASE_TASK_THREAD_H_
#define KASTEL_BASE_TASK_THREAD_H_

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace kastel {

class TaskThread {
 public:
  TaskThread() = default;
  // Runs what it was given, then ends.
  ~TaskThread();
  TaskThread(const TaskThread&) = delete;
  TaskThread& operator=(const TaskThread&) = delete;

  // Gives `task` to the thread, and wakes it unless `wake` is false (the task then waits for
  // the next wake, or for the thread to come to it). False when no thread can be started: the
  // task is the caller's to run.
  bool Post(std::function<void()> task, bool wake = true);
  void Wake() { wake_.notify_one(); }
  // Whether the thread was started.
  bool running() const { return thread_.joinable(); }

 private:
  void Work();

  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;  // guarded by mutex_
  bool stopping_ = false;                    // guarded by mutex_
};

}  // namespace kastel

#endif  // KASTEL_BASE_TASK_THREAD_H_
