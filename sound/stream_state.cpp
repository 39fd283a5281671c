// The audio stream's part of a save state: where the stream stands in its
// per-line schedule and in its three frames of staging, and the staged
// samples themselves, so that a loaded run delivers the same chunks as the
// run that was saved would have.
#include "sound/stream.h"
#include "state/state_bytes.h"

// The size of the record this serialiser was written for; a test compares it
// with the record, so a field added to the record is not forgotten here.
extern const uint32_t kSoundStreamRecordSize = 10648;

namespace {

// A frame's position counts on past its 882 samples only by the runs of a
// longer frame; anything beyond this the stream never makes.
constexpr int32_t kMaxFramePos = 2 * kSamplesPerFrame;

}  // namespace

void snd_state_save(StateWriter& out) {
  out.u8(static_cast<uint32_t>(snd.line_phase));
  out.u16(static_cast<uint32_t>(snd.frame_pos));
  out.u8(static_cast<uint32_t>(snd.segment));
  out.u16(static_cast<uint32_t>(snd.delivered));
  for (int32_t i = 0; i < kStagingSamples; ++i) out.u16(static_cast<uint16_t>(snd.staging[i]));
}

bool snd_state_load(StateReader& in, SoundStream* into) {
  SoundStream& s = *into;
  s.line_phase = static_cast<int32_t>(in.u8());
  s.frame_pos = static_cast<int32_t>(in.u16());
  s.segment = static_cast<int32_t>(in.u8());
  s.delivered = static_cast<int32_t>(in.u16());
  for (int32_t i = 0; i < kStagingSamples; ++i) s.staging[i] = static_cast<int16_t>(in.u16());
  return in.done() && s.line_phase < kLinesPerRun && s.frame_pos <= kMaxFramePos &&
         s.segment < kStagingFrames && s.delivered <= s.segment * kSamplesPerFrame;
}

void snd_state_commit(const SoundStream& from) {
  std::lock_guard<std::mutex> guard(snd.lock);
  snd.line_phase = from.line_phase;
  snd.frame_pos = from.frame_pos;
  snd.segment = from.segment;
  snd.delivered = from.delivered;
  for (int32_t i = 0; i < kStagingSamples; ++i) snd.staging[i] = from.staging[i];
}
