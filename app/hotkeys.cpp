// The hotkeys: ESC, F1-F12 (with Shift or Ctrl, F1-F4 save and load state
// slots instead; with Shift, F5-F7 play, rewind and type), Pause/Break and, while the menu is open, its cursor keys and
// ENTER, read once per idle pass as "held at this moment" with no edge
// detection. Held keys repeat only through the shared key delay: a guarded
// action that runs sets it before anything else, so of two guarded keys held
// together the one earlier in the scan wins. ESC, F3 and F10 are not guarded
// and act at every pass. The scan ends with the pacing step.
#include "app/hotkeys.h"

#include "app/app.h"
#include "app/library.h"
#include "app/machine_files.h"
#include "app/menu.h"
#include "app/osd.h"
#include "app/state_slots.h"
#include "app/tape_typing.h"
#include "display/screenshot.h"
#include "display/video.h"
#include "machine/machine.h"
#include "platform/platform.h"

namespace {

constexpr int kActionDelay = 10;
constexpr int kBlitModes = 7;
constexpr int kSystemMemory = 0;
constexpr int kVideoMemory = 1;
constexpr int kToggleFrames = 40;
constexpr int kBlitFrames = 80;
constexpr int kMemoryFrames = 60;
constexpr int kResolutionFrames = 160;
constexpr const char* kVgmFile = "quav.vgm";

struct BlitMode {
  int placement;
  const char* line0;
  const char* line1;
};

// The blit modes in the order F5 steps through them, with their messages.
constexpr BlitMode kBlitModeTable[kBlitModes] = {
    {kSystemMemory, "MMX Horizontal Scanline 50%", "    Using System Memory    "},
    {kSystemMemory, "MMX Horizontal Scanline 100%", "    Using System Memory     "},
    {kSystemMemory, "MMX Horizontal Scanline 25%", "    Using System Memory    "},
    {kSystemMemory, "    MMX Doubled    ", "Using System Memory"},
    {kVideoMemory, "   BLT Doubled    ", "Using Video Memory"},
    {kVideoMemory, "BLT Fullscreen Stretch", "  Using Video Memory  "},
    {kVideoMemory, "BLT No Border Fullscreen Stretch", "       Using Video Memory       "},
};

constexpr HostKey kSlotKeys[kStateSlots] = {HostKey::F1, HostKey::F2, HostKey::F3, HostKey::F4};

bool held(HostKey key) { return platform_key_held(key) != 0; }

// The guard of every delayed action: false while the delay runs, else sets it.
bool take_delay() {
  if (key_delay != 0) return false;
  key_delay = kActionDelay;
  return true;
}

void show_one_line(const char* text, int frames) {
  osd_set_line(0, text);
  osd_show(1, frames);
}

}  // namespace

void app_idle_step() {
  if (held(HostKey::Escape)) menu_close();
  const bool shift = held(HostKey::Shift);
  if (shift || held(HostKey::Control)) {
    // With Shift (save) or Ctrl (load) held, F1-F4 name the state slots only.
    for (int slot = 1; slot <= kStateSlots; ++slot) {
      if (held(kSlotKeys[slot - 1])) app_state_slot_key(slot, shift);
    }
  } else {
    if (held(HostKey::F1)) osd_show_help();
    if (held(HostKey::F2)) menu_toggle();
    if (held(HostKey::F3)) app_hard_reset();
    if (held(HostKey::F4)) app_toggle_joystick();
  }
  if (shift) {
    // With Shift held, F5-F7 are the tape and typing keys only.
    if (held(HostKey::F5)) app_tape_play_key();
    if (held(HostKey::F6)) app_tape_rewind_key();
    if (held(HostKey::F7)) app_type_clipboard_key();
  } else {
    if (held(HostKey::F5)) app_next_blit_mode();
    if (held(HostKey::F6)) app_toggle_sprite_limit();
    if (held(HostKey::F7)) app_toggle_vgm();
  }
  if (held(HostKey::F8)) app_screenshot();
  if (held(HostKey::F9)) app_next_resolution();
  if (held(HostKey::F10)) quit_requested = 1;
  if (held(HostKey::F11)) app_toggle_memory();
  if (held(HostKey::F12)) osd_show_about();
  if (held(HostKey::Pause)) app_toggle_pause();
  if (menu_visible) {
    if (held(HostKey::Up)) menu_up();
    if (held(HostKey::Down)) menu_down();
    if (held(HostKey::Prior)) menu_page_up();
    if (held(HostKey::Next)) menu_page_down();
    if (held(HostKey::Return)) {
      menu_toggle();
      app_load_game(menu_cursor);
      app_settings.logo_phase = 0;  // the user's choice is not replaced by entry 12
    }
  }
  app_pace_frames();
}

void app_state_slot_key(int slot, bool save) {
  if (!take_delay()) return;
  if (save) {
    app_save_slot(slot);
  } else {
    app_load_slot(slot);
  }
}

void app_toggle_pause() {
  if (!take_delay()) return;
  app_set_paused(machine_paused == 0 ? 1 : 0);
}

void app_set_blit_mode(int mode) {
  if (mode < 0 || mode >= kBlitModes) return;
  app_settings.blit_mode = mode;
  video_set_placement(kBlitModeTable[mode].placement);
}

void app_toggle_joystick() {
  if (!take_delay()) return;
  show_one_line(machine_toggle_joystick_mode() ? "Joystick Mode" : "Keyboard Mode",
                kToggleFrames);
}

void app_next_blit_mode() {
  if (!take_delay()) return;
  const int mode = app_settings.blit_mode + 1 < kBlitModes ? app_settings.blit_mode + 1 : 0;
  app_settings.blit_mode = mode;
  video_set_placement(kBlitModeTable[mode].placement);
  osd_set_line(0, kBlitModeTable[mode].line0);
  osd_set_line(1, kBlitModeTable[mode].line1);
  osd_show(2, kBlitFrames);
}

void app_toggle_sprite_limit() {
  if (!take_delay()) return;
  show_one_line(machine_toggle_sprite_limit() ? "Sprite Limit ON!" : "Sprite Limit OFF!",
                kToggleFrames);
}

void app_toggle_vgm() {
  if (!take_delay()) return;
  if (machine_vgm_logging() == 0) {
    machine_vgm_start();
    show_one_line("VGM logging ON!", kToggleFrames);
  } else {
    vgm_stop(kVgmFile);
    show_one_line("VGM logging OFF!", kToggleFrames);
  }
}

void app_tape_play_key() {
  if (!take_delay()) return;
  show_one_line(app_tape_play_stop().c_str(), kToggleFrames);
}

void app_tape_rewind_key() {
  if (!take_delay()) return;
  show_one_line(app_tape_rewind().c_str(), kToggleFrames);
}

void app_type_clipboard_key() {
  if (!take_delay()) return;
  show_one_line(app_type_clipboard().c_str(), kToggleFrames);
}

void app_screenshot() {
  if (!take_delay()) return;
  shot_save();
  show_one_line("Screenshot saved!", kToggleFrames);
}

void app_next_resolution() {
  if (!take_delay()) return;
  if (resolution_count <= 0) return;
  machine_mute(1);
  app_settings.resolution_index += 1;
  if (app_settings.resolution_index >= resolution_count) app_settings.resolution_index = 0;
  const ResolutionEntry& row = resolution_table[app_settings.resolution_index];
  if (video_set_mode(row.width, row.height) != 0) {
    app_settings.display_width = row.width;
    app_settings.display_height = row.height;
    show_one_line(row.label, kResolutionFrames);
  }
  machine_mute(0);
}

void app_toggle_memory() {
  if (!take_delay()) return;
  app_settings.video_ready = 0;
  if (video_get_placement() == kVideoMemory) {
    if (video_set_placement(kSystemMemory)) osd_set_line(0, "Using System Memory");
  } else {
    if (video_set_placement(kVideoMemory)) osd_set_line(0, "Using Video Memory");
  }
  osd_show(1, kMemoryFrames);
  app_settings.video_ready = 1;
}
