// SDL2 backend: the display device.
//
// The window is the screen. Desktop full-screen shows the back buffer scaled
// to fit with black bars; --windowed sizes the window to the back buffer. The
// back buffer lives twice: as host pixels, and as a texture the renderer
// draws into. Whichever was written last is the truth, and the other is
// brought up to date only when asked for (a lock after a GPU blit reads the
// texture back; a GPU blit after host writes uploads them first). The frame
// surface in system memory is host pixels only; in video memory it is also a
// streaming texture, uploaded when a blit uses it, and the renderer does the
// stretch. A flip draws the back buffer into the window and presents it with
// vsync. The five shell sizes are offered as modes when they fit the desktop.
// Textures hold 32-bit pixels, each RGB565 channel moved to the top of its
// byte, so the window shows exactly the colour the screenshot table names;
// every scaling samples the nearest pixel.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstddef>
#include <vector>

#include "platform/backend.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/surface_scale.h"

namespace {

struct ModeSize {
  int width, height;
};
constexpr ModeSize kShellModes[] = {{640, 480}, {512, 480}, {512, 384}, {800, 600}, {1024, 768}};
constexpr int kMaxModes = 5;
constexpr Uint32 kTextureFormat = SDL_PIXELFORMAT_ARGB8888;

// Where the back buffer's current picture is. Cleared: the host pixels hold
// one colour, which the texture gets by a clear when it is needed.
enum class Truth { Both, Host, Texture, Cleared };

struct SdlDisplay {
  int open = 0;
  int mode_count = 0;
  ModeSize modes[kMaxModes] = {};
  SDL_Renderer* renderer = nullptr;
  int can_target = 0;  // the renderer can draw into a texture
  int vsync = 1;
  std::vector<uint16_t> frame_pixels;
  HostSurface frame;
  SDL_Texture* frame_texture = nullptr;  // the frame surface in video memory
  int frame_dirty = 0;                   // host pixels newer than the texture
  std::vector<uint16_t> back_pixels;
  HostSurface back;
  SDL_Texture* back_target = nullptr;  // the back buffer as a render target
  SDL_Texture* back_upload = nullptr;  // host pixels on their way to the GPU
  std::vector<uint32_t> readback;      // the target's pixels read back
  Truth truth = Truth::Both;
  uint16_t clear_pixel = 0;
  int cursor_hidden = 0;
};

SdlDisplay sd;

void destroy(SDL_Texture*& t) {
  if (t) SDL_DestroyTexture(t);
  t = nullptr;
}

SDL_Texture* make_texture(Uint32 format, int access, int width, int height) {
  SDL_Texture* t = SDL_CreateTexture(sd.renderer, format, access, width, height);
  if (t) SDL_SetTextureScaleMode(t, SDL_ScaleModeNearest);
  if (t) SDL_SetTextureBlendMode(t, SDL_BLENDMODE_NONE);
  return t;
}

void set_draw_colour(uint16_t pixel) {
  const int r = (pixel >> 11) & 0x1F, g = (pixel >> 5) & 0x3F, b = pixel & 0x1F;
  SDL_SetRenderDrawColor(sd.renderer, static_cast<Uint8>(r << 3), static_cast<Uint8>(g << 2),
                         static_cast<Uint8>(b << 3), 255);
}

uint32_t widen(uint16_t p) {
  const uint32_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
  return 0xFF000000u | r << 19 | g << 10 | b << 3;
}

uint16_t narrow(uint32_t c) {
  const uint32_t r = (c >> 19) & 0x1F, g = (c >> 10) & 0x3F, b = (c >> 3) & 0x1F;
  return static_cast<uint16_t>(r << 11 | g << 5 | b);
}

template <typename T>
T* row_of(void* base, int pitch, int y) {
  return reinterpret_cast<T*>(static_cast<uint8_t*>(base) + static_cast<size_t>(y) * pitch);
}

void widen_row(const uint16_t* __restrict from, uint32_t* __restrict to, int count) {
  for (int x = 0; x < count; ++x) to[x] = widen(from[x]);
}

void narrow_row(const uint32_t* __restrict from, uint16_t* __restrict to, int count) {
  for (int x = 0; x < count; ++x) to[x] = narrow(from[x]);
}

// Copies a host surface into a streaming texture of the same size.
void upload(const HostSurface& s, SDL_Texture* t) {
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(t, nullptr, &pixels, &pitch) != 0) return;
  const int width = s.width, height = s.height;
  for (int y = 0; y < height; ++y) {
    widen_row(row_of<uint16_t>(s.pixels, s.pitch, y), row_of<uint32_t>(pixels, pitch, y), width);
  }
  SDL_UnlockTexture(t);
}

// The host copy of the back buffer, brought up to date.
void back_to_host() {
  if (sd.truth != Truth::Texture) return;
  SDL_SetRenderTarget(sd.renderer, sd.back_target);
  const int width = sd.back.width, pitch = width * 4;
  if (SDL_RenderReadPixels(sd.renderer, nullptr, kTextureFormat, sd.readback.data(), pitch) == 0) {
    for (int y = 0; y < sd.back.height; ++y) {
      narrow_row(row_of<uint32_t>(sd.readback.data(), pitch, y),
                 row_of<uint16_t>(sd.back.pixels, sd.back.pitch, y), width);
    }
  }
  sd.truth = Truth::Both;
}

// The texture copy of the back buffer, brought up to date.
void back_to_texture() {
  if (sd.truth == Truth::Host) {
    upload(sd.back, sd.back_upload);
    SDL_SetRenderTarget(sd.renderer, sd.back_target);
    SDL_RenderCopy(sd.renderer, sd.back_upload, nullptr, nullptr);
  } else if (sd.truth == Truth::Cleared) {
    SDL_SetRenderTarget(sd.renderer, sd.back_target);
    set_draw_colour(sd.clear_pixel);
    SDL_RenderClear(sd.renderer);
  }
  sd.truth = Truth::Both;
}

void release_back_buffer() {
  destroy(sd.back_target);
  destroy(sd.back_upload);
  sd.readback.clear();
  sd.back_pixels.clear();
  sd.back = HostSurface{};
}

bool fits_desktop(const ModeSize& m, const SDL_DisplayMode& desktop) {
  return m.width <= desktop.w && m.height <= desktop.h;
}

// The largest rectangle of the back buffer's shape that fits the output,
// centred.
SDL_Rect letterbox(int out_w, int out_h) {
  const int64_t bw = sd.back.width, bh = sd.back.height;
  SDL_Rect r{0, 0, out_w, out_h};
  if (out_w * bh > out_h * bw) {
    r.w = static_cast<int>(out_h * bw / bh);
  } else {
    r.h = static_cast<int>(out_w * bh / bw);
  }
  r.x = (out_w - r.w) / 2;
  r.y = (out_h - r.h) / 2;
  return r;
}

}  // namespace

int sdl_display_mode_count() { return sd.open ? sd.mode_count : 0; }

void sdl_display_mode(int index, int* width, int* height) {
  if (index < 0 || index >= sdl_display_mode_count()) return;
  *width = sd.modes[index].width;
  *height = sd.modes[index].height;
}

int sdl_display_open(int frame_width, int frame_height) {
  sdl_display_close();
  SDL_Window* window = sdl_window();
  if (!window || frame_width <= 0 || frame_height <= 0) return 0;
  SDL_DisplayMode desktop{};
  if (SDL_GetDesktopDisplayMode(std::max(SDL_GetWindowDisplayIndex(window), 0), &desktop) != 0) {
    std::fprintf(stderr, "quav: cannot read the desktop size: %s\n", SDL_GetError());
    return 0;
  }
  sd.renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED |
                                                   SDL_RENDERER_PRESENTVSYNC |
                                                   SDL_RENDERER_TARGETTEXTURE);
  if (!sd.renderer) sd.renderer = SDL_CreateRenderer(window, -1, 0);
  if (!sd.renderer) {
    std::fprintf(stderr, "quav: cannot draw into the window: %s\n", SDL_GetError());
    return 0;
  }
  SDL_RendererInfo info{};
  SDL_GetRendererInfo(sd.renderer, &info);
  sd.can_target = (info.flags & SDL_RENDERER_TARGETTEXTURE) ? 1 : 0;
  sd.vsync = 1;
  sd.mode_count = 0;
  for (const ModeSize& m : kShellModes) {
    if (fits_desktop(m, desktop)) sd.modes[sd.mode_count++] = m;
  }
  sd.frame = make_surface(sd.frame_pixels, frame_width, frame_height);
  sd.frame_dirty = 0;
  sd.open = 1;
  return 1;
}

void sdl_display_close() {
  if (sd.cursor_hidden) SDL_ShowCursor(SDL_ENABLE);
  sd.cursor_hidden = 0;
  release_back_buffer();
  destroy(sd.frame_texture);
  sd.frame_pixels.clear();
  sd.frame = HostSurface{};
  if (sd.renderer) SDL_DestroyRenderer(sd.renderer);
  sd.renderer = nullptr;
  sd.mode_count = 0;
  sd.open = 0;
}

int sdl_display_set_mode(int width, int height) {
  if (!sd.open || width <= 0 || height <= 0) return 0;
  release_back_buffer();
  sd.back = make_surface(sd.back_pixels, width, height);
  sd.truth = Truth::Host;
  if (sd.can_target) {
    sd.back_target = make_texture(kTextureFormat, SDL_TEXTUREACCESS_TARGET, width, height);
    sd.readback.assign(static_cast<size_t>(width) * height, 0);
  }
  sd.back_upload = make_texture(kTextureFormat, SDL_TEXTUREACCESS_STREAMING, width, height);
  if (!sd.back_upload) {
    std::fprintf(stderr, "quav: cannot create the back buffer: %s\n", SDL_GetError());
    release_back_buffer();
    return 0;
  }
  if (!sd.back_target) destroy(sd.frame_texture);  // no GPU blits without a target
  if (sdl_windowed()) {
    SDL_SetWindowSize(sdl_window(), width, height);
    SDL_SetWindowPosition(sdl_window(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
  SDL_ShowCursor(SDL_DISABLE);
  sd.cursor_hidden = 1;
  return 1;
}

int sdl_display_create_frame(int video_memory) {
  if (!sd.open) return 0;
  if (!video_memory || !sd.back_target) {
    destroy(sd.frame_texture);
    return 1;
  }
  SDL_Texture* t = make_texture(kTextureFormat, SDL_TEXTUREACCESS_STREAMING, sd.frame.width,
                                sd.frame.height);
  if (!t) return 0;
  destroy(sd.frame_texture);
  sd.frame_texture = t;
  sd.frame_dirty = 1;
  return 1;
}

uint8_t* sdl_surface_lock(int surface, int* pitch) {
  if (!sd.open) return nullptr;
  if (surface == 2) {
    *pitch = sd.frame.pitch;
    return sd.frame.pixels;
  }
  if (surface != 1 || !sd.back.pixels) return nullptr;  // the window is not lockable
  back_to_host();
  sd.truth = Truth::Host;
  *pitch = sd.back.pitch;
  return sd.back.pixels;
}

int sdl_surface_unlock(int surface) {
  if (!sd.open) return 0;
  if (surface == 2) {
    sd.frame_dirty = 1;
    return 1;
  }
  return surface == 1 && sd.back.pixels ? 1 : 0;
}

// The frame surface is host pixels in either placement; the streaming
// texture is only written from them.
int sdl_frame_keeps_pixels() { return 1; }

void sdl_surface_fill(int surface, uint16_t pixel) {
  if (!sd.open) return;
  if (surface == 2) {
    surface_fill(sd.frame, pixel);
    sd.frame_dirty = 1;
  } else if (surface == 1 && sd.back.pixels) {
    surface_fill(sd.back, pixel);
    sd.clear_pixel = pixel;
    sd.truth = Truth::Cleared;
  }
}

int sdl_surface_blit(int dst, const PlatformRect& dst_rect, int src, const PlatformRect& src_rect) {
  if (!sd.open || dst != 1 || src != 2 || !surface_rect_inside(sd.back, dst_rect) ||
      !surface_rect_inside(sd.frame, src_rect)) {
    return kPlatformBlitFailed;
  }
  if (!sd.frame_texture) {
    back_to_host();
    surface_blit_nearest(sd.back, dst_rect, sd.frame, src_rect);
    sd.truth = Truth::Host;
    return 0;
  }
  if (sd.frame_dirty) {
    upload(sd.frame, sd.frame_texture);
    sd.frame_dirty = 0;
  }
  back_to_texture();
  SDL_SetRenderTarget(sd.renderer, sd.back_target);
  const SDL_Rect s{src_rect.x, src_rect.y, src_rect.w, src_rect.h};
  const SDL_Rect d{dst_rect.x, dst_rect.y, dst_rect.w, dst_rect.h};
  if (SDL_RenderCopy(sd.renderer, sd.frame_texture, &s, &d) != 0) return kPlatformBlitFailed;
  sd.truth = Truth::Texture;
  return 0;
}

int sdl_display_flip(int wait) {
  if (!sd.open || !sd.back.pixels) return 0;
  const int vsync = wait ? 1 : 0;
  if (vsync != sd.vsync) {
    SDL_RenderSetVSync(sd.renderer, vsync);
    sd.vsync = vsync;
  }
  if (sd.truth == Truth::Cleared && sd.back_target) back_to_texture();
  SDL_Texture* shown = sd.back_target;
  if (sd.truth == Truth::Host || !sd.back_target) {
    upload(sd.back, sd.back_upload);
    shown = sd.back_upload;
  }
  SDL_SetRenderTarget(sd.renderer, nullptr);
  SDL_SetRenderDrawColor(sd.renderer, 0, 0, 0, 255);
  SDL_RenderClear(sd.renderer);
  int out_w = 0, out_h = 0;
  SDL_GetRendererOutputSize(sd.renderer, &out_w, &out_h);
  const SDL_Rect where = letterbox(out_w, out_h);
  SDL_RenderCopy(sd.renderer, shown, nullptr, &where);
  SDL_RenderPresent(sd.renderer);
  return 1;
}
