// Display output: the display device and its three surfaces (0 screen,
// 1 back buffer, 2 the 288 x 240 frame surface), the list of 16-bit modes,
// memory placement, colour to pixel, and presenting a frame in seven blit modes.
#pragma once

#include <cstdint>

int video_init(int frame_width, int frame_height);
int video_has_mode(int width, int height);
int video_set_mode(int width, int height);
int video_get_placement();
int video_set_placement(int flag);
int32_t video_rgb_to_pixel(int r, int g, int b);
void video_release();

uint8_t* video_lock_surface(int index);
int video_unlock_surface(int index);
uint8_t* video_lock_frame();
int video_unlock_frame();
uint16_t* video_pixel_address(int index, int x, int y);
void video_fill_surface(int index, uint16_t pixel);
void video_present();
void video_draw_cpu_load(float value);
int video_flip(int wait);
