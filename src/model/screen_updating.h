// Screen updating switched off for the time of one command and back on however it ends.
#ifndef KASTEL_MODEL_SCREEN_UPDATING_H_
#define KASTEL_MODEL_SCREEN_UPDATING_H_

#include "host/host.h"

namespace kastel::model {

class ScreenUpdatingOff {
 public:
  // Switches screen updating off; host failures rise.
  explicit ScreenUpdatingOff(host::Application& app) : app_(app) { app_.SetScreenUpdating(false); }
  ScreenUpdatingOff(const ScreenUpdatingOff&) = delete;
  ScreenUpdatingOff& operator=(const ScreenUpdatingOff&) = delete;
  // Switches it back on. A host that refuses even that has nothing left to report it to.
  ~ScreenUpdatingOff() {
    try {
      app_.SetScreenUpdating(true);
    } catch (...) {
    }
  }

 private:
  host::Application& app_;
};

}  // namespace kastel::model

#endif  // KASTEL_MODEL_SCREEN_UPDATING_H_
