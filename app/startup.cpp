// Start-up and shutdown of the machine: the resolution table, the wiring of
// the Z80's memory maps and port callbacks, the devices' set-up in their
// fixed order, and the orderly tear-down.
#include <cstdio>

#include "app/app.h"
#include "app/library.h"
#include "app/osd.h"
#include "bus/cartridge.h"
#include "bus/input.h"
#include "bus/io.h"
#include "display/video.h"
#include "sound/psg.h"
#include "sound/stream.h"
#include "sound/vgm.h"
#include "vdp/vdp.h"
#include "z80/cpu.h"

AppSettings app_settings;
int32_t quit_requested = 0;
int32_t window_active = 0;
int32_t key_delay = 0;

ResolutionEntry resolution_table[kMaxResolutions];
int32_t resolution_count = 0;

namespace {

constexpr int32_t kPsgClock = 3579545;
constexpr int32_t kSampleRate = 44100;

struct ResolutionProbe {
  int32_t width;
  int32_t height;
};
constexpr ResolutionProbe kResolutionProbes[kMaxResolutions] = {
    {640, 480}, {512, 480}, {512, 384}, {800, 600}, {1024, 768}};

}  // namespace

int32_t app_list_resolutions() {
  resolution_count = 0;
  for (const ResolutionProbe& p : kResolutionProbes) {
    if (video_has_mode(p.width, p.height) < 0) continue;
    ResolutionEntry& row = resolution_table[resolution_count++];
    row.width = p.width;
    row.height = p.height;
    std::snprintf(row.label, sizeof row.label, "Video Resolution: %dx%d", p.width, p.height);
  }
  return resolution_count;
}

int32_t app_find_resolution(int32_t width, int32_t height) {
  for (int32_t i = 0; i < resolution_count; ++i) {
    if (resolution_table[i].width == width && resolution_table[i].height == height) return i;
  }
  return -1;
}

void app_vdp_interrupt(int level) {
  if (level != 0) {
    cpu_irq(0xFF);
  } else {
    cpu_clear_irq();
  }
}

// The Z80 over MachineMemory: fetches and reads of the whole 64 KB, writes
// only from 0x8000 (the cartridge area below is read-only), the given port
// callbacks; then a CPU reset. The cartridge record says so too.
void app_connect_cpu(PortIn in, PortOut out) {
  cart_use_flat();
  cpu_init();
  cpu_map_fetch(0x0000, 0xFFFF, MachineMemory);
  cpu_map_read(0x0000, 0xFFFF, 0, MachineMemory);
  cpu_map_write(0x8000, 0xFFFF, 0, MachineMemory + 0x8000);
  cpu_set_port_in(in);
  cpu_set_port_out(out);
  cpu_close_maps();
  cpu_reset();
}

int32_t app_setup_machine() {
  app_connect_cpu(io_read_port, io_write_port);
  input_init();
  vdp_init(app_vdp_interrupt);
  psg_init(kPsgClock, kSampleRate, 1);
  osd_show_about();
  app_boot_logo();
  snd_init();
  return 1;
}

void app_shutdown() {
  snd_stop();
  quit_requested = 1;
  snd_close();
  video_release();
  vdp_release();
  input_release();
  vgm_stop("quav.vgm");
}
