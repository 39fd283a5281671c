// The sound of the window and headless runs: the host's audio device with its
// looping buffer of three chunks (60 ms each, 50 ms on the NTSC machine). The
// machine hands out a chunk every third frame; it is written into the chunk
// of the buffer that the play position alone chooses, on the frames that a
// pacing step presents. Without a device the machine makes no samples.
#pragma once

#include <cstdint>

#include "machine/machine.h"

constexpr int32_t kStreamChunks = 3;

// snd_open's results: 0, or the step that failed.
constexpr int kSndOpenNoDevice = 100;     // no audio subsystem
constexpr int kSndOpenNoControl = 101;    // the device cannot be taken for this program
constexpr int kSndOpenNoOutput = 110;     // no output can be opened on the device
constexpr int kSndOpenBadFormat = 111;    // the output refuses the format
constexpr int kSndOpenNoBuffer = 120;     // the looping buffer cannot be made

struct SoundOutput {
  uint32_t enabled = 0;        // 1 once snd_open has succeeded
  uint32_t playing = 0;        // 1 while the looping buffer plays
  uint32_t bytes_per_sample = 2;
  uint32_t chunk_samples = 0;  // samples per chunk of the looping buffer
  uint32_t device = 0;         // 1 while the host's audio device is open
  uint32_t buffer_ready = 0;   // 1 once the looping buffer exists
};

extern SoundOutput snd_out;

// Opens the device for chunks of chunk_ms and starts it; the machine makes
// samples only when it opened.
void snd_init(int chunk_ms);
int snd_open(int rate, int stereo, int chunk_ms);
void snd_start();
void snd_stop();
void snd_close();
void snd_buffer_play();
void snd_buffer_stop();
void snd_write_chunk(const int16_t* samples, int32_t count);
// A frame's sound: the chunk it completed, if any, is written when the frame
// is the last of its pacing step (last = 1) and the buffer plays; the
// frame's own samples go to the live sound (app/live.h).
void snd_deliver(const MachineFrame& frame, int last);
// The samples staged and not handed out yet go to the device now (before a
// state is saved at the end of a headless run).
void snd_deliver_staged();
