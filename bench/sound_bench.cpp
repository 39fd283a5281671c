// Cost of the sound generator per output sample with all four channels
// audible, in the stream's run sizes.
#include <benchmark/benchmark.h>

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
