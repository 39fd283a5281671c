// Display output: the display device and its three surfaces (0 screen,
// 1 back buffer, 2 the 288 x 240 frame surface), the list of 16-bit modes,
// memory placement, colour to pixel, and presenting a frame in seven blit modes.
#pragma once

#include <cstdint>

constexpr int kMaxDisplayModes = 128;
constexpr int kSurfaceScreen = 0;
constexpr int kSurfaceBack = 1;
constexpr int kSurfaceFrame = 2;

struct DisplayMode {
  uint32_t width;
  uint32_t height;
  uint32_t reserved;
};

struct DisplayState {
  int32_t device_open = 0;     // the host display was opened by video_init
  int32_t surfaces_ready = 0;  // 1 from a successful video_set_mode until video_release
  int32_t frame_width = 0;
  int32_t frame_height = 0;
  int32_t video_memory = 0;  // placement of the frame surface: 1 video, 0 system
  DisplayMode modes[kMaxDisplayModes] = {};
  int32_t mode_count = 0;
  int32_t mode_index = -1;
  int32_t current_width = 0;
  int32_t current_height = 0;
  int32_t pitch[3] = {};
  uint8_t* memory[3] = {};
  int32_t last_result = 0;
  uint64_t grey_half_mask = 0;
  uint64_t grey_quarter_mask = 0;
};

extern DisplayState display;

int video_init(int frame_width, int frame_height);
int video_has_mode(int width, int height);
int video_set_mode(int width, int height);
int video_get_placement();
int video_set_placement(int flag);
int32_t video_rgb_to_pixel(int r, int g, int b);
void video_release();

uint8_t* video_lock_surface(int index);
int video_unlock_surface(int index);
// Locks the frame surface and lends it to the machine as its picture.
uint8_t* video_lock_frame();
int video_unlock_frame();
uint16_t* video_pixel_address(int index, int x, int y);
void video_fill_surface(int index, uint16_t pixel);
// The frame surface onto the back buffer of a width x height screen in blit
// mode 0-6.
void video_present(int width, int height, int blit_mode);
void video_draw_cpu_load(float value);
// A further line of the load display, `row` text rows below its first.
void video_draw_load_line(int row, const char* text);
int video_flip(int wait);
