// The library table: 34 entries in their fixed order. Indices are what the
// menu, "gamelist.txt" and the automatic load of entry 12 refer to. Entry 0
// is the logo program built into the executable; the others carry no image
// and are found by title in the ROM directory when they are loaded.
#include "app/library.h"

namespace {

// Only a title of exactly 16 characters (17 with the literal's terminator)
// fits the parameter, so a mistyped title does not compile.
constexpr GameEntry entry(const char (&title)[kTitleLength + 1], uint32_t size,
                          const uint8_t* image = nullptr) {
  GameEntry e{};
  for (int i = 0; i < kTitleLength; ++i) e.title[i] = title[i];
  e.reserved = 0;
  e.image = image;
  e.size = size;
  return e;
}

}  // namespace

constinit const GameEntry library_table[kLibrarySize] = {
    //     title                size       image
    entry("   QUAV Logo!   ", kImage16K, kLogoImage),  //  0
    entry(" SEGA Basic Lv3 ", kImage32K),              //  1
    entry("   Borderline   ", kImage16K),              //  2
    entry("  Congo Bongo   ", kImage32K),              //  3
    entry("    Exerion     ", kImage16K),              //  4
    entry("   Monaco GP    ", kImage40K),              //  5
    entry("     N-Sub      ", kImage16K),              //  6
    entry("     Orguss     ", kImage32K),              //  7
    entry("     Pacar      ", kImage16K),              //  8
    entry("   Pop Flamer   ", kImage16K),              //  9
    entry(" Safari Hunting ", kImage16K),              // 10
    entry(" Sinbad Mistery ", kImage32K),              // 11
    entry("  Star Jacker   ", kImage32K),              // 12
    entry("    Bombjack    ", kImage32K),              // 13
    entry("  Chack'n Pop   ", kImage32K),              // 14
    entry("      Drol      ", kImage32K),              // 15
    entry("Elevator Action ", kImage32K),              // 16
    entry("     Flicky     ", kImage32K),              // 17
    entry("    Flipper     ", kImage16K),              // 18
    entry(" Girl's Garden  ", kImage32K),              // 19
    entry("    Golgo 13    ", kImage32K),              // 20
    entry("    GP World    ", kImage32K),              // 21
    entry("    Gulkave     ", kImage32K),              // 22
    entry("    H.E.R.O.    ", kImage32K),              // 23
    entry("    Hang On 2   ", kImage32K),              // 24
    entry(" Hustle Chummy  ", kImage16K),              // 25
    entry(" Ninja Princess ", kImage32K),              // 26
    entry("   Pachinko 2   ", kImage32K),              // 27
    entry("  Penguin Land  ", kImage32K),              // 28
    entry("    Pitfall 2   ", kImage32K),              // 29
    entry(" Space Invaders ", kImage16K),              // 30
    entry("   Star Force   ", kImage32K),              // 31
    entry("  Super Galaga  ", kImage16K),              // 32
    entry("     Zaxxon     ", kImage32K),              // 33
};
