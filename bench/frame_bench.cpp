// Whole emulated frames, headless, and where their time goes.
//
// Three workloads, chosen by the benchmark's first argument:
//   0 the logo as it runs (its main loop idles on JR $ between frame
//     interrupts; Graphics II, no sprites);
//   1 the busy cartridge (bench/busy.asm): Graphics II, 16 sprites of 16 x 16,
//     the frame interrupt on, 16-bit arithmetic and 512 bytes of VRAM
//     streamed per pass, all four sound channels playing;
//   2 the busy cartridge as a 128 KB image under the Sega mapper, so that
//     its stack and every write to the top page go through the bank
//     register page;
//   3 an interrupt storm (tests/roms/irq_storm.inc, interrupt mode 1): a
//     frame handler that re-enables interrupts without reading the status
//     takes the frame interrupt again and again from line 212 to line 261.
// The second argument picks the machine: 0 the 50 Hz one, 1 the NTSC one.
//
// BM_Frame runs whole frames as a headless run without --present-shot does:
// the Z80, the VDP drawing every line whose row has changed, the sound made and delivered, the
// shell's per-frame work; nobody sees the back buffer, so nothing is
// presented. It reports the multiple of real time (emulated seconds per CPU
// second: 50 frames a second, 60 on the NTSC machine) and the process's
// peak resident memory.
//
// The others take one part of a frame each, on the machine as the workload
// leaves it:
//   BM_FrameZ80      the 312 line slices of the Z80 with the VDP's line
//                    status (its interrupt), nothing drawn or sounded;
//   BM_FrameVdpLines the VDP's 312 lines, every row drawn (the row cache
//                    emptied first), sprites included;
//   BM_FrameSprites  the sprite pass alone over the 192 active lines;
//   BM_FrameSound    one frame's samples made and delivered;
//   BM_FramePresent  presenting the frame (640 x 480, blit mode 0) and the
//                    flip, as a window or --present-shot asks;
//   BM_FrameShell    a whole frame with the devices above left out: the
//                    surface locks, menu and message draws, message timers
//                    and the frame loop itself.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/sound_out.h"
#include "bus/cartridge.h"
#include "bus/io.h"
#include "display/video.h"
#include "machine/machine.h"
#include "platform/platform.h"
#include "sound/psg.h"
#include "sound/stream.h"
#include "vdp/row_cache.h"
#include "vdp/vdp.h"
#include "vdp/vdp_internal.h"
#include "z80/cpu.h"

extern const unsigned char kBusyImage[];
extern const unsigned kBusyImage_size;
extern const unsigned char kStormImage[];
extern const unsigned kStormImage_size;

namespace {

constexpr int kLogo = 0;
constexpr int kBusy = 1;
constexpr int kBusySega = 2;
constexpr int kStorm = 3;
constexpr int kSettleFrames = 100;  // the busy program's set-up takes a few frames
constexpr size_t kSegaImageBanks = 8;

void start_machine(int workload, MachineKind kind = MachineKind::Pal) {
  machine_timing_select(kind);
  app_settings.frame_rate = machine_timing.frames_per_second;
  platform_init(PlatformBackend::Headless, PlatformOptions{});
  video_init(288, 240);
  app_list_resolutions();
  video_set_mode(resolution_table[0].width, resolution_table[0].height);
  app_setup_machine();
  app_settings.present_seen = 0;  // as in a headless run without --present-shot
  if (workload == kBusy || workload == kStorm) {
    // As a cartridge image loads: memory cleared, the image at 0x0000, the
    // devices and the CPU reset.
    std::memset(MachineMemory, 0, kMemorySize);
    if (workload == kBusy) {
      std::memcpy(MachineMemory, kBusyImage, kBusyImage_size);
    } else {
      std::memcpy(MachineMemory, kStormImage, kStormImage_size);
    }
    vdp_reset();
    psg_reset();
    cpu_reset();
    app_settings.logo_phase = 0;
  } else if (workload == kBusySega) {
    std::vector<uint8_t> image(kSegaImageBanks * kBankSize, 0xFF);
    std::memcpy(image.data(), kBusyImage, kBusyImage_size);
    cart_insert(CartMap::Sega, image.data(), image.size());
    vdp_reset();
    psg_reset();
    cpu_reset();
    app_settings.logo_phase = 0;
  }
  for (int i = 0; i < kSettleFrames; ++i) app_run_frame(1, 1);
}

void stop_machine() {
  app_settings.present_seen = 1;
  app_shutdown();
  platform_quit();
  cart_use_flat();
  machine_timing_select(MachineKind::Pal);
  app_settings.frame_rate = machine_timing.frames_per_second;
}

void label(benchmark::State& state) {
  const char* names[] = {"logo", "busy", "busy, Sega mapper", "interrupt storm"};
  std::string text = names[state.range(0)];
  if (machine_timing.kind == MachineKind::Ntsc) text += ", NTSC";
  state.SetLabel(text);
}

void report_frames(benchmark::State& state) {
  const double frames = static_cast<double>(state.iterations());
  state.counters["x_real_time"] =
      benchmark::Counter(frames / machine_timing.frames_per_second, benchmark::Counter::kIsRate);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  label(state);
}

void BM_Frame(benchmark::State& state) {
  const MachineKind kind = state.range(1) == 1 ? MachineKind::Ntsc : MachineKind::Pal;
  start_machine(static_cast<int>(state.range(0)), kind);
  for (auto _ : state) app_run_frame(1, 1);
  report_frames(state);
  stop_machine();
}
BENCHMARK(BM_Frame)
    ->Args({kLogo, 0})
    ->Args({kBusy, 0})
    ->Args({kLogo, 1})
    ->Args({kBusy, 1})
    ->Args({kBusySega, 0})
    ->Args({kStorm, 0})
    ->Unit(benchmark::kMicrosecond);

// Frames with some of the machine's and the shell's calls left out (the rest
// stay real); `step` runs one frame.
void run_with_calls(benchmark::State& state, const MachineCalls& machine, const FrameCalls& shell,
                    void (*step)()) {
  start_machine(static_cast<int>(state.range(0)));
  const MachineCalls saved_machine = machine_calls;
  const FrameCalls saved_shell = frame_calls;
  machine_calls = machine;
  frame_calls = shell;
  for (auto _ : state) step();
  machine_calls = saved_machine;
  frame_calls = saved_shell;
  label(state);
  stop_machine();
}

// The machine's frame with the drawing and the sound left out.
MachineCalls without_devices() {
  MachineCalls calls = machine_calls;
  calls.vdp_render_line = [](int) {};
  calls.snd_frame_begin = [] {};
  calls.snd_line_done = [] {};
  calls.snd_frame_end = [] { return SoundSpan{snd.staging, 0}; };
  return calls;
}

// The shell's frame with the sound output and the present left out.
FrameCalls without_output() {
  FrameCalls calls = frame_calls;
  calls.snd_deliver = [](const MachineFrame&, int) {};
  calls.video_present = [] {};
  calls.video_flip = [](int) { return 1; };
  return calls;
}

void BM_FrameZ80(benchmark::State& state) {
  MachineCalls calls = without_devices();
  calls.vdp_render_line = [](int) { vdp_line_status(); };
  run_with_calls(state, calls, without_output(), [] { machine_run_frame(1); });
}
BENCHMARK(BM_FrameZ80)->Arg(kLogo)->Arg(kBusy)->Unit(benchmark::kMicrosecond);

void BM_FrameVdpLines(benchmark::State& state) {
  start_machine(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    vdp_forget_all_rows();
    video_lock_frame();
    for (vdp.current_line = 0; vdp.current_line < kLinesPerFrame; vdp.current_line += 1) {
      vdp_render_line(1);
    }
    video_unlock_frame();
  }
  label(state);
  stop_machine();
}
BENCHMARK(BM_FrameVdpLines)->Arg(kLogo)->Arg(kBusy)->Unit(benchmark::kMicrosecond);

void BM_FrameSprites(benchmark::State& state) {
  start_machine(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    video_lock_frame();
    for (int line = 0; line < kActiveLines; ++line) vdp_draw_sprites(line);
    video_unlock_frame();
  }
  label(state);
  stop_machine();
}
BENCHMARK(BM_FrameSprites)->Arg(kLogo)->Arg(kBusy)->Unit(benchmark::kMicrosecond);

void BM_FrameSound(benchmark::State& state) {
  start_machine(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    snd_frame_begin();
    for (int line = 0; line < kLinesPerFrame; ++line) snd_line_done();
    snd_deliver(MachineFrame{{}, snd_frame_end()}, 1);
  }
  label(state);
  stop_machine();
}
BENCHMARK(BM_FrameSound)->Arg(kLogo)->Arg(kBusy)->Unit(benchmark::kMicrosecond);

void BM_FramePresent(benchmark::State& state) {
  start_machine(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    app_present();
    video_flip(1);
  }
  label(state);
  stop_machine();
}
BENCHMARK(BM_FramePresent)->Arg(kLogo)->Arg(kBusy)->Unit(benchmark::kMicrosecond);

void BM_FrameShell(benchmark::State& state) {
  MachineCalls calls = without_devices();
  calls.cpu_run = [](int32_t budget) { return budget; };
  run_with_calls(state, calls, without_output(), [] { app_run_frame(1, 1); });
}
BENCHMARK(BM_FrameShell)->Arg(kLogo)->Arg(kBusy)->Unit(benchmark::kMicrosecond);

}  // namespace
