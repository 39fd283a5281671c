// A small libretro front end for the tests: it opens the built core with
// dlopen, answers its environment calls (options, pixel format, log), holds
// RetroPad buttons and keyboard keys as a test sets them, and keeps every
// frame's picture (as RGB) and samples. One host at a time: the callbacks
// reach it through a global.
#pragma once

#include <libretro.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

constexpr int kRetroWidth = 288;
constexpr int kRetroHeight = 216;

// A picture as rows of red, green, blue bytes, top row first.
using Rgb = std::vector<uint8_t>;

class RetroHost {
 public:
  // Opens the built core (QUAV_LIBRETRO_CORE) and calls
  // retro_init; `options` are the values the core is given (others take
  // their defaults).
  explicit RetroHost(std::map<std::string, std::string> options = {});
  ~RetroHost();
  RetroHost(const RetroHost&) = delete;
  RetroHost& operator=(const RetroHost&) = delete;

  bool load(const std::vector<uint8_t>& image);
  // `count` calls of retro_run.
  void run(int count = 1);
  // Changes an option; the core sees the change at its next retro_run.
  void set_option(const std::string& key, const std::string& value);

  std::vector<uint8_t> serialize();
  bool unserialize(const std::vector<uint8_t>& bytes);

  // The front end's side of the core.
  struct Api {
    unsigned (*api_version)();
    void (*get_system_info)(retro_system_info*);
    void (*get_system_av_info)(retro_system_av_info*);
    void (*reset)();
    void (*set_controller_port_device)(unsigned, unsigned);
    unsigned (*get_region)();
    void* (*get_memory_data)(unsigned);
    size_t (*get_memory_size)(unsigned);
  };
  Api api = {};

  // What the core sees.
  bool accept_rgb565 = true;
  uint16_t pad[2] = {};  // RetroPad buttons held, bit n = RETRO_DEVICE_ID_JOYPAD n
  std::set<unsigned> keys;  // RETROK codes held

  // What the core gave.
  Rgb picture;                  // the last frame's
  int frames_seen = 0;          // retro_video_refresh calls
  std::vector<int16_t> left;    // every sample so far, by channel
  std::vector<int16_t> right;
  std::vector<size_t> samples_per_run;
  std::vector<std::string> log;
  retro_pixel_format pixel_format = RETRO_PIXEL_FORMAT_0RGB1555;
  double fps_announced = 0;     // from RETRO_ENVIRONMENT_SET_SYSTEM_AV_INFO

  // Callbacks' views of the host's state.
  std::map<std::string, std::string> option_values;
  std::map<std::string, std::string> option_declared;  // key -> "description; a|b"
  bool options_changed = false;

 private:
  void* handle_ = nullptr;
  void (*init_)() = nullptr;
  void (*deinit_)() = nullptr;
  bool (*load_game_)(const retro_game_info*) = nullptr;
  void (*unload_game_)() = nullptr;
  void (*run_)() = nullptr;
  size_t (*serialize_size_)() = nullptr;
  bool (*serialize_)(void*, size_t) = nullptr;
  bool (*unserialize_)(const void*, size_t) = nullptr;
  bool loaded_ = false;
};

// A headless run of the executable: its --shot picture (as RGB, top row
// first) and its --wav samples. `args` go on the command line after
// --headless; the run happens in a scratch directory.
struct HeadlessRun {
  int status = -1;
  Rgb shot;
  std::vector<int16_t> wav;
};
HeadlessRun run_headless(const std::string& args);
// The path of a file in the test's scratch directory (made at first use).
std::string scratch_path(const std::string& name);
void write_file(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> read_file(const std::string& path);
