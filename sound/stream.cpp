// The audio stream's device handling, per-line schedule and delivery.
#include "sound/stream.h"

#include "platform/platform.h"
#include "sound/psg.h"
#include "sound/vgm.h"

SoundStream snd;

namespace {

constexpr int32_t kPsgClock = 3579545;
constexpr const char* kVgmFileName = "quav.vgm";

// Both machines' three frames fit the staging, and one chunk is exactly
// the three frames delivered with it.
static_assert(kNtscTiming.samples_per_frame <= kSamplesPerFrame);
static_assert(kSoundRate * kPalTiming.chunk_ms / 1000 == kPalTiming.samples_per_frame * kStagingFrames);
static_assert(kSoundRate * kNtscTiming.chunk_ms / 1000 == kNtscTiming.samples_per_frame * kStagingFrames);

int16_t* staging_at(int32_t frame_pos) {
  return snd.staging + snd.segment * machine_timing.samples_per_frame + frame_pos;
}

}  // namespace

void snd_init() {
  snd.enabled = 0;
  if (snd_open(kSoundRate, 0, machine_timing.chunk_ms) == 0) {
    snd.enabled = 1;
    snd_start();
  }
  psg_init(kPsgClock, kSoundRate, 0);
}

int snd_open(int rate, int stereo, int chunk_ms) {
  snd.bytes_per_sample = 2u << (stereo & 1);
  const int64_t chunk = static_cast<int64_t>(rate) * chunk_ms / 1000;
  snd.chunk_samples = chunk > 0 && chunk < 0x1000000 ? static_cast<uint32_t>(chunk) : 0;
  snd.buffer_ready = 0;
  if (snd.device) platform_audio_close();
  snd.device = 0;
  snd.playing = 0;
  const int64_t bytes = static_cast<int64_t>(snd.chunk_samples) * snd.bytes_per_sample * kStreamChunks;
  const int rc = platform_audio_open(rate, static_cast<int>(bytes));
  if (rc != 0) return rc;
  // The host's output is mono only.
  if (stereo & 1) {
    platform_audio_close();
    return kSndOpenBadFormat;
  }
  if (bytes == 0) {
    platform_audio_close();
    return kSndOpenNoBuffer;
  }
  snd.device = 1;
  snd.buffer_ready = 1;
  return 0;
}

void snd_start() {
  if (snd.playing == 0) {
    snd_buffer_play();
    snd.playing = 1;
  }
  psg.muted = 0;
}

void snd_stop() {
  psg.muted = 1;
  if (snd.playing == 1) {
    snd_buffer_stop();
    snd.playing = 0;
  }
}

void snd_close() {
  vgm_stop(kVgmFileName);
  // The device is released here, which also finishes a headless WAV file.
  if (snd.device) platform_audio_close();
  snd.device = 0;
  snd.buffer_ready = 0;
  snd.enabled = 0;
  snd.playing = 0;
}

void snd_buffer_play() {
  if (!snd.buffer_ready) return;
  platform_audio_set_position(0);
  platform_audio_play();
}

void snd_buffer_stop() {
  if (snd.buffer_ready) platform_audio_stop();
}

void snd_frame_begin() {
  std::lock_guard<std::mutex> guard(snd.lock);
  snd.frame_pos = 0;
}

void snd_line_done() {
  snd.line_phase += 1;
  if (snd.line_phase < kLinesPerRun) return;
  snd.line_phase = 0;
  // A frame longer than its lines keeps counting but makes no samples past
  // its stretch of staging.
  if (snd.enabled && snd.frame_pos + kSamplesPerRun <= machine_timing.samples_per_frame) {
    psg_update(staging_at(snd.frame_pos), kSamplesPerRun);
  }
  snd.frame_pos += kSamplesPerRun;
  vgm_log_wait(kSamplesPerRun);
}

// The next frame counts its lines from 0: the 312-line frame ends on a run
// anyway; the 262-line frame's last six lines go to its rest of 31 samples.
void snd_frame_end(int deliver) {
  const int32_t frame_samples = machine_timing.samples_per_frame;
  if (snd.frame_pos < frame_samples) {
    const int32_t rest = frame_samples - snd.frame_pos;
    if (snd.enabled) psg_update(staging_at(snd.frame_pos), rest);
    vgm_log_wait(rest);
  }
  snd.line_phase = 0;
  snd.segment += 1;
  if (snd.segment >= kStagingFrames) {
    snd.segment = 0;
    const int32_t from = snd.delivered;
    snd.delivered = 0;
    if (deliver == 1 && snd.enabled == 1 && snd.playing == 1) {
      snd_write_chunk(snd.staging + from, frame_samples * kStagingFrames - from);
    }
  }
}

const int16_t* snd_frame_samples() {
  const int32_t just_made = (snd.segment + kStagingFrames - 1) % kStagingFrames;
  return snd.staging + just_made * machine_timing.samples_per_frame;
}

void snd_deliver_staged() {
  const int32_t staged = snd.segment * machine_timing.samples_per_frame;
  if (staged <= snd.delivered) return;
  if (snd.enabled == 1 && snd.playing == 1) {
    snd_write_chunk(snd.staging + snd.delivered, staged - snd.delivered);
  }
  snd.delivered = staged;
}

void snd_write_chunk(const int16_t* samples, int32_t count) {
  if (!snd.buffer_ready || samples == nullptr || count <= 0) return;
  const uint32_t bytes = snd.bytes_per_sample * static_cast<uint32_t>(count);
  const uint32_t play = platform_audio_play_position();
  const uint32_t target = (play / bytes + 2) % kStreamChunks;
  platform_audio_write(target * bytes, samples, count);
}
