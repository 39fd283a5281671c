// The live sound's ring: samples on their way from the frame loop (the one
// writer) to the sound card, which takes them on its own thread and clock
// (the one reader). Neither side waits for the other.
//
// The reader never cuts a sound off. It starts silent and fades in once the
// ring holds its resume fill; asked to stop (a pause, a load, quitting, a
// ring grown too full) it fades out over 10 ms, then drops what the request
// leaves behind; when the ring runs dry it lets its last sample fall to
// silence over 10 ms, then waits for the resume fill again. Each pull
// publishes the device's clock (samples taken, ring position, time) for the
// writer's rate control, and times the frames whose first sample it took.
#pragma once

#include <atomic>
#include <cstdint>

constexpr int32_t kLiveRingSamples = 16384;  // 371 ms; a power of two
constexpr int32_t kLiveFadeSamples = 441;    // 10 ms at 44,100 Hz
constexpr int32_t kLiveMarks = 64;           // frames in flight that are timed

enum class LivePlay : int32_t { Silent, FadingIn, Playing, FadingOut, Falling };

// A frame's first sample in the ring and the time it was handed over.
struct LiveMark {
  uint64_t index;
  uint32_t time_ms;
};

// The device's clock as of its last pull.
struct LiveClock {
  uint64_t pulled;  // samples the device has taken since the ring was reset
  uint64_t read;    // the ring's read position after that pull
  uint32_t time_ms;
  int32_t block;    // the samples of that pull
};

struct LiveRing {
  int16_t samples[kLiveRingSamples] = {};
  std::atomic<uint64_t> written{0};  // by the writer
  std::atomic<uint64_t> read{0};     // by the reader

  // The writer's requests. A cut: fade out, then drop every sample before
  // cut_at. While hold is 1 the reader stays silent after its fade.
  std::atomic<uint64_t> cut_at{0};
  std::atomic<uint32_t> cuts{0};
  std::atomic<int32_t> hold{1};
  std::atomic<int32_t> resume_fill{0};  // samples to hold before sound resumes

  LiveMark marks[kLiveMarks] = {};
  std::atomic<uint32_t> marks_written{0};
  std::atomic<uint32_t> marks_read{0};

  // The reader's own state; `state` is published for the writer.
  LivePlay play = LivePlay::Silent;
  std::atomic<int32_t> state{0};
  int32_t gain = 0;          // 0 .. kLiveFadeSamples
  int32_t fall_from = 0;     // the sample a fall starts from
  int32_t fall_steps = 0;    // its length, and the steps left of it
  int32_t fall_left = 0;
  int32_t last_out = 0;
  uint32_t cuts_seen = 0;
  uint64_t pulled = 0;

  // The device's clock, published by the reader under a sequence count.
  std::atomic<uint32_t> clock_seq{0};
  std::atomic<uint64_t> clock_pulled{0};
  std::atomic<uint64_t> clock_read{0};
  std::atomic<uint32_t> clock_ms{0};
  std::atomic<int32_t> clock_block{0};

  // What the reader saw: dry spells while playing, and frame latencies.
  std::atomic<uint64_t> underruns{0};
  std::atomic<uint64_t> timed_frames{0};
  std::atomic<uint64_t> latency_sum_ms{0};
  std::atomic<uint32_t> latency_max_ms{0};
};

// Empties the ring and its counts; only while no reader runs.
void live_ring_reset(LiveRing& ring);

// The writer's side.
uint64_t live_ring_written(const LiveRing& ring);
// false, writing nothing, when the samples do not fit.
bool live_ring_push(LiveRing& ring, const int16_t* samples, int32_t count);
// Times the frame whose first sample is at `index` (dropped when too many
// frames are in flight).
void live_ring_mark(LiveRing& ring, uint64_t index, uint32_t time_ms);
// Fade out, then drop everything before `at` (a cut never moves back).
void live_ring_cut(LiveRing& ring, uint64_t at);
LiveClock live_ring_clock(const LiveRing& ring);
LivePlay live_ring_state(const LiveRing& ring);

// The reader's side: `count` samples for the device, taken at `now_ms`.
void live_ring_pull(LiveRing& ring, int16_t* out, int32_t count, uint32_t now_ms);
