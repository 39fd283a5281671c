// The built-in library of 34 entries and image loading. Entry 0 is our own
// logo program; entries 1-33 are looked up by title in a ROM directory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "machine/machine.h"

constexpr int kLibrarySize = 34;

// One row of the library. `title` is exactly 16 characters without a
// terminator of its own; `reserved` (always 0) ends it when read as a string.
struct GameEntry {
  char title[16];
  uint32_t reserved;
  const uint8_t* image;
  uint32_t size;
};

extern const GameEntry library_table[kLibrarySize];

constexpr int kTitleLength = 16;  // a title's characters, no terminator

// Image sizes found in the library.
constexpr uint32_t kImage16K = 16384;
constexpr uint32_t kImage32K = 32768;
constexpr uint32_t kImage40K = 40960;
constexpr uint32_t kFileImageLimit = 32768;  // a "/file" image is cut here

// The logo program, assembled from data/logo.asm at build time.
extern const unsigned char kLogoImage[];
extern const unsigned kLogoImage_size;

void app_boot_logo();
void app_load_game(int index);
void app_hard_reset();
// The "/file" image: up to 32 KB at 0x0000. 1 when a file was read.
int app_load_file(const char* path);
// A cartridge image named by a bare path, read and put into the machine as
// machine_load_image does. 1 when it was loaded; otherwise one line on
// stderr and the machine runs on as it was.
int app_load_image(const char* path, MapperChoice choice);
void app_write_game_list();
// The running program's name, which its state slots carry: the library
// entry's slug ("quav_logo" at start) or the "/file" image's file name stem.
const std::string& library_running_name();

// The ROM directory given by --roms (null: the default search order).
void library_set_rom_dir(const char* dir);
// Prints the library to `out`: index, title, expected file name, found or missing.
void library_print(FILE* out);

// ---- the ROM directory ----
// A title's file name stem: trimmed, lower-cased, apostrophes and dots
// dropped, every other run of non-alphanumerics one '_'
// ("    H.E.R.O.    " -> "hero", " Girl's Garden  " -> "girls_garden").
std::string library_slug(const GameEntry& entry);
// The file name looked for and shown when it is missing: slug + ".sc".
std::string library_file_name(int index);
// The first of --roms, $QUAV_ROMS, ./roms, $XDG_DATA_HOME/quav/roms
// (default ~/.local/share/quav/roms) that is a directory; empty if none is.
std::string library_rom_dir();
// The image file of entry `index` in `dir`: slug plus .sc, .sg, .bin or .rom
// in any case (in that order of preference); empty when there is none or
// the directory cannot be listed.
std::string library_find_image(const std::string& dir, int index);
