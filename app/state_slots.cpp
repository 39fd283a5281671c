// State slots in the window, and the pause.
#include "app/state_slots.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/app.h"
#include "app/library.h"
#include "app/live.h"
#include "app/machine_files.h"
#include "app/osd.h"
#include "app/sound_out.h"
#include "display/video.h"
#include "machine/machine.h"

int32_t machine_paused = 0;

namespace {

constexpr int kSlotFrames = 80;
constexpr int kPausedFrames = 50;
constexpr int kFrameSurface = 2;
constexpr const char* kPausedText = "Paused";

std::vector<uint16_t> paused_picture;

void show_one_line(const std::string& text, int frames) {
  osd_set_line(0, text.c_str());
  osd_show(1, frames);
}

// Makes `dir` and its missing parents; false with the reason.
bool make_dirs(const std::string& dir, std::string* why) {
  for (size_t at = 1; at <= dir.size(); ++at) {
    if (at != dir.size() && dir[at] != '/') continue;
    const std::string part = dir.substr(0, at);
    if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
      *why = std::strerror(errno);
      return false;
    }
  }
  return true;
}

bool file_exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

// The picture of the frame surface, copied to or from `paused_picture`.
void copy_picture(bool keep) {
  const size_t pixels = static_cast<size_t>(kFrameWidth) * kFrameHeight;
  if (keep) paused_picture.assign(pixels, 0);
  if (paused_picture.size() != pixels || video_lock_frame() == nullptr) return;
  if (!keep) machine_picture_overwritten(0, kFrameHeight);  // drawn again after the pause
  for (int y = 0; y < kFrameHeight; ++y) {
    uint16_t* row = video_pixel_address(kFrameSurface, 0, y);
    uint16_t* kept = paused_picture.data() + static_cast<size_t>(y) * kFrameWidth;
    if (row == nullptr) break;
    if (keep) {
      std::memcpy(kept, row, kFrameWidth * sizeof(uint16_t));
    } else {
      std::memcpy(row, kept, kFrameWidth * sizeof(uint16_t));
    }
  }
  video_unlock_frame();
}

}  // namespace

std::string state_slot_dir() {
  const char* state_home = std::getenv("XDG_STATE_HOME");
  if (state_home != nullptr && state_home[0] == '/') return std::string(state_home) + "/quav";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return "";
  return std::string(home) + "/.local/state/quav";
}

std::string state_slot_path(int slot) {
  return state_slot_dir() + "/" + library_running_name() + "-" + std::to_string(slot) + ".state";
}

void app_save_slot(int slot) {
  const std::string dir = state_slot_dir();
  std::string why = "no folder for states ($HOME is not set)";
  const std::string path = state_slot_path(slot);
  if (dir.empty() || !make_dirs(dir, &why)) {
    std::fprintf(stderr, "quav: cannot save the state %s: %s\n", path.c_str(), why.c_str());
  } else if (state_save_file(path, &why)) {  // a failed write reports itself
    show_one_line("State " + std::to_string(slot) + " saved", kSlotFrames);
    return;
  }
  show_one_line("State " + std::to_string(slot) + ": " + why, kSlotFrames);
}

void app_load_slot(int slot) {
  const std::string path = state_slot_path(slot);
  if (state_slot_dir().empty() || !file_exists(path)) {
    show_one_line("No state " + std::to_string(slot), kSlotFrames);
    return;
  }
  std::string why;
  if (!state_load_file(path, &why)) {
    std::fprintf(stderr, "quav: cannot load the state %s: %s\n", path.c_str(), why.c_str());
    show_one_line("State " + std::to_string(slot) + ": " + why, kSlotFrames);
    return;
  }
  app_state_loaded();
  show_one_line("State " + std::to_string(slot) + " loaded", kSlotFrames);
}

void app_state_loaded() {
  app_settings.logo_phase = 0;
  live_load();
}

void app_set_paused(int paused) {
  paused = paused ? 1 : 0;
  if (paused == machine_paused) return;
  machine_paused = paused;
  live_pause(paused);
  if (paused) {
    copy_picture(true);
    if (snd_out.enabled) snd_stop();
    show_one_line(kPausedText, kPausedFrames);
  } else {
    if (snd_out.enabled) snd_start();
    if (std::strcmp(osd_lines[0], kPausedText) == 0) osd_timer = 0;
  }
}

void app_paused_frame() {
  copy_picture(false);
  if (osd_timer <= 0) show_one_line(kPausedText, kPausedFrames);
}
