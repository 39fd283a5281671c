// Placeholder until the sound subsystem lands.
#include "sound/psg.h"
#include "sound/stream.h"
#include "sound/vgm.h"

PsgState psg;

void psg_init(int32_t, int32_t, uint32_t) {}
void psg_reset() {}
void psg_write(uint8_t) {}
void psg_set_gain(uint8_t) {}
void psg_update(int16_t*, int32_t) {}
void snd_init() {}
int snd_open(int, int, int) { return 100; }
void snd_start() {}
void snd_stop() {}
void snd_close() {}
void snd_frame_begin() {}
void snd_line_done() {}
void snd_frame_end(int) {}
void vgm_start() {}
uint32_t vgm_is_logging() { return 0; }
void vgm_put_byte(uint8_t) {}
void vgm_log_psg_write(uint8_t) {}
void vgm_log_wait(int32_t) {}
void vgm_stop(const char*) {}
