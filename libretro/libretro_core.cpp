// The libretro API (version 1) over the machine of libretro/core_machine.h:
// a third front end beside the window and the headless runner, with no shell
// of its own (the front end has the menu, the messages, the filters).
//
// Content is a cartridge image in memory, loaded as a bare image path is.
// Each retro_run reads the input, runs one frame, and hands out the frame's
// picture (288 x 216, RGB565 or XRGB8888) and its samples (44,100 Hz, the
// mono stream on both channels). Options: the machine (pal, ntsc), the
// cartridge map and the sprite limit; a new machine or map restarts the
// content. States are the bytes of QUAV state files. Messages go to the
// front end's log, or to stderr when it has none; never to stdout.
#include <libretro.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "libretro/core_machine.h"
#include "libretro/retro_keys.h"

namespace {

constexpr unsigned kPorts = 2;
constexpr float kAspect = 4.0f / 3.0f;
constexpr double kSampleRate = 44100.0;

retro_environment_t environ_cb = nullptr;
retro_video_refresh_t video_cb = nullptr;
retro_audio_sample_batch_t audio_batch_cb = nullptr;
retro_input_poll_t input_poll_cb = nullptr;
retro_input_state_t input_state_cb = nullptr;
retro_log_printf_t log_cb = nullptr;

struct Options {
  MachineKind machine = MachineKind::Pal;
  MapperChoice mapper = MapperChoice::Auto;
  bool sprite_limit = true;
};

Options options;
std::vector<uint8_t> content;  // the image, kept for a restart under new options
bool loaded = false;
retro_pixel_format pixel_format = RETRO_PIXEL_FORMAT_RGB565;
std::vector<uint32_t> xrgb_frame;
std::vector<int16_t> stereo;
unsigned port_device[kPorts] = {RETRO_DEVICE_JOYPAD, RETRO_DEVICE_JOYPAD};

retro_variable option_list[] = {
    {"quav_machine", "Machine; pal|ntsc"},
    {"quav_mapper", "Cartridge memory map; auto|rom|sega|ram8k"},
    {"quav_sprite_limit", "Four sprites per line; on|off"},
    {nullptr, nullptr},
};

struct MapperValue {
  const char* value;
  MapperChoice choice;
};
constexpr MapperValue kMapperValues[] = {
    {"auto", MapperChoice::Auto}, {"rom", MapperChoice::Rom},
    {"sega", MapperChoice::Sega}, {"ram8k", MapperChoice::Ram8k},
};

// RetroPad buttons and the joystick bits they hold.
struct PadButton {
  unsigned id;
  uint32_t bit;
};
constexpr PadButton kPadButtons[] = {
    {RETRO_DEVICE_ID_JOYPAD_UP, kJoyUp},     {RETRO_DEVICE_ID_JOYPAD_DOWN, kJoyDown},
    {RETRO_DEVICE_ID_JOYPAD_LEFT, kJoyLeft}, {RETRO_DEVICE_ID_JOYPAD_RIGHT, kJoyRight},
    {RETRO_DEVICE_ID_JOYPAD_B, kJoyButton1}, {RETRO_DEVICE_ID_JOYPAD_A, kJoyButton2},
};

constexpr unsigned kPad = RETRO_DEVICE_JOYPAD;
retro_input_descriptor input_descriptors[] = {
    {0, kPad, 0, RETRO_DEVICE_ID_JOYPAD_UP, "Joystick 1 Up"},
    {0, kPad, 0, RETRO_DEVICE_ID_JOYPAD_DOWN, "Joystick 1 Down"},
    {0, kPad, 0, RETRO_DEVICE_ID_JOYPAD_LEFT, "Joystick 1 Left"},
    {0, kPad, 0, RETRO_DEVICE_ID_JOYPAD_RIGHT, "Joystick 1 Right"},
    {0, kPad, 0, RETRO_DEVICE_ID_JOYPAD_B, "Joystick 1 Button 1"},
    {0, kPad, 0, RETRO_DEVICE_ID_JOYPAD_A, "Joystick 1 Button 2"},
    {0, kPad, 0, RETRO_DEVICE_ID_JOYPAD_START, "Reset (NMI)"},
    {1, kPad, 0, RETRO_DEVICE_ID_JOYPAD_UP, "Joystick 2 Up"},
    {1, kPad, 0, RETRO_DEVICE_ID_JOYPAD_DOWN, "Joystick 2 Down"},
    {1, kPad, 0, RETRO_DEVICE_ID_JOYPAD_LEFT, "Joystick 2 Left"},
    {1, kPad, 0, RETRO_DEVICE_ID_JOYPAD_RIGHT, "Joystick 2 Right"},
    {1, kPad, 0, RETRO_DEVICE_ID_JOYPAD_B, "Joystick 2 Button 1"},
    {1, kPad, 0, RETRO_DEVICE_ID_JOYPAD_A, "Joystick 2 Button 2"},
    {0, 0, 0, 0, nullptr},
};

void log_line(retro_log_level level, const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (log_cb != nullptr) {
    log_cb(level, "[QUAV] %s\n", text);
  } else {
    std::fprintf(stderr, "[QUAV] %s\n", text);
  }
}

const char* variable(const char* key) {
  retro_variable v = {key, nullptr};
  if (environ_cb == nullptr || !environ_cb(RETRO_ENVIRONMENT_GET_VARIABLE, &v)) return nullptr;
  return v.value;
}

Options read_options() {
  Options o;
  const char* machine = variable("quav_machine");
  if (machine != nullptr && std::strcmp(machine, "ntsc") == 0) o.machine = MachineKind::Ntsc;
  const char* mapper = variable("quav_mapper");
  for (const MapperValue& m : kMapperValues) {
    if (mapper != nullptr && std::strcmp(mapper, m.value) == 0) o.mapper = m.choice;
  }
  const char* limit = variable("quav_sprite_limit");
  o.sprite_limit = limit == nullptr || std::strcmp(limit, "off") != 0;
  return o;
}

// The pixel format: the machine's own RGB565 where the front end takes it,
// else XRGB8888.
bool choose_pixel_format() {
  retro_pixel_format format = RETRO_PIXEL_FORMAT_RGB565;
  if (environ_cb(RETRO_ENVIRONMENT_SET_PIXEL_FORMAT, &format)) {
    pixel_format = format;
    return true;
  }
  format = RETRO_PIXEL_FORMAT_XRGB8888;
  if (environ_cb(RETRO_ENVIRONMENT_SET_PIXEL_FORMAT, &format)) {
    pixel_format = format;
    return true;
  }
  return false;
}

// Powers the machine on under `options` and puts the content in.
bool start_content() {
  std::string why, note;
  core_machine_power_on(options.machine);
  if (!core_machine_load_image(content.data(), content.size(), options.mapper, &why, &note)) {
    core_machine_power_off();
    log_line(RETRO_LOG_ERROR, "cannot load the content: %s", why.c_str());
    return false;
  }
  if (!note.empty()) log_line(RETRO_LOG_WARN, "%s", note.c_str());
  core_machine_set_sprite_limit(options.sprite_limit);
  return true;
}

// Options changed while running: the sprite limit applies at once; another
// machine or map is a new power-on of the content.
void apply_new_options() {
  const Options before = options;
  options = read_options();
  if (options.machine != before.machine || options.mapper != before.mapper) {
    log_line(RETRO_LOG_INFO, "machine or cartridge map changed: the content starts again");
    loaded = start_content();
    if (loaded && options.machine != before.machine) {
      retro_system_av_info info;
      retro_get_system_av_info(&info);
      environ_cb(RETRO_ENVIRONMENT_SET_SYSTEM_AV_INFO, &info);
    }
    return;
  }
  core_machine_set_sprite_limit(options.sprite_limit);
}

MachineInput read_input() {
  MachineInput in;
  input_poll_cb();
  uint32_t* sticks[kPorts] = {&in.joystick1, &in.joystick2};
  for (unsigned port = 0; port < kPorts; ++port) {
    if (port_device[port] == RETRO_DEVICE_NONE) continue;
    for (const PadButton& b : kPadButtons) {
      if (input_state_cb(port, RETRO_DEVICE_JOYPAD, 0, b.id) != 0) *sticks[port] |= b.bit;
    }
  }
  if (port_device[0] != RETRO_DEVICE_NONE) {
    in.reset = input_state_cb(0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_START) != 0 ? 1 : 0;
  }
  uint8_t keys[256] = {};
  for (const RetroKeyEntry& k : kRetroKeys) {
    if (input_state_cb(0, RETRO_DEVICE_KEYBOARD, 0, k.retrok) != 0) keys[k.dik] = 0x80;
  }
  machine_press_host_keys(&in, keys);
  return in;
}

void send_picture() {
  const MachinePicture picture = core_machine_picture();
  if (picture.pixels == nullptr) return;
  if (pixel_format == RETRO_PIXEL_FORMAT_RGB565) {
    video_cb(picture.pixels, kPictureWidth, kPictureHeight, picture.pitch);
    return;
  }
  // Each channel's bits moved to the top of its byte, as the screenshot does.
  xrgb_frame.resize(static_cast<size_t>(kPictureWidth) * kPictureHeight);
  const auto* row = reinterpret_cast<const uint8_t*>(picture.pixels);
  for (int y = 0; y < kPictureHeight; ++y, row += picture.pitch) {
    const auto* pixels = reinterpret_cast<const uint16_t*>(row);
    uint32_t* out = &xrgb_frame[static_cast<size_t>(y) * kPictureWidth];
    for (int x = 0; x < kPictureWidth; ++x) {
      const uint32_t p = pixels[x];
      out[x] = ((p >> 11) << 3) << 16 | (((p >> 5) & 0x3F) << 2) << 8 | (p & 0x1F) << 3;
    }
  }
  video_cb(xrgb_frame.data(), kPictureWidth, kPictureHeight, kPictureWidth * sizeof(uint32_t));
}

void send_samples() {
  size_t count = 0;
  const int16_t* mono = core_machine_samples(&count);
  stereo.resize(count * 2);
  for (size_t i = 0; i < count; ++i) stereo[2 * i] = stereo[2 * i + 1] = mono[i];
  size_t sent = 0;
  while (sent < count) {
    const size_t taken = audio_batch_cb(stereo.data() + 2 * sent, count - sent);
    if (taken == 0) break;  // the front end takes no more this frame
    sent += taken;
  }
}

}  // namespace

RETRO_API unsigned retro_api_version() { return RETRO_API_VERSION; }

RETRO_API void retro_set_environment(retro_environment_t cb) {
  environ_cb = cb;
  cb(RETRO_ENVIRONMENT_SET_VARIABLES, option_list);
  bool no_game = false;
  cb(RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME, &no_game);
  static const retro_controller_description pads[] = {{"RetroPad", RETRO_DEVICE_JOYPAD}};
  static const retro_controller_info ports[] = {{pads, 1}, {pads, 1}, {nullptr, 0}};
  cb(RETRO_ENVIRONMENT_SET_CONTROLLER_INFO, const_cast<retro_controller_info*>(ports));
  retro_log_callback logging;
  log_cb = cb(RETRO_ENVIRONMENT_GET_LOG_INTERFACE, &logging) ? logging.log : nullptr;
}

RETRO_API void retro_set_video_refresh(retro_video_refresh_t cb) { video_cb = cb; }
RETRO_API void retro_set_audio_sample(retro_audio_sample_t) {}
RETRO_API void retro_set_audio_sample_batch(retro_audio_sample_batch_t cb) { audio_batch_cb = cb; }
RETRO_API void retro_set_input_poll(retro_input_poll_t cb) { input_poll_cb = cb; }
RETRO_API void retro_set_input_state(retro_input_state_t cb) { input_state_cb = cb; }

RETRO_API void retro_init() {
  for (unsigned& device : port_device) device = RETRO_DEVICE_JOYPAD;
}

RETRO_API void retro_deinit() {
  core_machine_power_off();
  loaded = false;
}

RETRO_API void retro_get_system_info(retro_system_info* info) {
  std::memset(info, 0, sizeof *info);
  info->library_name = "QUAV";
  info->library_version = QUAV_VERSION;
  info->valid_extensions = "sg|sc|bin|rom";
  info->need_fullpath = false;
  info->block_extract = false;
}

RETRO_API void retro_get_system_av_info(retro_system_av_info* info) {
  std::memset(info, 0, sizeof *info);
  info->geometry.base_width = kPictureWidth;
  info->geometry.base_height = kPictureHeight;
  info->geometry.max_width = kPictureWidth;
  info->geometry.max_height = kPictureHeight;
  info->geometry.aspect_ratio = kAspect;
  info->timing.fps = options.machine == MachineKind::Ntsc ? 60.0 : 50.0;
  info->timing.sample_rate = kSampleRate;
}

RETRO_API void retro_set_controller_port_device(unsigned port, unsigned device) {
  if (port < kPorts) port_device[port] = device;
}

RETRO_API void retro_reset() {
  if (!loaded) return;
  core_machine_reset();
  core_machine_set_sprite_limit(options.sprite_limit);
}

RETRO_API void retro_run() {
  if (!loaded) return;
  bool updated = false;
  if (environ_cb(RETRO_ENVIRONMENT_GET_VARIABLE_UPDATE, &updated) && updated) {
    apply_new_options();
    if (!loaded) return;
  }
  core_machine_set_input(read_input());
  core_machine_run_frame();
  send_picture();
  send_samples();
}

RETRO_API size_t retro_serialize_size() {
  return loaded ? core_machine_save_state().size() : 0;
}

RETRO_API bool retro_serialize(void* data, size_t size) {
  if (!loaded) return false;
  const std::vector<uint8_t> bytes = core_machine_save_state();
  if (size < bytes.size()) {
    log_line(RETRO_LOG_ERROR, "cannot save the state: %zu bytes given, %zu needed", size,
             bytes.size());
    return false;
  }
  std::memcpy(data, bytes.data(), bytes.size());
  return true;
}

RETRO_API bool retro_unserialize(const void* data, size_t size) {
  if (!loaded) return false;
  std::string why;
  if (data == nullptr) size = 0;
  if (!core_machine_load_state(static_cast<const uint8_t*>(data), size, &why)) {
    log_line(RETRO_LOG_ERROR, "cannot load the state: %s", why.c_str());
    return false;
  }
  core_machine_set_sprite_limit(options.sprite_limit);
  return true;
}

RETRO_API void retro_cheat_reset() {}
RETRO_API void retro_cheat_set(unsigned, bool, const char*) {}

RETRO_API bool retro_load_game(const retro_game_info* game) {
  loaded = false;
  if (game == nullptr || game->data == nullptr || game->size == 0) {
    log_line(RETRO_LOG_ERROR, "cannot load the content: the image is empty");
    return false;
  }
  if (!choose_pixel_format()) {
    log_line(RETRO_LOG_ERROR, "the front end takes neither RGB565 nor XRGB8888 pictures");
    return false;
  }
  environ_cb(RETRO_ENVIRONMENT_SET_INPUT_DESCRIPTORS, input_descriptors);
  options = read_options();
  const auto* bytes = static_cast<const uint8_t*>(game->data);
  content.assign(bytes, bytes + game->size);
  loaded = start_content();
  if (!loaded) content.clear();
  return loaded;
}

RETRO_API bool retro_load_game_special(unsigned, const retro_game_info*, size_t) { return false; }

RETRO_API void retro_unload_game() {
  core_machine_power_off();
  loaded = false;
  content.clear();
}

RETRO_API unsigned retro_get_region() {
  return options.machine == MachineKind::Ntsc ? RETRO_REGION_NTSC : RETRO_REGION_PAL;
}

RETRO_API void* retro_get_memory_data(unsigned id) {
  if (!loaded) return nullptr;
  size_t size = 0;
  if (id == RETRO_MEMORY_SYSTEM_RAM) return core_machine_ram(&size);
  if (id == RETRO_MEMORY_VIDEO_RAM) return core_machine_vram(&size);
  return nullptr;
}

RETRO_API size_t retro_get_memory_size(unsigned id) {
  if (!loaded) return 0;
  size_t size = 0;
  if (id == RETRO_MEMORY_SYSTEM_RAM) core_machine_ram(&size);
  if (id == RETRO_MEMORY_VIDEO_RAM) core_machine_vram(&size);
  return size;
}
