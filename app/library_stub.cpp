// Placeholder until the library lands.
#include "app/library.h"

void app_boot_logo() {}
void app_load_game(int) {}
void app_hard_reset() {}
int app_load_file(const char*) { return 0; }
void app_write_game_list() {}
void library_set_rom_dir(const char*) {}
void library_print(FILE*) {}
