// Whole emulated frames, headless: the Z80, the VDP drawing every line, the
// sound made and delivered, the frame presented. Reports frames per second
// of CPU time and the process's peak resident memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "app/app.h"
#include "display/video.h"
#include "platform/platform.h"

namespace {

void BM_WholeFrame(benchmark::State& state) {
  platform_init(PlatformBackend::Headless, PlatformOptions{});
  video_init(288, 240);
  app_list_resolutions();
  video_set_mode(resolution_table[0].width, resolution_table[0].height);
  app_setup_machine();
  for (auto _ : state) {
    app_run_frame(1, 1);
  }
  state.counters["frames_per_s"] = benchmark::Counter(
      static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["x_real_time"] = benchmark::Counter(
      static_cast<double>(state.iterations()) / 50.0, benchmark::Counter::kIsRate);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  app_shutdown();
  platform_quit();
}
BENCHMARK(BM_WholeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
