// Start-up in its fixed order: command line, Ctrl test, window, display,
// resolution table and first mode, the machine, an optional image, blit
// mode and (headless) a state; then the message loop (window) or a fixed
// number of pacing steps of one frame each (headless), a state saved after
// the last; then shutdown.
#include "app/run.h"

#include <cstdio>
#include <vector>

#include "app/app.h"
#include "app/command_line.h"
#include "app/hotkeys.h"
#include "app/key_log.h"
#include "app/library.h"
#include "app/live.h"
#include "app/machine_files.h"
#include "app/osd.h"
#include "app/sound_out.h"
#include "app/state_slots.h"
#include "app/tape_typing.h"
#include "display/screenshot.h"
#include "display/video.h"
#include "machine/machine.h"
#include "platform/platform.h"

namespace {

constexpr uint32_t kCtrlTestDelayMs = 250;
constexpr int kLibraryLast = kLibrarySize - 1;
constexpr int kFileMessageFrames = 160;

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
      key_log_pass(app_frames_run());
      app_idle_step();
    } else {
      platform_wait_event();
    }
  }
  return 0;
}

// The headless clock before pacing step `frame`: the first millisecond at
// which frame + 1 frames are due. At 50 frames a second that is whole
// periods of 20 ms; at 60 the periods alternate 17, 17 and 16 ms, and every
// step still finds exactly one new frame due.
uint32_t headless_step_millis(int frame) {
  const uint64_t rate = static_cast<uint64_t>(app_settings.frame_rate);
  const uint64_t frames = static_cast<uint64_t>(frame) + 1;
  return static_cast<uint32_t>((frames * 1000 + rate - 1) / rate);
}

// Headless: N pacing steps, the clock advanced by one frame period before
// each, so every step runs one frame and the run is deterministic.
int headless_frames(const RunOptions& o) {
  if (!o.vgm.empty()) machine_vgm_start();
  for (int frame = 0; frame < o.frames && quit_requested == 0; ++frame) {
    headless_keyboard_set_frame(frame);
    key_log_pass(frame);
    headless_set_millis(headless_step_millis(frame));
    app_idle_step();
  }
  // Each output that cannot be written has said so in one line.
  int status = 0;
  if (!o.save_state.empty()) {
    // The frames staged so far go out now; the state notes them as delivered,
    // so a run that loads it does not deliver them again.
    snd_deliver_staged();
    std::string why;
    if (!state_save_file(o.save_state, &why)) status = 1;
  }
  if (!o.vgm.empty() && !vgm_stop(o.vgm.c_str())) status = 1;
  if (!o.shot.empty() && !shot_save_to(o.shot.c_str())) status = 1;
  if (!o.present_shot.empty() && !shot_save_back_buffer(o.present_shot.c_str())) status = 1;
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

// A headless run's --load-state, read and checked whole before anything
// starts, so that a state that cannot be loaded stops the run with no output.
// The run becomes the machine the state was saved from.
bool read_start_state(const std::string& path, std::vector<uint8_t>* bytes) {
  std::string why;
  bool ok = state_read_file(path, bytes, &why);
  if (ok) {
    MachineKind kind = machine_timing.kind;
    if (machine_state_kind(*bytes, &kind)) machine_timing_select(kind);
    ok = machine_state_fits(*bytes, &why);
  }
  if (ok) return true;
  std::fprintf(stderr, "quav: cannot load the state %s: %s\n", path.c_str(), why.c_str());
  return false;
}

// The checked state replaces the machine after start-up. Like an image it
// ends the logo time; the about page of start-up goes too, so the pictures
// are those of the run that saved the state.
void commit_start_state(const std::vector<uint8_t>& bytes) {
  std::string why;
  if (!machine_load_state(bytes, &why)) return;
  app_state_loaded();
  osd_timer = 0;
  key_delay = 0;
}

}  // namespace

int app_main(const RunOptions& o) {
  // The machine is chosen before anything reads its timing; a state to load
  // brings its own.
  machine_timing_select(o.ntsc ? MachineKind::Ntsc : MachineKind::Pal);
  std::vector<uint8_t> start_state;
  if (o.headless && !o.load_state.empty() && !read_start_state(o.load_state, &start_state)) {
    return 1;
  }
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

  app_settings.frame_rate = machine_timing.frames_per_second;
  // The tape, the texts to type, the tape recording, a key recording or
  // replay are set up before anything else: a headless run that cannot have
  // them stops here, having written nothing. The window runs on without
  // them and shows why.
  std::string tape_line;
  if (!app_tape_setup(o, &tape_line) && o.headless) return 1;
  std::string key_log_line;
  if (!o.replay.empty() && !key_log_replay(o.replay.c_str(), &key_log_line) && o.headless) {
    app_tape_discard();
    return 1;
  }
  if (!o.record.empty() && !key_log_record(o.record.c_str(), &key_log_line) && o.headless) {
    app_tape_discard();
    return 1;
  }

  PlatformOptions platform_options;
  platform_options.windowed = o.windowed ? 1 : 0;
  if (!platform_init(o.headless ? PlatformBackend::Headless : PlatformBackend::Sdl,
                     platform_options)) {
    key_log_finish();
    app_tape_discard();
    return 0;
  }
  if (o.headless) {
    for (const KeyHold& h : o.holds) headless_keyboard_hold(h.code, h.from, h.to);
    if (!o.wav.empty()) headless_audio_set_wav(o.wav.c_str());
    // The back buffer is seen only through --present-shot.
    app_settings.present_seen = o.present_shot.empty() ? 0 : 1;
  }
  key_log_pass(0);  // start-up reads the keys of the first frame

  // The load display is chosen once, at start: Ctrl held, or --show-load.
  // A person's finger on Ctrl needs the pause; a script's does not.
  app_settings.show_cpu_load = 0;
  if (!o.headless) platform_sleep(kCtrlTestDelayMs);
  if (o.show_load || platform_key_held(HostKey::Control)) {
    app_settings.show_cpu_load = 1;
    app_meter_calibrate(app_settings.frame_rate);
  }

  if (!platform_window_open("QUAV") || !video_init(kFrameWidth, kFrameHeight)) {
    key_log_finish();
    platform_quit();
    return 0;
  }
  if (app_list_resolutions() == 0) {
    std::fprintf(stderr, "quav: the display offers none of the resolutions QUAV uses\n");
    key_log_finish();
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
  // An image that cannot be read is reported where it is read.
  if (start.file_name[0] != ' ' && start.file_is_image) {
    app_load_image(start.file_name.c_str(), o.mapper);
  } else if (start.file_name[0] != ' ') {
    app_load_file(start.file_name.c_str());
  }
  if (start.blit_mode >= 0) app_set_blit_mode(start.blit_mode);
  if (!start_state.empty()) commit_start_state(start_state);
  if (!key_log_line.empty()) {
    osd_show_long_line(key_log_line.c_str(), kFileMessageFrames);
  } else if (!tape_line.empty()) {
    osd_show_long_line(tape_line.c_str(), kFileMessageFrames);
  }

  window_active = 1;
  app_tape_begin();
  if (!o.headless) live_start();
  int status = o.headless ? headless_frames(o) : message_loop();
  live_stop();
  if (!app_tape_finish() && o.headless) status = 1;
  app_shutdown();
  platform_audio_close();
  if (o.headless && !headless_audio_wav_check()) status = 1;
  if (!key_log_finish() && o.headless) status = 1;
  platform_window_close();
  platform_quit();
  return status;
}
