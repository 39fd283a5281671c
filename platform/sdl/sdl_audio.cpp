// Placeholder: the audio service of the sdl backend is not written yet.
#include "platform/backend.h"

int sdl_audio_open(int, int) { return 100; }
void sdl_audio_close() {}
uint32_t sdl_audio_play_position() { return 0; }
void sdl_audio_set_position(uint32_t) {}
int sdl_audio_write(uint32_t, const int16_t*, int) { return 0; }
int sdl_audio_play() { return 0; }
int sdl_audio_stop() { return 0; }
