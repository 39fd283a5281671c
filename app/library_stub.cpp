// Placeholder until the library lands.
#include "app/library.h"

void app_boot_logo() {}
void app_load_game(int) {}
void app_hard_reset() {}
int app_load_file(const char*) { return 0; }
void app_write_game_list() {}
void library_set_rom_dir(const char*) {}
void library_print(FILE*) {}

// The titles only, so that the menu can be drawn until the library lands.
namespace {
constexpr GameEntry entry(const char (&title)[17], uint32_t size) {
  GameEntry e{};
  for (int i = 0; i < 16; ++i) e.title[i] = title[i];
  e.size = size;
  return e;
}
}  // namespace

const GameEntry library_table[kLibrarySize] = {
    entry("   QUAV Logo!   ", 16384), entry(" SEGA Basic Lv3 ", 32768),
    entry("   Borderline   ", 16384), entry("  Congo Bongo   ", 32768),
    entry("    Exerion     ", 16384), entry("   Monaco GP    ", 40960),
    entry("     N-Sub      ", 16384), entry("     Orguss     ", 32768),
    entry("     Pacar      ", 16384), entry("   Pop Flamer   ", 16384),
    entry(" Safari Hunting ", 16384), entry(" Sinbad Mistery ", 32768),
    entry("  Star Jacker   ", 32768), entry("    Bombjack    ", 32768),
    entry("  Chack'n Pop   ", 32768), entry("      Drol      ", 32768),
    entry("Elevator Action ", 32768), entry("     Flicky     ", 32768),
    entry("    Flipper     ", 16384), entry(" Girl's Garden  ", 32768),
    entry("    Golgo 13    ", 32768), entry("    GP World    ", 32768),
    entry("    Gulkave     ", 32768), entry("    H.E.R.O.    ", 32768),
    entry("    Hang On 2   ", 32768), entry(" Hustle Chummy  ", 16384),
    entry(" Ninja Princess ", 32768), entry("   Pachinko 2   ", 32768),
    entry("  Penguin Land  ", 32768), entry("    Pitfall 2   ", 32768),
    entry(" Space Invaders ", 16384), entry("   Star Force   ", 32768),
    entry("  Super Galaga  ", 16384), entry("     Zaxxon     ", 32768),
};
