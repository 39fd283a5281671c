// The live sound's ring: the writer's pushes, marks and requests, and the
// reader's pull with its fades.
#include "app/live_ring.h"

#include <algorithm>

namespace {

constexpr uint64_t kRingMask = kLiveRingSamples - 1;
static_assert((kLiveRingSamples & kRingMask) == 0, "the ring's size is a power of two");

// Frames whose first sample lies before `taken` have left for the device and
// are timed; those of samples before `dropped` were never played.
void settle_marks(LiveRing& r, uint64_t taken, uint64_t dropped, uint32_t now_ms) {
  uint32_t at = r.marks_read.load(std::memory_order_relaxed);
  const uint32_t end = r.marks_written.load(std::memory_order_acquire);
  for (; at != end; ++at) {
    const LiveMark& mark = r.marks[at % kLiveMarks];
    if (mark.index < taken) {
      const auto waited = static_cast<int32_t>(now_ms - mark.time_ms);
      const uint32_t ms = waited > 0 ? static_cast<uint32_t>(waited) : 0;
      r.timed_frames.fetch_add(1, std::memory_order_relaxed);
      r.latency_sum_ms.fetch_add(ms, std::memory_order_relaxed);
      if (ms > r.latency_max_ms.load(std::memory_order_relaxed)) {
        r.latency_max_ms.store(ms, std::memory_order_relaxed);
      }
    } else if (mark.index >= dropped) {
      break;
    }
  }
  r.marks_read.store(at, std::memory_order_release);
}

// Skips the samples before `to` unheard.
void drop_to(LiveRing& r, uint64_t* read, uint64_t to, uint32_t now_ms) {
  if (to <= *read) return;
  settle_marks(r, *read, to, now_ms);
  *read = to;
}

// The last output falls linearly to silence over `steps` samples.
void start_fall(LiveRing& r, int32_t steps) {
  r.play = LivePlay::Falling;
  r.fall_from = r.last_out;
  r.fall_steps = std::max(steps, 1);
  r.fall_left = r.fall_steps;
}

void publish_clock(LiveRing& r, uint64_t read, uint32_t now_ms, int32_t block) {
  const uint32_t seq = r.clock_seq.load(std::memory_order_relaxed);
  r.clock_seq.store(seq + 1, std::memory_order_relaxed);
  std::atomic_thread_fence(std::memory_order_release);
  r.clock_pulled.store(r.pulled, std::memory_order_relaxed);
  r.clock_read.store(read, std::memory_order_relaxed);
  r.clock_ms.store(now_ms, std::memory_order_relaxed);
  r.clock_block.store(block, std::memory_order_relaxed);
  r.clock_seq.store(seq + 2, std::memory_order_release);
}

}  // namespace

void live_ring_reset(LiveRing& r) {
  r.written.store(0);
  r.read.store(0);
  r.cut_at.store(0);
  r.cuts.store(0);
  r.hold.store(1);
  r.resume_fill.store(0);
  r.marks_written.store(0);
  r.marks_read.store(0);
  r.play = LivePlay::Silent;
  r.state.store(static_cast<int32_t>(LivePlay::Silent));
  r.gain = r.fall_from = r.fall_steps = r.fall_left = r.last_out = 0;
  r.cuts_seen = 0;
  r.pulled = 0;
  r.clock_seq.store(0);
  r.clock_pulled.store(0);
  r.clock_read.store(0);
  r.clock_ms.store(0);
  r.clock_block.store(0);
  r.underruns.store(0);
  r.timed_frames.store(0);
  r.latency_sum_ms.store(0);
  r.latency_max_ms.store(0);
}

uint64_t live_ring_written(const LiveRing& r) { return r.written.load(std::memory_order_relaxed); }

bool live_ring_push(LiveRing& r, const int16_t* samples, int32_t count) {
  const uint64_t w = r.written.load(std::memory_order_relaxed);
  const uint64_t read = r.read.load(std::memory_order_acquire);
  if (count <= 0 || w - read + static_cast<uint64_t>(count) > kLiveRingSamples) return false;
  for (int32_t i = 0; i < count; ++i) r.samples[(w + static_cast<uint64_t>(i)) & kRingMask] = samples[i];
  r.written.store(w + static_cast<uint64_t>(count), std::memory_order_release);
  return true;
}

void live_ring_mark(LiveRing& r, uint64_t index, uint32_t time_ms) {
  const uint32_t w = r.marks_written.load(std::memory_order_relaxed);
  if (w - r.marks_read.load(std::memory_order_acquire) >= kLiveMarks) return;
  r.marks[w % kLiveMarks] = LiveMark{index, time_ms};
  r.marks_written.store(w + 1, std::memory_order_release);
}

void live_ring_cut(LiveRing& r, uint64_t at) {
  if (at > r.cut_at.load(std::memory_order_relaxed)) r.cut_at.store(at, std::memory_order_relaxed);
  r.cuts.fetch_add(1, std::memory_order_release);
}

LiveClock live_ring_clock(const LiveRing& r) {
  for (;;) {
    const uint32_t before = r.clock_seq.load(std::memory_order_acquire);
    LiveClock c{r.clock_pulled.load(std::memory_order_relaxed), r.clock_read.load(std::memory_order_relaxed),
                r.clock_ms.load(std::memory_order_relaxed), r.clock_block.load(std::memory_order_relaxed)};
    std::atomic_thread_fence(std::memory_order_acquire);
    if ((before & 1) == 0 && r.clock_seq.load(std::memory_order_relaxed) == before) return c;
  }
}

LivePlay live_ring_state(const LiveRing& r) {
  return static_cast<LivePlay>(r.state.load(std::memory_order_acquire));
}

void live_ring_pull(LiveRing& r, int16_t* out, int32_t count, uint32_t now_ms) {
  uint64_t read = r.read.load(std::memory_order_relaxed);
  const uint64_t written = r.written.load(std::memory_order_acquire);
  const uint32_t cuts = r.cuts.load(std::memory_order_acquire);
  const bool cut = cuts != r.cuts_seen;
  r.cuts_seen = cuts;
  const uint64_t cut_at = r.cut_at.load(std::memory_order_relaxed);
  if (cut && (r.play == LivePlay::FadingIn || r.play == LivePlay::Playing)) r.play = LivePlay::FadingOut;
  // Silent, the reader keeps only the freshest samples it would resume with.
  const uint64_t keep = static_cast<uint64_t>(std::max(r.resume_fill.load(std::memory_order_relaxed), 0)) +
                        static_cast<uint64_t>(count);
  if (r.play == LivePlay::Silent || r.play == LivePlay::Falling) {
    drop_to(r, &read, cut_at, now_ms);
    if (r.play == LivePlay::Silent && written - read > keep) drop_to(r, &read, written - keep, now_ms);
    if (r.play == LivePlay::Silent && r.hold.load(std::memory_order_acquire) == 0 && written - read >= keep) {
      r.play = LivePlay::FadingIn;
      r.gain = 0;
    }
  }
  // Playing on with enough in the ring: the samples as they are.
  const int32_t straight = r.play == LivePlay::Playing && written - read >= static_cast<uint64_t>(count) ? count : 0;
  for (int32_t k = 0; k < straight; ++k) out[k] = r.samples[(read + static_cast<uint64_t>(k)) & kRingMask];
  if (straight > 0) {
    read += static_cast<uint64_t>(straight);
    r.last_out = out[straight - 1];
  }
  for (int32_t k = straight; k < count; ++k) {
    const bool sounding = r.play == LivePlay::FadingIn || r.play == LivePlay::Playing ||
                          r.play == LivePlay::FadingOut;
    if (sounding && read == written) {
      if (r.play != LivePlay::FadingOut) r.underruns.fetch_add(1, std::memory_order_relaxed);
      start_fall(r, r.play == LivePlay::FadingOut ? r.gain : kLiveFadeSamples);
    }
    int32_t v = 0;
    if (r.play == LivePlay::Falling) {
      v = r.fall_from * r.fall_left / r.fall_steps;
      if (--r.fall_left == 0) {
        r.play = LivePlay::Silent;
        drop_to(r, &read, r.cut_at.load(std::memory_order_relaxed), now_ms);
      }
    } else if (r.play != LivePlay::Silent) {
      const int32_t s = r.samples[read & kRingMask];
      ++read;
      if (r.play == LivePlay::FadingIn) {
        if (++r.gain == kLiveFadeSamples) r.play = LivePlay::Playing;
      } else if (r.play == LivePlay::FadingOut) {
        --r.gain;
      } else {
        r.gain = kLiveFadeSamples;
      }
      v = s * r.gain / kLiveFadeSamples;
      if (r.play == LivePlay::FadingOut && r.gain == 0) {
        r.play = LivePlay::Silent;
        drop_to(r, &read, r.cut_at.load(std::memory_order_relaxed), now_ms);
      }
    }
    out[k] = static_cast<int16_t>(v);
    r.last_out = v;
  }
  r.read.store(read, std::memory_order_release);
  settle_marks(r, read, read, now_ms);
  r.state.store(static_cast<int32_t>(r.play), std::memory_order_release);
  r.pulled += static_cast<uint64_t>(count);
  publish_clock(r, read, now_ms, count);
}
