// The audio stream's per-line schedule, staging and chunks.
#include "sound/stream.h"

#include <algorithm>

#include "sound/psg.h"
#include "sound/vgm.h"

SoundStream snd;

namespace {

int16_t* staging_at(int32_t frame_pos) {
  return snd.staging + snd.segment * snd.frame_samples + frame_pos;
}

}  // namespace

void snd_reset(int32_t frame_samples) {
  std::lock_guard<std::mutex> guard(snd.lock);
  snd.frame_samples = std::clamp(frame_samples, 0, kSamplesPerFrame);
  snd.line_phase = 0;
  snd.frame_pos = 0;
  snd.segment = 0;
  snd.delivered = 0;
  std::fill(std::begin(snd.staging), std::end(snd.staging), int16_t{0});
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
  if (snd.making && snd.frame_pos + kSamplesPerRun <= snd.frame_samples) {
    psg_update(staging_at(snd.frame_pos), kSamplesPerRun);
  }
  snd.frame_pos += kSamplesPerRun;
  vgm_log_wait(kSamplesPerRun);
}

// The next frame counts its lines from 0: the 312-line frame ends on a run
// anyway; the 262-line frame's last six lines go to its rest of 31 samples.
SoundSpan snd_frame_end() {
  const int32_t frame_samples = snd.frame_samples;
  if (snd.frame_pos < frame_samples) {
    const int32_t rest = frame_samples - snd.frame_pos;
    if (snd.making) psg_update(staging_at(snd.frame_pos), rest);
    vgm_log_wait(rest);
  }
  snd.line_phase = 0;
  snd.segment += 1;
  if (snd.segment < kStagingFrames) return {snd.staging, 0};
  snd.segment = 0;
  const int32_t from = snd.delivered;
  snd.delivered = 0;
  return {snd.staging + from, frame_samples * kStagingFrames - from};
}

SoundSpan snd_take_staged() {
  const int32_t staged = snd.segment * snd.frame_samples;
  if (staged <= snd.delivered) return {snd.staging, 0};
  const SoundSpan span{snd.staging + snd.delivered, staged - snd.delivered};
  snd.delivered = staged;
  return span;
}
