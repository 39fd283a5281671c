// The audio stream: a frame's samples from the sound generator (882 on the
// 50 Hz machine, 735 on the NTSC one), made in runs of 22 after every eighth
// scanline of the frame and the rest at frame end, staged for three frames
// and written as one chunk (60 ms, or 50 ms on the NTSC machine) into the
// host's looping three-chunk buffer, the chunk chosen by the play position
// alone. The same schedule logs the VGM waits. Without an audio device the
// schedule and the VGM waits run on, silently.
#pragma once

#include <cstdint>
#include <mutex>

#include "bus/machine_timing.h"

constexpr int32_t kSoundRate = 44100;
// The 50 Hz machine's figures; the running machine's come from machine_timing.
constexpr int32_t kSoundChunkMs = kPalTiming.chunk_ms;              // 60
constexpr int32_t kSamplesPerFrame = kPalTiming.samples_per_frame;  // 882
constexpr int32_t kLinesPerRun = 8;
constexpr int32_t kSamplesPerRun = 22;
constexpr int32_t kStagingFrames = 3;
constexpr int32_t kStagingSamples = kSamplesPerFrame * kStagingFrames;  // 2,646: one chunk
constexpr int32_t kStreamChunks = 3;

// snd_open's results: 0, or the step that failed.
constexpr int kSndOpenNoDevice = 100;     // no audio subsystem
constexpr int kSndOpenNoControl = 101;    // the device cannot be taken for this program
constexpr int kSndOpenNoOutput = 110;     // no output can be opened on the device
constexpr int kSndOpenBadFormat = 111;    // the output refuses the format
constexpr int kSndOpenNoBuffer = 120;     // the looping buffer cannot be made

struct SoundStream {
  std::mutex lock;             // guards the reset of frame_pos
  uint32_t enabled = 0;        // 1 once snd_open has succeeded
  uint32_t playing = 0;        // 1 while the looping buffer plays
  int32_t line_phase = 0;      // scanlines since the last run, 0-7; 0 at frame end
  int32_t frame_pos = 0;       // samples made so far in this frame, 0-882 (735)
  int32_t segment = 0;         // the third of staging this frame fills
  // Samples at the start of staging that were handed out already (by a run
  // that saved its state before the chunk was full); the chunk's delivery
  // leaves them out.
  int32_t delivered = 0;
  // Three frames of mono samples, sized for the 50 Hz machine's longer
  // frames; the second half only gives a generator left in stereo room for
  // its doubled words.
  int16_t staging[2 * kStagingSamples] = {};
  uint32_t bytes_per_sample = 2;
  uint32_t chunk_samples = 0;  // samples per chunk of the looping buffer
  uint32_t device = 0;         // 1 while the host's audio device is open
  uint32_t buffer_ready = 0;   // 1 once the looping buffer exists
};

extern SoundStream snd;

void snd_init();
int snd_open(int rate, int stereo, int chunk_ms);
void snd_start();
void snd_stop();
void snd_close();
void snd_buffer_play();
void snd_buffer_stop();
void snd_frame_begin();
void snd_line_done();
void snd_frame_end(int deliver);
void snd_write_chunk(const int16_t* samples, int32_t count);
// After snd_frame_end: the frame's samples (machine_timing's samples per
// frame of them), as the live sound takes them.
const int16_t* snd_frame_samples();
// Hands the frames staged so far, and not handed out yet, to the audio
// device now, and notes them as delivered.
void snd_deliver_staged();

// Save states (sound/stream_state.cpp): the line phase, frame position,
// segment, the delivered mark and the staged samples. The device fields
// belong to the host.
class StateWriter;
class StateReader;
void snd_state_save(StateWriter& out);
// Reads into `into`, whose device fields are ignored; snd_state_commit
// copies the state fields into the live stream.
bool snd_state_load(StateReader& in, SoundStream* into);
void snd_state_commit(const SoundStream& from);
extern const uint32_t kSoundStreamRecordSize;
