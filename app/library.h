// The built-in library of 34 entries and image loading. Entry 0 is our own
// logo program; entries 1-33 are looked up by title in a ROM directory.
#pragma once

#include <cstdint>
#include <cstdio>

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

void app_boot_logo();
void app_load_game(int index);
void app_hard_reset();
// The "/file" image: up to 32 KB at 0x0000. 1 when a file was read.
int app_load_file(const char* path);
void app_write_game_list();

// The ROM directory given by --roms (null: the default search order).
void library_set_rom_dir(const char* dir);
// Prints the library to `out`: index, title, expected file name, found or missing.
void library_print(FILE* out);
