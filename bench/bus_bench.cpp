// The port map's cost per access: a program's mix of reads (keyboard rows,
// V counter, unanswered ports) and row-select writes.
#include <benchmark/benchmark.h>

#include "bus/io.h"
#include "bus/ppi.h"

namespace {

void BM_PortReads(benchmark::State& state) {
  const uint32_t ports[] = {0xDC, 0xDD, 0x7E, 0xDE, 0x00, 0xC0, 0xDF, 0x12E0};
  uint32_t sum = 0;
  for (auto _ : state) {
    for (uint32_t p : ports) sum += io_read_port(p);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 8);
}
BENCHMARK(BM_PortReads);

void BM_RowSelectWrites(benchmark::State& state) {
  uint32_t row = 0;
  for (auto _ : state) {
    io_write_port(0xDE, row++ & 7);
    benchmark::DoNotOptimize(ppi.selected_row);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RowSelectWrites);

}  // namespace
