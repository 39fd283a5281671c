// Cost of the sound generator per output sample with all four channels
// audible, in the stream's run sizes; and of the live sound per frame.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "app/live.h"
#include "sound/psg.h"

namespace {

void BM_PsgUpdateFourChannels(benchmark::State& state) {
  psg_init(3579545, 44100, 0);
  // Tones of periods 254, 190 and 3, white noise at rate 0, all at full level.
  for (uint8_t b : {0x8E, 0x0F, 0xAE, 0x0B, 0xC3, 0x00, 0xE4, 0x90, 0xB0, 0xD0, 0xF0}) psg_write(b);
  int16_t buffer[22];
  for (auto _ : state) {
    psg_update(buffer, 22);
    benchmark::DoNotOptimize(buffer);
  }
  state.SetItemsProcessed(state.iterations() * 22);
  state.counters["ns_per_sample"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * 22, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PsgUpdateFourChannels);

}  // namespace

// The live sound's cost per emulated frame, both of its sides: the frame's
// 882 samples of a tone resampled into the ring, and the simulated sound
// card's pulls of the same 20 ms (512 samples at a time), fades and timing
// included. The sound card's side runs on its own thread in the window.
void BM_LiveFrame(benchmark::State& state) {
  platform_init(PlatformBackend::Headless, PlatformOptions{});
  headless_sleep_in_real_time(0);
  headless_set_millis(0);
  platform_audio_open(44100, 15876);
  live_start();
  // A second of the tone, played round and round.
  psg_init(3579545, 44100, 0);
  for (uint8_t b : {0x8E, 0x0F, 0x90}) psg_write(b);
  std::vector<int16_t> tone(50 * 882);
  psg_update(tone.data(), static_cast<int32_t>(tone.size()));
  uint32_t now = 0;
  size_t at = 0;
  for (auto _ : state) {
    headless_set_millis(now += 20);
    live_frame(tone.data() + at, 882);
    at = (at + 882) % tone.size();
  }
  // Emulated seconds of sound per second of CPU: 1,000 would be 2 % of a
  // frame's 20 ms.
  state.counters["x_real_time"] = benchmark::Counter(static_cast<double>(state.iterations()) * 0.020,
                                                     benchmark::Counter::kIsRate);
  live_stop();
  platform_audio_close();
  headless_sleep_in_real_time(1);
  platform_quit();
}
BENCHMARK(BM_LiveFrame);
