// Placeholder until display output lands.
#include "display/screenshot.h"
#include "display/video.h"
#include "vdp/vdp.h"

namespace {
uint16_t frame[240][288];
}

int video_init(int, int) { return 1; }
int video_has_mode(int width, int height) { return width == 640 && height == 480 ? 0 : -1; }
int video_set_mode(int, int) { return 1; }
int video_get_placement() { return 0; }
int video_set_placement(int) { return 0; }
int32_t video_rgb_to_pixel(int r, int g, int b) { return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3); }
void video_release() {}
uint8_t* video_lock_surface(int) { return nullptr; }
int video_unlock_surface(int) { return 0; }
uint8_t* video_lock_frame() {
  vdp.frame_pitch = 288 * 2;
  return reinterpret_cast<uint8_t*>(frame);
}
int video_unlock_frame() { return 0; }
uint16_t* video_pixel_address(int, int x, int y) { return &frame[y][x]; }
void video_fill_surface(int, uint16_t) {}
void video_present() {}
void video_draw_cpu_load(float) {}
int video_flip(int) { return 1; }
void shot_build_colour_table() {}
void shot_save() {}
int shot_save_to(const char*) { return 0; }
int shot_save_back_buffer(const char*) { return 0; }
