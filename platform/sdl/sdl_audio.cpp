// SDL2 audio device: a callback plays the looping buffer (16-bit mono) and
// advances the play position, which the emulation thread reads; chunk
// writes and position changes hold the device lock, so the callback never
// sees half a chunk. Once a live source is set the callback plays what the
// source gives instead, 512 samples a call. Without a sound card the open
// fails with one line on stderr and the emulator runs silent.
#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/backend.h"

namespace {

constexpr Uint16 kDeviceSamples = 512;  // 11.6 ms per callback at 44,100 Hz
constexpr int kMaxBufferBytes = 1 << 24;
constexpr int kNoSubsystem = 100;
constexpr int kNoOutput = 110;
constexpr int kNoBuffer = 120;

struct SdlAudio {
  SDL_AudioDeviceID device = 0;
  int subsystem = 0;
  std::vector<uint8_t> ring;
  std::atomic<uint32_t> position{0};
  std::atomic<int> playing{0};
  PlatformAudioPull source = nullptr;  // changed only under the device lock
};

SdlAudio audio;

// Runs on SDL's audio thread.
void SDLCALL play(void*, Uint8* stream, int len) {
  if (audio.source != nullptr) {
    audio.source(reinterpret_cast<int16_t*>(stream), len / 2, SDL_GetTicks());
    if (audio.playing.load() && !audio.ring.empty()) {
      audio.position.store(static_cast<uint32_t>((audio.position.load() + static_cast<size_t>(len)) % audio.ring.size()));
    }
    return;
  }
  if (!audio.playing.load() || audio.ring.empty()) {
    std::memset(stream, 0, static_cast<size_t>(len));
    return;
  }
  const size_t size = audio.ring.size();
  size_t pos = audio.position.load();
  size_t done = 0;
  while (done < static_cast<size_t>(len)) {
    size_t n = size - pos;
    if (n > static_cast<size_t>(len) - done) n = static_cast<size_t>(len) - done;
    std::memcpy(stream + done, audio.ring.data() + pos, n);
    done += n;
    pos = (pos + n) % size;
  }
  audio.position.store(static_cast<uint32_t>(pos));
}

// The host's sound libraries print their own complaints when there is no
// sound card (ALSA: several lines); they are held back while the device
// opens, and our one line says what happened instead.
class QuietStderr {
 public:
  QuietStderr() : saved_(dup(STDERR_FILENO)) {
    const int null = open("/dev/null", O_WRONLY);
    if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    if (null >= 0) close(null);
  }
  ~QuietStderr() {
    if (saved_ < 0) return;
    dup2(saved_, STDERR_FILENO);
    close(saved_);
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_;
};

int fail(int step, const char* what) {
  std::fprintf(stderr, "quav: no sound (%s: %s), running silent\n", what, SDL_GetError());
  return step;
}

}  // namespace

int sdl_audio_open(int rate, int buffer_bytes) {
  sdl_audio_close();
  int started;
  {
    QuietStderr quiet;
    started = SDL_InitSubSystem(SDL_INIT_AUDIO);
  }
  if (started != 0) return fail(kNoSubsystem, "no audio driver");
  audio.subsystem = 1;
  if (buffer_bytes <= 0 || buffer_bytes > kMaxBufferBytes || buffer_bytes % 2 != 0) {
    SDL_SetError("bad buffer size %d", buffer_bytes);
    return fail(kNoBuffer, "looping buffer");
  }
  audio.ring.assign(static_cast<size_t>(buffer_bytes), 0);
  audio.position.store(0);
  audio.playing.store(0);
  SDL_AudioSpec want;
  SDL_zero(want);
  want.freq = rate;
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = kDeviceSamples;
  want.callback = play;
  // SDL converts to whatever the card takes: the buffer's format is fixed.
  {
    QuietStderr quiet;
    audio.device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  }
  if (audio.device == 0) {
    audio.ring.clear();
    return fail(kNoOutput, "cannot open the audio device");
  }
  SDL_PauseAudioDevice(audio.device, 0);
  return 0;
}

void sdl_audio_close() {
  if (audio.device != 0) {
    SDL_CloseAudioDevice(audio.device);
    audio.device = 0;
  }
  audio.source = nullptr;
  audio.ring.clear();
  audio.playing.store(0);
  if (audio.subsystem) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio.subsystem = 0;
  }
}

uint32_t sdl_audio_play_position() { return audio.position.load(); }

void sdl_audio_set_position(uint32_t byte_offset) {
  if (audio.device == 0 || byte_offset >= audio.ring.size()) return;
  SDL_LockAudioDevice(audio.device);
  audio.position.store(byte_offset & ~1u);
  SDL_UnlockAudioDevice(audio.device);
}

int sdl_audio_write(uint32_t byte_offset, const int16_t* samples, int count) {
  if (audio.device == 0 || samples == nullptr || count <= 0) return 0;
  const size_t bytes = static_cast<size_t>(count) * 2;
  if (byte_offset > audio.ring.size() || bytes > audio.ring.size() - byte_offset) return 0;
  SDL_LockAudioDevice(audio.device);
  std::memcpy(audio.ring.data() + byte_offset, samples, bytes);
  SDL_UnlockAudioDevice(audio.device);
  return 1;
}

int sdl_audio_play() {
  if (audio.device == 0) return 0;
  audio.playing.store(1);
  return 1;
}

int sdl_audio_stop() {
  if (audio.device == 0) return 0;
  audio.playing.store(0);
  return 1;
}

int sdl_audio_set_source(PlatformAudioPull pull) {
  if (audio.device == 0) return 0;
  SDL_LockAudioDevice(audio.device);
  audio.source = pull;
  SDL_UnlockAudioDevice(audio.device);
  return 1;
}
