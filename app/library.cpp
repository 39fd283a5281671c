// Putting images into the machine: the logo boot, loading a library entry,
// the hard reset, the "/file" image and the "gamelist.txt" list.
//
// Loading clears all 64 KB, copies the image from 0x0000 (a 16 KB image a
// second time at 0x4000, so it fills the cartridge area twice) and resets
// the CPU, VDP and PSG. An entry whose image is not built in is read from
// the ROM directory first; when it cannot be read the running program is
// left alone and the message "No image: " + file name is shown instead.
// A "/file" image that cannot be read is reported in one line (in the window
// also on the screen) and changes nothing.
#include "app/library.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/library_rom_dir.h"
#include "app/live.h"
#include "app/menu.h"
#include "app/osd.h"
#include "machine/machine.h"
#include "platform/platform.h"

namespace {

constexpr int kLogoEntry = 0;
constexpr int kHardResetFrames = 40;
constexpr int kNoImageFrames = 160;
constexpr const char* kGameListFile = "gamelist.txt";

std::string running_name;

// "dir/game.sc" -> "game"; a name that is all extension stays whole.
std::string file_stem(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name.empty() ? "image" : name;
}

void show_message(const char* text, int frames) {
  osd_set_line(0, text);
  osd_show(1, frames);
}

// An image that cannot be read: one line on stderr, and on screen in the window.
void report_unreadable(const char* path, const std::string& why) {
  const std::string line = std::string("cannot read ") + path + ": " + why;
  std::fprintf(stderr, "quav: %s\n", line.c_str());
  if (platform_backend() == PlatformBackend::Sdl) osd_show_long_line(line.c_str(), kNoImageFrames);
}

}  // namespace

void app_boot_logo() {
  machine_boot_logo();
  running_name = library_slug(library_table[kLogoEntry]);
}

void app_load_game(int index) {
  const GameEntry& entry = library_table[index];
  const uint8_t* image = entry.image;
  if (image == nullptr) {
    image = library_read_image(index);
    if (image == nullptr) {
      const std::string text = "No image: " + library_file_name(index);
      show_message(text.c_str(), kNoImageFrames);
      return;
    }
  }
  menu_cursor = index;
  live_load();
  running_name = library_slug(entry);
  machine_load_library_image(image, entry.size);
  // Only acts while no key delay runs, so not straight after the menu's ENTER.
  if (index == kLogoEntry) osd_show_about();
}

void app_hard_reset() {
  live_load();
  machine_reset();
  show_message("Hard Reset", kHardResetFrames);
}

int app_load_file(const char* path) {
  std::vector<uint8_t> image;
  std::string why;
  if (!file_read_checked(path, kFileImageLimit, &image, nullptr, &why)) {
    report_unreadable(path, why);
    return 0;
  }
  // A short or empty file is fine: what lies beneath it stays.
  machine_load_file_image(image.data(), image.size());
  app_settings.logo_phase = 0;
  running_name = file_stem(path);
  return 1;
}

int app_load_image(const char* path, MapperChoice choice) {
  std::vector<uint8_t> image;
  bool longer = false;
  std::string why;
  if (!file_read_checked(path, kCartImageLimit, &image, &longer, &why)) {
    report_unreadable(path, why);
    return 0;
  }
  if (longer) {
    std::fprintf(stderr, "quav: %s is over 4 MB, more than a cartridge holds; not loaded\n", path);
    return 0;
  }
  const bool rom = cart_choose_map(choice, image.size()) == CartMap::Rom;
  const size_t held = machine_load_image(image.data(), image.size(), choice);
  if (held < image.size()) {
    std::fprintf(stderr, "quav: %s: the %s map holds %zu KB; the rest of the image is cut\n",
                 path, rom ? "rom" : "ram8k", held / 1024);
  }
  app_settings.logo_phase = 0;
  running_name = file_stem(path);
  return 1;
}

const std::string& library_running_name() { return running_name; }

void app_write_game_list() {
  std::string text;
  char line[32];
  for (int i = 0; i < kLibrarySize; ++i) {
    std::snprintf(line, sizeof line, "%3d  %.16s\n", i, library_table[i].title);
    text += line;
  }
  output_write_file(kGameListFile, text.data(), text.size());
}
