// Start-up in its fixed order: command line, Ctrl test, window, display,
// resolution table and first mode, the machine, an optional image and blit
// mode; then the message loop (window) or a fixed number of pacing steps of
// one frame each (headless); then shutdown.
#include "app/run.h"

#include <cstdio>
#include <vector>

#include "app/app.h"
#include "app/command_line.h"
#include "app/hotkeys.h"
#include "app/library.h"
#include "display/screenshot.h"
#include "display/video.h"
#include "platform/platform.h"
#include "sound/vgm.h"

namespace {

constexpr int kFrameWidth = 288;
constexpr int kFrameHeight = 240;
constexpr uint32_t kCtrlTestDelayMs = 250;
constexpr uint32_t kMeterPeriodMs = 20;
constexpr int kLibraryLast = kLibrarySize - 1;

// The window's message loop: frames run while the window is active and no
// event waits. Quitting from the window manager shuts down as F10 does.
int message_loop() {
  while (quit_requested == 0) {
    if (platform_event_waiting()) {
      PlatformEvent event;
      if (!platform_take_event(&event)) continue;
      if (event.kind == PlatformEventKind::Quit) break;
      window_active = event.minimised ? 0 : 1;
    } else if (window_active == 1) {
      app_idle_step();
    } else {
      platform_wait_event();
    }
  }
  return 0;
}

// Headless: N pacing steps, the clock advanced by exactly one frame period
// before each, so every step runs one frame and the run is deterministic.
int headless_frames(const RunOptions& o) {
  const uint32_t frame_ms = 1000u / static_cast<uint32_t>(app_settings.frame_rate);
  if (!o.vgm.empty()) vgm_start();
  for (int frame = 0; frame < o.frames && quit_requested == 0; ++frame) {
    headless_keyboard_set_frame(frame);
    headless_set_millis(static_cast<uint32_t>(frame + 1) * frame_ms);
    app_idle_step();
  }
  int status = 0;
  if (!o.vgm.empty()) vgm_stop(o.vgm.c_str());
  if (!o.shot.empty() && !shot_save_to(o.shot.c_str())) {
    std::fprintf(stderr, "quav: cannot write the screenshot %s\n", o.shot.c_str());
    status = 1;
  }
  if (!o.present_shot.empty() && !shot_save_back_buffer(o.present_shot.c_str())) {
    std::fprintf(stderr, "quav: cannot write the screenshot %s\n", o.present_shot.c_str());
    status = 1;
  }
  return status;
}

void choose_resolution(const StartOptions& start) {
  if (start.width == -1 || start.height == -1) return;
  const int32_t row = app_find_resolution(start.width, start.height);
  if (row < 0) {
    std::fprintf(stderr, "quav: %dx%d is not an available resolution; using %dx%d\n", start.width,
                 start.height, resolution_table[0].width, resolution_table[0].height);
    return;
  }
  app_settings.display_width = start.width;
  app_settings.display_height = start.height;
  app_settings.resolution_index = row;
}

}  // namespace

int app_main(const RunOptions& o) {
  std::vector<const char*> tokens;
  for (const std::string& t : o.rest) tokens.push_back(t.c_str());
  app_set_command_tokens(static_cast<int>(tokens.size()), tokens.data());
  if (app_list_requested()) {
    app_write_game_list();
    return 0;
  }
  if (!o.roms.empty()) library_set_rom_dir(o.roms.c_str());
  if (o.list) {
    library_print(stdout);
    return 0;
  }
  StartOptions start = app_scan_options();
  if (o.blit_mode >= 0) start.blit_mode = o.blit_mode;
  if (o.width > 0) {
    start.width = o.width;
    start.height = o.height;
  }

  PlatformOptions platform_options;
  platform_options.windowed = o.windowed ? 1 : 0;
  if (!platform_init(o.headless ? PlatformBackend::Headless : PlatformBackend::Sdl,
                     platform_options)) {
    return 0;
  }
  if (o.headless) {
    for (const KeyHold& h : o.holds) headless_keyboard_hold(h.code, h.from, h.to);
    if (!o.wav.empty()) headless_audio_set_wav(o.wav.c_str());
    // The back buffer is seen only through --present-shot.
    app_settings.present_seen = o.present_shot.empty() ? 0 : 1;
  }

  // The load display is chosen once, at start: Ctrl held, or --show-load.
  // A person's finger on Ctrl needs the pause; a script's does not.
  app_settings.show_cpu_load = 0;
  if (!o.headless) platform_sleep(kCtrlTestDelayMs);
  if (o.show_load || platform_key_held(HostKey::Control)) {
    app_settings.show_cpu_load = 1;
    app_meter_calibrate(kMeterPeriodMs);
  }

  if (!platform_window_open("QUAV") || !video_init(kFrameWidth, kFrameHeight)) {
    platform_quit();
    return 0;
  }
  if (app_list_resolutions() == 0) {
    std::fprintf(stderr, "quav: the display offers none of the resolutions QUAV uses\n");
    video_release();
    platform_quit();
    return 0;
  }
  choose_resolution(start);
  const ResolutionEntry& mode = resolution_table[app_settings.resolution_index];
  video_set_mode(mode.width, mode.height);

  app_setup_machine();
  if (start.game >= 0 && start.game <= kLibraryLast) {
    app_load_game(start.game);
    app_settings.logo_phase = 0;
  } else if (start.game != -1) {
    std::fprintf(stderr, "quav: /game %d: no such library entry (0-%d); ignored\n", start.game,
                 kLibraryLast);
  }
  if (start.file_name[0] != ' ' && !app_load_file(start.file_name.c_str())) {
    std::fprintf(stderr, "quav: cannot read %s; running the logo\n", start.file_name.c_str());
  }
  if (start.blit_mode >= 0) app_set_blit_mode(start.blit_mode);

  window_active = 1;
  const int status = o.headless ? headless_frames(o) : message_loop();
  app_shutdown();
  platform_audio_close();
  platform_window_close();
  platform_quit();
  return status;
}
