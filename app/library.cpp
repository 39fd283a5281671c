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

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/library_rom_dir.h"
#include "app/menu.h"
#include "app/osd.h"
#include "bus/cartridge.h"
#include "bus/io.h"
#include "bus/ppi.h"
#include "platform/platform.h"
#include "sound/live.h"
#include "sound/psg.h"
#include "vdp/vdp.h"
#include "z80/cpu.h"

namespace {

constexpr uint32_t kMirrorAddress = 0x4000;
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
  vdp_reset();
  psg_reset();
  std::memset(MachineMemory, 0, kMemorySize);
  std::memcpy(MachineMemory, library_table[kLogoEntry].image, kImage16K);
  cpu_reset();
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
  cart_use_flat();
  ppi_use_own();
  running_name = library_slug(entry);
  vdp_reset();
  psg_reset();
  std::memset(MachineMemory, 0, kMemorySize);
  std::memcpy(MachineMemory, image, entry.size);
  if (entry.size == kImage16K) std::memcpy(MachineMemory + kMirrorAddress, image, kImage16K);
  cpu_reset();
  // Only acts while no key delay runs, so not straight after the menu's ENTER.
  if (index == kLogoEntry) osd_show_about();
}

void app_reset_machine() {
  cart_reset_banks();
  // The reset line reaches the 8255 too; the machine's own PPI keeps its row.
  if (ppi.power_on_8255 == 1) ppi_power_on_8255();
  cpu_reset();
  vdp_reset();
  psg_reset();
}

void app_hard_reset() {
  live_load();
  app_reset_machine();
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
  std::memcpy(MachineMemory, image.data(), image.size());
  ppi_use_own();
  app_settings.logo_phase = 0;
  running_name = file_stem(path);
  return 1;
}

size_t app_insert_image(const uint8_t* image, size_t size, MapperChoice choice) {
  const CartMap map = cart_choose_map(choice, size);
  size_t used = size;
  if (map == CartMap::Rom || map == CartMap::Sega) {
    cart_insert(map, image, size);
    if (map == CartMap::Rom) used = std::min<size_t>(size, kRomImageLimit);
  } else {
    // As "/file": over the booted logo, nothing cleared.
    used = std::min<size_t>(size, kFlatImageLimit);
    std::copy_n(image, used, MachineMemory);
    if (map == CartMap::Ram8k) cart_add_ram8k();
  }
  // A cartridge on its own meets the PPI as the hardware powers it on.
  ppi_power_on_8255();
  return used;
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
  const size_t used = app_insert_image(image.data(), image.size(), choice);
  if (used < image.size()) {
    std::fprintf(stderr, "quav: %s: the %s map holds %zu KB; the rest of the image is cut\n",
                 path, cart.map == CartMap::Rom ? "rom" : "ram8k", used / 1024);
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
