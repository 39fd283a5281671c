// Internal to platform/: the keyboard device's acquisition, the same on both
// backends. The device is acquired only while the window is in front; losing
// the front takes the acquisition away, and the next read reports that once
// as "input lost". Results follow DirectInput.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Acquiring while another window is in front fails as DirectInput does.
constexpr uint32_t kOtherAppHasPriority = 0x80070005;

struct KeyboardAcquisition {
  int open = 0;
  int acquired = 0;
  int lost = 0;  // acquisition taken away, not yet reported

  void start() {
    open = 1;
    acquired = 0;
    lost = 0;
  }
  void stop() {
    open = 0;
    acquired = 0;
  }
  uint32_t acquire(bool in_front) {
    if (!open || !in_front) return kOtherAppHasPriority;
    acquired = 1;
    lost = 0;
    return 0;
  }
  uint32_t unacquire() {
    acquired = 0;
    return 0;
  }
  // The window went behind another one.
  void focus_lost() {
    if (!acquired) return;
    acquired = 0;
    lost = 1;
  }
  // 0 when the state may be read now, otherwise the result of the read.
  uint32_t check_read() {
    if (lost) {
      lost = 0;
      return kPlatformInputLost;
    }
    return open && acquired ? 0 : kPlatformNotAcquired;
  }
};
