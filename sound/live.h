// Live sound: how the window hands the machine's samples to the sound card.
//
// What the machine makes is untouched (the stream, its chunks, the WAV and
// VGM files). Each emulated frame's samples go, as soon as the frame is
// made, through a ring (sound/live_ring.h) that the card drains on its own
// thread and clock. The two clocks never quite agree, so the frames are
// resampled (sound/resampler.h) by a ratio that follows the card: its rate
// as measured over the last few seconds of its pulls, corrected by how far
// the ring's fill stands from its target, and kept within 5 % of 1. The
// target is 25 ms of sound ahead of each new frame, about two frames in the
// ring on average. Sound starts once the card's rate is known (a quarter of
// a second or so), and every start, pause, load, dry ring or quit fades
// instead of cutting.
//
// The front end makes one call per emulated frame and one per event; the
// sound card's side is live_pull, which the platform calls on its thread.
#pragma once

#include <cstdint>

#include "sound/live_ring.h"
#include "sound/resampler.h"

constexpr int32_t kLiveRate = 44100;
constexpr int32_t kLiveTargetMs = 25;
constexpr double kLiveMaxRateChange = 0.05;
// The device's clock is measured over at most this many points a quarter of
// a second apart, leaving out its first 200 ms (some cards take several
// pulls at once while they start).
constexpr int32_t kLiveClockPoints = 20;

struct LiveClockPoint {
  uint64_t pulled;
  uint32_t time_ms;
};

struct LiveSound {
  int32_t running = 0;   // 1 while a device takes the live sound
  int32_t paused = 0;
  int32_t device_known = 0;  // 1 once the device's rate has been measured
  uint32_t start_ms = 0;
  LiveClockPoint points[kLiveClockPoints] = {};
  int32_t point_count = 0;
  double device_rate = 1.0;  // the device's samples per 44,100 of ours
  double fill = 0.0;         // the ring's fill ahead of a new frame, smoothed
  double ratio = 1.0;        // the last frame's resampling ratio
  Resampler resampler;
  LiveRing ring;
};

extern LiveSound live;

// Starts the live sound on the open audio device; 0 (and the live sound
// stays off) when there is none.
int live_start();
// One emulated frame's samples (44,100 a second); nothing while stopped.
void live_frame(const int16_t* samples, int32_t count);
// Pause (1) fades out and stays silent; resume (0) fades in again.
void live_pause(int paused);
// The machine is about to be replaced (a game, a reset, a state): what is
// still queued fades out and the new machine's sound fades in.
void live_load();
// Fades out and waits (up to 100 ms) until the device is silent.
void live_stop();
// The device's side: `count` samples taken at `now_ms` on the host's clock.
void live_pull(int16_t* out, int count, uint32_t now_ms);

struct LiveStats {
  uint64_t underruns;      // times the ring ran dry while sounding
  uint64_t timed_frames;   // frames whose first sample left for the device
  double latency_mean_ms;  // from handing a frame over to its first sample leaving
  uint32_t latency_max_ms;
};
LiveStats live_stats();
