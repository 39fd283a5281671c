// Placeholder until the VDP lands.
#include "vdp/vdp.h"

VdpState vdp;

void vdp_init(VdpInterruptCallback) {}
void vdp_release() {}
void vdp_reset() {}
void vdp_write_control(uint8_t) {}
void vdp_write_data(uint8_t) {}
uint8_t vdp_read_data() { return 0; }
uint8_t vdp_read_status() { return 0; }
void vdp_render_line(int) {}
uint32_t vdp_toggle_sprite_limit() { return 0; }
