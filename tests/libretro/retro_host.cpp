// The tests' libretro front end and the headless runs they compare with.
#include "libretro/retro_host.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

RetroHost* host = nullptr;

template <typename F>
F symbol(void* handle, const char* name) {
  void* s = dlsym(handle, name);
  if (s == nullptr) throw std::runtime_error(std::string("the core lacks ") + name);
  return reinterpret_cast<F>(s);
}

void on_log(retro_log_level, const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  host->log.push_back(text);
}

bool on_environment(unsigned cmd, void* data) {
  switch (cmd) {
    case RETRO_ENVIRONMENT_GET_LOG_INTERFACE:
      static_cast<retro_log_callback*>(data)->log = on_log;
      return true;
    case RETRO_ENVIRONMENT_SET_VARIABLES:
      for (auto* v = static_cast<const retro_variable*>(data); v->key != nullptr; ++v) {
        host->option_declared[v->key] = v->value;
      }
      return true;
    case RETRO_ENVIRONMENT_GET_VARIABLE: {
      auto* v = static_cast<retro_variable*>(data);
      const auto found = host->option_values.find(v->key);
      v->value = found == host->option_values.end() ? nullptr : found->second.c_str();
      return found != host->option_values.end();
    }
    case RETRO_ENVIRONMENT_GET_VARIABLE_UPDATE:
      *static_cast<bool*>(data) = host->options_changed;
      host->options_changed = false;
      return true;
    case RETRO_ENVIRONMENT_SET_PIXEL_FORMAT: {
      const auto format = *static_cast<const retro_pixel_format*>(data);
      if (format == RETRO_PIXEL_FORMAT_RGB565 && !host->accept_rgb565) return false;
      host->pixel_format = format;
      return true;
    }
    case RETRO_ENVIRONMENT_SET_SYSTEM_AV_INFO:
      host->fps_announced = static_cast<const retro_system_av_info*>(data)->timing.fps;
      return true;
    case RETRO_ENVIRONMENT_SET_INPUT_DESCRIPTORS:
    case RETRO_ENVIRONMENT_SET_CONTROLLER_INFO:
    case RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME:
      return true;
    default:
      return false;
  }
}

void on_video(const void* data, unsigned width, unsigned height, size_t pitch) {
  host->frames_seen += 1;
  if (data == nullptr || width != kRetroWidth || height != kRetroHeight) {
    host->picture.clear();
    return;
  }
  host->picture.assign(static_cast<size_t>(width) * height * 3, 0);
  for (unsigned y = 0; y < height; ++y) {
    const auto* row = static_cast<const uint8_t*>(data) + y * pitch;
    uint8_t* out = &host->picture[static_cast<size_t>(y) * width * 3];
    for (unsigned x = 0; x < width; ++x, out += 3) {
      if (host->pixel_format == RETRO_PIXEL_FORMAT_RGB565) {
        uint16_t p;
        std::memcpy(&p, row + 2 * x, 2);
        out[0] = static_cast<uint8_t>((p >> 11) << 3);
        out[1] = static_cast<uint8_t>(((p >> 5) & 0x3F) << 2);
        out[2] = static_cast<uint8_t>((p & 0x1F) << 3);
      } else {
        uint32_t p;
        std::memcpy(&p, row + 4 * x, 4);
        out[0] = static_cast<uint8_t>(p >> 16);
        out[1] = static_cast<uint8_t>(p >> 8);
        out[2] = static_cast<uint8_t>(p);
      }
    }
  }
}

size_t on_audio_batch(const int16_t* data, size_t frames) {
  for (size_t i = 0; i < frames; ++i) {
    host->left.push_back(data[2 * i]);
    host->right.push_back(data[2 * i + 1]);
  }
  host->samples_per_run.back() += frames;
  return frames;
}

void on_audio_sample(int16_t l, int16_t r) {
  host->left.push_back(l);
  host->right.push_back(r);
  host->samples_per_run.back() += 1;
}

void on_input_poll() {}

int16_t on_input_state(unsigned port, unsigned device, unsigned, unsigned id) {
  if (device == RETRO_DEVICE_JOYPAD && port < 2 && id < 16) return (host->pad[port] >> id) & 1;
  if (device == RETRO_DEVICE_KEYBOARD) return host->keys.count(id) ? 1 : 0;
  return 0;
}

// Made at first use, removed with everything in it when the tests end.
struct ScratchDir {
  std::string path;
  ~ScratchDir() {
    if (!path.empty()) std::filesystem::remove_all(path);
  }
};

std::string scratch_dir() {
  static ScratchDir dir;
  if (dir.path.empty()) {
    char pattern[] = "/tmp/quav_libretro_XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) throw std::runtime_error("no scratch directory");
    dir.path = made;
  }
  return dir.path;
}

}  // namespace

RetroHost::RetroHost(std::map<std::string, std::string> options)
    : option_values(std::move(options)) {
  handle_ = dlopen(QUAV_LIBRETRO_CORE, RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) throw std::runtime_error(dlerror());
  host = this;
  init_ = symbol<void (*)()>(handle_, "retro_init");
  deinit_ = symbol<void (*)()>(handle_, "retro_deinit");
  load_game_ = symbol<bool (*)(const retro_game_info*)>(handle_, "retro_load_game");
  unload_game_ = symbol<void (*)()>(handle_, "retro_unload_game");
  run_ = symbol<void (*)()>(handle_, "retro_run");
  serialize_size_ = symbol<size_t (*)()>(handle_, "retro_serialize_size");
  serialize_ = symbol<bool (*)(void*, size_t)>(handle_, "retro_serialize");
  unserialize_ = symbol<bool (*)(const void*, size_t)>(handle_, "retro_unserialize");
  api.api_version = symbol<unsigned (*)()>(handle_, "retro_api_version");
  api.get_system_info = symbol<void (*)(retro_system_info*)>(handle_, "retro_get_system_info");
  api.get_system_av_info =
      symbol<void (*)(retro_system_av_info*)>(handle_, "retro_get_system_av_info");
  api.reset = symbol<void (*)()>(handle_, "retro_reset");
  api.set_controller_port_device =
      symbol<void (*)(unsigned, unsigned)>(handle_, "retro_set_controller_port_device");
  api.get_region = symbol<unsigned (*)()>(handle_, "retro_get_region");
  api.get_memory_data = symbol<void* (*)(unsigned)>(handle_, "retro_get_memory_data");
  api.get_memory_size = symbol<size_t (*)(unsigned)>(handle_, "retro_get_memory_size");
  symbol<void (*)(retro_environment_t)>(handle_, "retro_set_environment")(on_environment);
  symbol<void (*)(retro_video_refresh_t)>(handle_, "retro_set_video_refresh")(on_video);
  symbol<void (*)(retro_audio_sample_t)>(handle_, "retro_set_audio_sample")(on_audio_sample);
  symbol<void (*)(retro_audio_sample_batch_t)>(handle_, "retro_set_audio_sample_batch")(
      on_audio_batch);
  symbol<void (*)(retro_input_poll_t)>(handle_, "retro_set_input_poll")(on_input_poll);
  symbol<void (*)(retro_input_state_t)>(handle_, "retro_set_input_state")(on_input_state);
  init_();
}

RetroHost::~RetroHost() {
  if (loaded_) unload_game_();
  deinit_();
  dlclose(handle_);
  host = nullptr;
}

bool RetroHost::load(const std::vector<uint8_t>& image) {
  if (loaded_) unload_game_();  // new content, as a front end loads it
  retro_game_info info = {};
  info.path = "content.sg";
  info.data = image.empty() ? nullptr : image.data();
  info.size = image.size();
  loaded_ = load_game_(&info);
  return loaded_;
}

void RetroHost::run(int count) {
  for (int i = 0; i < count; ++i) {
    samples_per_run.push_back(0);
    run_();
  }
}

void RetroHost::set_option(const std::string& key, const std::string& value) {
  option_values[key] = value;
  options_changed = true;
}

std::vector<uint8_t> RetroHost::serialize() {
  std::vector<uint8_t> bytes(serialize_size_());
  if (!serialize_(bytes.data(), bytes.size())) bytes.clear();
  return bytes;
}

bool RetroHost::unserialize(const std::vector<uint8_t>& bytes) {
  return unserialize_(bytes.data(), bytes.size());
}

std::string scratch_path(const std::string& name) { return scratch_dir() + "/" + name; }

void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

HeadlessRun run_headless(const std::string& args) {
  const char* quav = std::getenv("QUAV_BIN");
  if (quav == nullptr) throw std::runtime_error("QUAV_BIN is not set");
  const std::string shot = scratch_path("headless.bmp");
  const std::string wav = scratch_path("headless.wav");
  std::remove(shot.c_str());
  std::remove(wav.c_str());
  const std::string command = std::string("cd '") + scratch_dir() + "' && '" + quav +
                              "' --headless " + args + " --shot '" + shot + "' --wav '" + wav +
                              "' 2>/dev/null";
  HeadlessRun run;
  run.status = std::system(command.c_str());
  // The BMP: a 54-byte header, then rows bottom-up of blue, green, red.
  const std::vector<uint8_t> bmp = read_file(shot);
  constexpr size_t kHeader = 54, kRowBytes = kRetroWidth * 3;
  if (bmp.size() >= kHeader + kRowBytes * kRetroHeight) {
    run.shot.resize(kRowBytes * kRetroHeight);
    for (int y = 0; y < kRetroHeight; ++y) {
      const uint8_t* in = &bmp[kHeader + (kRetroHeight - 1 - y) * kRowBytes];
      uint8_t* out = &run.shot[y * kRowBytes];
      for (int x = 0; x < kRetroWidth; ++x) {
        out[3 * x] = in[3 * x + 2];
        out[3 * x + 1] = in[3 * x + 1];
        out[3 * x + 2] = in[3 * x];
      }
    }
  }
  // The WAV: a 44-byte header, then 16-bit little-endian samples.
  const std::vector<uint8_t> w = read_file(wav);
  for (size_t i = 44; i + 1 < w.size(); i += 2) {
    run.wav.push_back(static_cast<int16_t>(w[i] | w[i + 1] << 8));
  }
  return run;
}
