// An event subscription that lasts as long as its handle: holding the handle in a member is the
// counterpart of holding an event source in a WithEvents variable; resetting it unsubscribes.
#ifndef KASTEL_BASE_SUBSCRIPTION_H_
#define KASTEL_BASE_SUBSCRIPTION_H_

#include <functional>
#include <utility>

namespace kastel {

class Subscription {
 public:
  Subscription() = default;
  // `cancel` is called once, when the handle is reset or destroyed.
  explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
  Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, nullptr)) {}
  Subscription& operator=(Subscription&& other) noexcept {
    if (this != &other) {
      reset();
      cancel_ = std::exchange(other.cancel_, nullptr);
    }
    return *this;
  }
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  ~Subscription() { reset(); }

  void reset() {
    if (auto cancel = std::exchange(cancel_, nullptr)) cancel();
  }
  explicit operator bool() const { return static_cast<bool>(cancel_); }

 private:
  std::function<void()> cancel_;
};

}  // namespace kastel

#endif  // KASTEL_BASE_SUBSCRIPTION_H_
