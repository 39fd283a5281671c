// The audio device, its looping buffer and the chunks written into it.
#include "app/sound_out.h"

#include "app/live.h"
#include "app/machine_files.h"
#include "platform/platform.h"

SoundOutput snd_out;

namespace {

constexpr const char* kVgmFileName = "quav.vgm";

void write_if_playing(const MachineSamples& span) {
  if (snd_out.enabled == 1 && snd_out.playing == 1) snd_write_chunk(span.samples, span.count);
}

}  // namespace

void snd_init(int chunk_ms) {
  snd_out.enabled = 0;
  if (snd_open(kSoundRate, 0, chunk_ms) == 0) {
    snd_out.enabled = 1;
    snd_start();
  }
  machine_make_sound(static_cast<int>(snd_out.enabled));
}

int snd_open(int rate, int stereo, int chunk_ms) {
  snd_out.bytes_per_sample = 2u << (stereo & 1);
  const int64_t chunk = static_cast<int64_t>(rate) * chunk_ms / 1000;
  snd_out.chunk_samples = chunk > 0 && chunk < 0x1000000 ? static_cast<uint32_t>(chunk) : 0;
  snd_out.buffer_ready = 0;
  if (snd_out.device) platform_audio_close();
  snd_out.device = 0;
  snd_out.playing = 0;
  const int64_t bytes =
      static_cast<int64_t>(snd_out.chunk_samples) * snd_out.bytes_per_sample * kStreamChunks;
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
  snd_out.device = 1;
  snd_out.buffer_ready = 1;
  return 0;
}

void snd_start() {
  if (snd_out.playing == 0) {
    snd_buffer_play();
    snd_out.playing = 1;
  }
  machine_mute(0);
}

void snd_stop() {
  machine_mute(1);
  if (snd_out.playing == 1) {
    snd_buffer_stop();
    snd_out.playing = 0;
  }
}

void snd_close() {
  vgm_stop(kVgmFileName);
  // The device is released here, which also finishes a headless WAV file.
  if (snd_out.device) platform_audio_close();
  snd_out.device = 0;
  snd_out.buffer_ready = 0;
  snd_out.enabled = 0;
  snd_out.playing = 0;
  machine_make_sound(0);
}

void snd_buffer_play() {
  if (!snd_out.buffer_ready) return;
  platform_audio_set_position(0);
  platform_audio_play();
}

void snd_buffer_stop() {
  if (snd_out.buffer_ready) platform_audio_stop();
}

void snd_write_chunk(const int16_t* samples, int32_t count) {
  if (!snd_out.buffer_ready || samples == nullptr || count <= 0) return;
  const uint32_t bytes = snd_out.bytes_per_sample * static_cast<uint32_t>(count);
  const uint32_t play = platform_audio_play_position();
  const uint32_t target = (play / bytes + 2) % kStreamChunks;
  platform_audio_write(target * bytes, samples, count);
}

void snd_deliver(const MachineFrame& frame, int last) {
  if (last == 1 && frame.chunk.count > 0) write_if_playing(frame.chunk);
  live_frame(frame.samples.samples, frame.samples.count);
}

void snd_deliver_staged() { write_if_playing(machine_take_staged_samples()); }
