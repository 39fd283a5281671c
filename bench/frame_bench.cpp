// Whole emulated frames, headless: the Z80, the VDP drawing every line, the
// sound made and delivered, the frame presented (640 x 480, blit mode 0).
// Reports frames per second of CPU time, the multiple of real time (emulated
// seconds per CPU second: 50 frames a second, 60 on the NTSC machine) and the
// process's peak resident memory.
//
// Three workloads: the logo as it runs (its main loop idles on JR $ between
// frame interrupts); a busy program that never idles: loads, adds and
// stores through (HL) in a DJNZ loop, with the logo's frame handler and
// Graphics II screen kept; and the same busy program as a 128 KB cartridge
// under the Sega mapper, switching the bank of slot 2 after every 256 passes.
// The first two also run, as ...Ntsc, on the NTSC machine.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstring>
#include <vector>

#include "app/app.h"
#include "bus/cartridge.h"
#include "bus/io.h"
#include "bus/machine_timing.h"
#include "display/video.h"
#include "platform/platform.h"
#include "z80/cpu.h"

namespace {

void start_machine(MachineKind kind) {
  machine_timing_select(kind);
  app_settings.frame_rate = machine_timing.frames_per_second;
  platform_init(PlatformBackend::Headless, PlatformOptions{});
  video_init(288, 240);
  app_list_resolutions();
  video_set_mode(resolution_table[0].width, resolution_table[0].height);
  app_setup_machine();
  for (int i = 0; i < 3; ++i) app_run_frame(1, 1);  // the logo sets up the VDP
}

void report(benchmark::State& state) {
  const double frames = static_cast<double>(state.iterations());
  state.counters["frames_per_s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
  state.counters["x_real_time"] =
      benchmark::Counter(frames / machine_timing.frames_per_second, benchmark::Counter::kIsRate);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  app_shutdown();
  platform_quit();
  machine_timing_select(MachineKind::Pal);
  app_settings.frame_rate = machine_timing.frames_per_second;
}

void whole_frame_logo(benchmark::State& state, MachineKind kind) {
  start_machine(kind);
  for (auto _ : state) app_run_frame(1, 1);
  report(state);
}

void whole_frame_busy_program(benchmark::State& state, MachineKind kind) {
  start_machine(kind);
  constexpr uint16_t kBusyLoop = 0x0200;
  const uint8_t busy[] = {
      0x21, 0x00, 0x80,  // LD HL,8000h
      0x06, 0x00,        // LD B,0
      0x7E,              // LD A,(HL)
      0x80,              // ADD A,B
      0x77,              // LD (HL),A
      0x23,              // INC HL
      0x10, 0xFA,        // DJNZ -6
      0x18, 0xF6,        // JR -10
  };
  std::memcpy(MachineMemory + kBusyLoop, busy, sizeof busy);
  cpu.pc = kBusyLoop;
  for (auto _ : state) app_run_frame(1, 1);
  report(state);
}

void BM_WholeFrameLogo(benchmark::State& state) { whole_frame_logo(state, MachineKind::Pal); }
BENCHMARK(BM_WholeFrameLogo)->Unit(benchmark::kMicrosecond);
void BM_WholeFrameLogoNtsc(benchmark::State& state) { whole_frame_logo(state, MachineKind::Ntsc); }
BENCHMARK(BM_WholeFrameLogoNtsc)->Unit(benchmark::kMicrosecond);

void BM_WholeFrameBusyProgram(benchmark::State& state) { whole_frame_busy_program(state, MachineKind::Pal); }
BENCHMARK(BM_WholeFrameBusyProgram)->Unit(benchmark::kMicrosecond);
void BM_WholeFrameBusyProgramNtsc(benchmark::State& state) { whole_frame_busy_program(state, MachineKind::Ntsc); }
BENCHMARK(BM_WholeFrameBusyProgramNtsc)->Unit(benchmark::kMicrosecond);

void BM_WholeFrameSegaMapper(benchmark::State& state) {
  start_machine(MachineKind::Pal);
  constexpr uint16_t kBusyLoop = 0x0200;
  constexpr size_t kBanks = 8;
  const uint8_t busy[] = {
      0x21, 0x00, 0x80,  // LD HL,8000h
      0x06, 0x00,        // LD B,0
      0x7E,              // LD A,(HL)
      0x80,              // ADD A,B
      0x77,              // LD (HL),A
      0x23,              // INC HL
      0x10, 0xFA,        // DJNZ -6
      0x32, 0xFF, 0xFF,  // LD (0FFFFh),A: slot 2 shows bank A mod 8
      0x18, 0xF3,        // JR -13
  };
  // Bank 0 is the logo with the busy loop; the other banks are filler.
  std::vector<uint8_t> image(kBanks * kBankSize, 0xC9);
  std::memcpy(image.data(), MachineMemory, kBankSize);
  std::memcpy(image.data() + kBusyLoop, busy, sizeof busy);
  cart_insert(CartMap::Sega, image.data(), image.size());
  cpu.pc = kBusyLoop;
  for (auto _ : state) app_run_frame(1, 1);
  report(state);
  cart_use_flat();
}
BENCHMARK(BM_WholeFrameSegaMapper)->Unit(benchmark::kMicrosecond);

}  // namespace
