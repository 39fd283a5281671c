// Start-up and shutdown of the shell around the machine: the resolution
// table, the machine powered on amid the host keyboard, the about page and
// the sound device in their fixed order, and the orderly tear-down.
#include <cstdio>

#include "app/app.h"
#include "app/host_input.h"
#include "app/library.h"
#include "app/machine_files.h"
#include "app/osd.h"
#include "app/sound_out.h"
#include "display/video.h"

AppSettings app_settings;
int32_t quit_requested = 0;
int32_t window_active = 0;
int32_t key_delay = 0;

ResolutionEntry resolution_table[kMaxResolutions];
int32_t resolution_count = 0;

namespace {

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

int32_t app_setup_machine() {
  input_init();
  machine_power_on(machine_timing.kind);
  osd_show_about();
  app_boot_logo();
  snd_init(machine_timing.chunk_ms);
  return 1;
}

void app_shutdown() {
  snd_stop();
  quit_requested = 1;
  snd_close();
  video_release();
  machine_power_off();
  input_release();
  vgm_stop("quav.vgm");
}
