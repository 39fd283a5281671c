// The audio stream: a frame's samples from the sound generator (882 on the
// 50 Hz machine, 735 on the NTSC one), made in runs of 22 after every eighth
// scanline of the frame and the rest at frame end, staged for three frames
// and handed out as one chunk when the third frame ends. The same schedule
// logs the VGM waits. While no samples are made (nobody takes them) the
// schedule and the VGM waits run on, silently. Where the chunks go (a
// looping sound buffer, a WAV file) is the front end's business.
#pragma once

#include <cstdint>
#include <mutex>

constexpr int32_t kSoundRate = 44100;
// The 50 Hz machine's figures; the NTSC machine's frame is 735 samples.
constexpr int32_t kSamplesPerFrame = 882;
constexpr int32_t kLinesPerRun = 8;
constexpr int32_t kSamplesPerRun = 22;
constexpr int32_t kStagingFrames = 3;
constexpr int32_t kStagingSamples = kSamplesPerFrame * kStagingFrames;  // 2,646: one chunk

// A stretch of the stream's samples, 16-bit mono at 44,100 Hz.
struct SoundSpan {
  const int16_t* samples;
  int32_t count;
};

struct SoundStream {
  std::mutex lock;             // guards the reset of frame_pos
  uint32_t making = 0;         // 1 while frames make samples (someone takes them)
  int32_t frame_samples = kSamplesPerFrame;  // the running machine's, 882 or 735
  int32_t line_phase = 0;      // scanlines since the last run, 0-7; 0 at frame end
  int32_t frame_pos = 0;       // samples made so far in this frame, 0-882 (735)
  int32_t segment = 0;         // the third of staging this frame fills
  // Samples at the start of staging that were handed out already (by a run
  // that saved its state before the chunk was full); the chunk leaves them
  // out.
  int32_t delivered = 0;
  // Three frames of mono samples, sized for the 50 Hz machine's longer
  // frames; the second half only gives a generator left in stereo room for
  // its doubled words.
  int16_t staging[2 * kStagingSamples] = {};
};

extern SoundStream snd;

// Power-on: the schedule and staging empty, `frame_samples` a frame.
void snd_reset(int32_t frame_samples);
void snd_frame_begin();
void snd_line_done();
// Ends the frame; when it is the third of a chunk, returns the chunk's
// samples not handed out before (count 0 otherwise). They stay valid until
// the next frame begins.
SoundSpan snd_frame_end();
// The frames staged so far, and not handed out yet, handed out now and
// noted as delivered.
SoundSpan snd_take_staged();

// Save states (sound/stream_state.cpp): the line phase, frame position,
// segment, the delivered mark and the staged samples.
class StateWriter;
class StateReader;
void snd_state_save(StateWriter& out);
// Reads into `into`; snd_state_commit copies the state fields into the live
// stream.
bool snd_state_load(StateReader& in, SoundStream* into);
void snd_state_commit(const SoundStream& from);
extern const uint32_t kSoundStreamRecordSize;
