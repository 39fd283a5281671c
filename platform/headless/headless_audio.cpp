// Headless audio device: the looping buffer lives in memory and nothing
// plays it. The play position advances by one write per delivery, so the
// stream's chunks land in ring order; each delivered chunk can also be
// appended to a 16-bit mono WAV file, whose sizes are filled in at close.
// The WAV file grows as a temporary file beside its target and replaces the
// target at close; a failure is reported once and remembered for the run.
//
// A live source is played by a simulated sound card: as the driven clock
// moves on, the source is pulled 512 samples at a time, whenever the card's
// own clock (44,100 Hz, off by the chosen rate error) has played the last
// pull, each pull stamped with the millisecond it falls in.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/wav_header.h"

namespace {

constexpr int kMaxBufferBytes = 1 << 24;
constexpr int kPullSamples = 512;  // as the SDL device's

enum class WavState { NotStarted, Writing, Written, Failed };

struct HeadlessAudio {
  int open = 0;
  int playing = 0;
  int rate = 0;
  std::vector<uint8_t> ring;
  uint32_t position = 0;
  int fail_step = 0;
  std::string wav_path;
  OutputFile wav;
  WavState wav_state = WavState::NotStarted;
  uint32_t wav_data_bytes = 0;
  // The simulated card.
  PlatformAudioPull source = nullptr;
  double rate_error = 0.0;
  uint32_t clock_base_ms = 0;  // when the card started, on the driven clock
  uint64_t pulls = 0;          // pulls since then
  HeadlessAudioListener listener = nullptr;
};

HeadlessAudio audio;

void put_le(uint8_t* p, uint32_t v, int n) {
  for (int i = 0; i < n; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void wav_header(uint8_t h[kWavHeaderBytes], uint32_t data_bytes) {
  wav_pcm_header(h, static_cast<uint32_t>(audio.rate), 1, 16, data_bytes);
}

void wav_begin() {
  if (audio.wav_path.empty() || audio.wav_state == WavState::Writing) return;
  if (!output_open(&audio.wav, audio.wav_path.c_str())) {
    audio.wav_state = WavState::Failed;
    return;
  }
  audio.wav_state = WavState::Writing;
  uint8_t h[kWavHeaderBytes];
  wav_header(h, 0);
  output_write(&audio.wav, h, sizeof h);
  audio.wav_data_bytes = 0;
}

void wav_append(const int16_t* samples, int count) {
  if (audio.wav_state != WavState::Writing) return;
  std::vector<uint8_t> bytes(static_cast<size_t>(count) * 2);
  for (int i = 0; i < count; ++i) put_le(&bytes[static_cast<size_t>(i) * 2], static_cast<uint16_t>(samples[i]), 2);
  output_write(&audio.wav, bytes.data(), bytes.size());
  audio.wav_data_bytes += static_cast<uint32_t>(bytes.size());
}

void wav_finish() {
  if (audio.wav_state != WavState::Writing) return;
  uint8_t h[kWavHeaderBytes];
  wav_header(h, audio.wav_data_bytes);
  output_write_at(&audio.wav, 0, h, sizeof h);
  audio.wav_state = output_commit(&audio.wav) ? WavState::Written : WavState::Failed;
}

}  // namespace

int headless_audio_open(int rate, int buffer_bytes) {
  headless_audio_close();
  if (audio.fail_step != 0) return audio.fail_step;
  if (buffer_bytes <= 0 || buffer_bytes > kMaxBufferBytes || rate <= 0) return 120;
  audio.ring.assign(static_cast<size_t>(buffer_bytes), 0);
  audio.rate = rate;
  audio.position = 0;
  audio.playing = 0;
  audio.open = 1;
  wav_begin();
  return 0;
}

void headless_audio_close() {
  wav_finish();
  audio.source = nullptr;
  audio.open = 0;
  audio.playing = 0;
  audio.ring.clear();
}

uint32_t headless_audio_play_position() { return audio.position; }

void headless_audio_set_position(uint32_t byte_offset) {
  if (audio.open && byte_offset < audio.ring.size()) audio.position = byte_offset;
}

int headless_audio_write(uint32_t byte_offset, const int16_t* samples, int count) {
  if (!audio.open || samples == nullptr || count <= 0) return 0;
  const size_t bytes = static_cast<size_t>(count) * 2;
  if (byte_offset > audio.ring.size() || bytes > audio.ring.size() - byte_offset) return 0;
  std::memcpy(audio.ring.data() + byte_offset, samples, bytes);
  wav_append(samples, count);
  audio.position = static_cast<uint32_t>((audio.position + bytes) % audio.ring.size());
  return 1;
}

int headless_audio_play() {
  if (!audio.open) return 0;
  audio.playing = 1;
  return 1;
}

int headless_audio_stop() {
  if (!audio.open) return 0;
  audio.playing = 0;
  return 1;
}

void headless_audio_set_wav(const char* path) {
  wav_finish();
  audio.wav_path = path != nullptr ? path : "";
  audio.wav_state = WavState::NotStarted;
  if (audio.open) wav_begin();
}

int headless_audio_wav_check() {
  if (audio.wav_path.empty() || audio.wav_state == WavState::Written) return 1;
  if (audio.wav_state == WavState::NotStarted) {
    std::fprintf(stderr, "quav: cannot write %s: the audio device never opened\n",
                 audio.wav_path.c_str());
  }
  return 0;
}

const uint8_t* headless_audio_buffer(int* bytes) {
  if (bytes != nullptr) *bytes = audio.open ? static_cast<int>(audio.ring.size()) : 0;
  return audio.open ? audio.ring.data() : nullptr;
}

void headless_audio_fail_open(int step) { audio.fail_step = step; }

int headless_audio_set_source(PlatformAudioPull pull) {
  if (!audio.open) return 0;
  audio.source = pull;
  audio.clock_base_ms = headless_millis();
  audio.pulls = 0;
  return 1;
}

void headless_audio_clock(uint32_t now_ms) {
  if (audio.source == nullptr) return;
  const auto elapsed = static_cast<int32_t>(now_ms - audio.clock_base_ms);
  if (elapsed < 0 || audio.rate_error <= -1.0) {  // set back, or the card stopped: it starts again from here
    audio.clock_base_ms = now_ms;
    audio.pulls = 0;
    return;
  }
  const double period_ms = kPullSamples * 1000.0 / (audio.rate * (1.0 + audio.rate_error));
  int16_t block[kPullSamples];
  for (;;) {
    const double due = static_cast<double>(audio.pulls) * period_ms;
    if (due > elapsed || audio.source == nullptr) break;
    const uint32_t at = audio.clock_base_ms + static_cast<uint32_t>(due);
    audio.source(block, kPullSamples, at);
    if (audio.listener != nullptr) audio.listener(block, kPullSamples, at);
    audio.pulls += 1;
  }
}

void headless_audio_set_rate_error(double rate_error) {
  headless_audio_clock(headless_millis());  // the card plays up to now at its old rate
  audio.rate_error = rate_error;
  audio.clock_base_ms = headless_millis();
  audio.pulls = 0;
}

void headless_audio_set_listener(HeadlessAudioListener listener) { audio.listener = listener; }
