// Headless backend: start-up, a caller-driven clock, no window, scripted events.
#include <chrono>
#include <deque>
#include <thread>

#include "platform/backend.h"
#include "platform/headless/headless.h"

namespace {

uint32_t g_millis = 0;
int g_real_sleep = 1;
std::deque<PlatformEvent> g_events;

}  // namespace

void headless_set_millis(uint32_t ms) {
  g_millis = ms;
  headless_audio_clock(ms);
}
void headless_push_event(const PlatformEvent& event) { g_events.push_back(event); }
void headless_sleep_in_real_time(int real) { g_real_sleep = real ? 1 : 0; }

int headless_init(const PlatformOptions&) {
  g_millis = 0;
  g_events.clear();
  return 1;
}

void headless_quit() {}

uint32_t headless_millis() { return g_millis; }
// A sleep passes real time too (the load meter calibrates against it), unless
// a test said otherwise, and moves the driven clock on by the same amount.
void headless_sleep(uint32_t ms) {
  if (g_real_sleep) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  g_millis += ms;
  headless_audio_clock(g_millis);
}

int headless_window_open(const char*) { return 1; }
void headless_window_close() {}

int headless_event_waiting() { return g_events.empty() ? 0 : 1; }

int headless_take_event(PlatformEvent* event) {
  if (g_events.empty()) return 0;
  *event = g_events.front();
  g_events.pop_front();
  return 1;
}

// Nothing ever arrives by itself: waiting returns at once.
void headless_wait_event() {}
