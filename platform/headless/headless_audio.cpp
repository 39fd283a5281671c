// Placeholder: the audio service of the headless backend is not written yet.
#include "platform/backend.h"
#include "platform/headless/headless.h"

int headless_audio_open(int, int) { return 100; }
void headless_audio_close() {}
uint32_t headless_audio_play_position() { return 0; }
void headless_audio_set_position(uint32_t) {}
int headless_audio_write(uint32_t, const int16_t*, int) { return 0; }
int headless_audio_play() { return 0; }
int headless_audio_stop() { return 0; }
void headless_audio_set_wav(const char*) {}
