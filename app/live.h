// Live sound: how the window hands the machine's samples to the sound card.
//
// What the machine makes is untouched (the stream, its chunks, the WAV and
// VGM files). Each emulated frame's samples go, as soon as the frame is
// made, through a ring (app/live_ring.h) that the card drains on its own
// thread and clock. The card's clock never quite agrees with the host's, so
// while the live sound runs the frame loop paces by the card's clock
// (live_pace_clock): frames are made as fast as the card plays them, and the
// pitch is the machine's whatever the card's rate. What is left (the fill a
// start or a late frame leaves, a card that stalls and the host's clock
// standing in) is taken up by resampling (app/resampler.h) each frame by a
// ratio that follows the ring's fill, within 5 % of 1. The target is 25 ms
// of sound ahead of each new frame, about two frames in the ring on
// average; a ring that runs dry between frames less than 100 ms apart (a
// host too busy to make its frames in time) raises it by 5 ms, up to 40 ms,
// and each ten seconds without that lower it again by a millisecond. The sound starts a quarter of a second after
// the first frame, past the window's first slow presents. Every start,
// pause, load, dry ring or quit fades instead of cutting.
//
// The front end makes one call per emulated frame and one per event; the
// sound card's side is live_pull, which the platform calls on its thread.
#pragma once

#include <cstdint>

#include "app/live_ring.h"
#include "app/resampler.h"

constexpr int32_t kLiveRate = 44100;
constexpr int32_t kLiveTargetMs = 25;
constexpr int32_t kLiveMaxTargetMs = 40;
constexpr uint32_t kLiveStartMs = 250;
constexpr double kLiveMaxRateChange = 0.05;
// A card that has not pulled for this long is taken to have stopped: the
// pacing goes on by the host's clock until it pulls again. Frames this far
// apart are a pause in the frame loop, not a slow host.
constexpr int32_t kLiveStallMs = 100;

struct LiveSound {
  int32_t running = 0;  // 1 while a device takes the live sound
  int32_t paused = 0;
  int32_t started = 0;  // 1 once the first quarter second of frames is past
  uint32_t first_frame_ms = 0;
  uint32_t last_frame_ms = 0;
  int32_t frames = 0;
  int32_t target = 0;   // samples ahead of a new frame
  uint64_t underruns_seen = 0;
  uint32_t target_changed_ms = 0;
  double fill = 0.0;   // the ring's fill ahead of a new frame, smoothed
  double ratio = 1.0;  // the last frame's resampling ratio
  // The pacing clock: the host's milliseconds at the start, and the time
  // since, in milliseconds of the card's clock (or the host's in a stall).
  uint32_t clock_base_ms = 0;
  double clock_elapsed_ms = 0.0;
  uint32_t clock_host_ms = 0;     // the host's clock when last asked
  int32_t clock_on_card = 0;
  double clock_card_offset_ms = 0.0;  // elapsed time less the card's
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
// Fades out and waits (up to 150 ms) until the device is silent.
void live_stop();
// The clock the frame loop paces by: the card's while the live sound runs
// (the time of the samples it has taken, counted on from the host's clock
// at the start), otherwise the host's millisecond clock. It never goes back.
uint32_t live_pace_clock();
// The device's side: `count` samples taken at `now_ms` on the host's clock.
void live_pull(int16_t* out, int count, uint32_t now_ms);

struct LiveStats {
  uint64_t underruns;      // times the ring ran dry while sounding
  uint64_t timed_frames;   // frames whose first sample left for the device
  double latency_mean_ms;  // from handing a frame over to its first sample leaving
  uint32_t latency_max_ms;
};
LiveStats live_stats();
