// The headless backend's controls, for the headless runner, tests and
// benchmarks: its clock is driven by the caller and its events are scripted.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Sets the millisecond clock. platform_sleep advances it.
void headless_set_millis(uint32_t ms);
// Queues an event for platform_take_event.
void headless_push_event(const PlatformEvent& event);
