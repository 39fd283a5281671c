// The machine behind the core, on the shell's start-up and frame code: the
// headless platform backend gives the frame surface and the audio device
// that the machine draws and plays into, and nobody reads the host's keys.
// A frame runs as a headless pacing step runs it, without the hotkey scan,
// the menu, the on-screen text or the presenting.
#include "libretro/core_machine.h"

#include <cstring>

#include "app/app.h"
#include "app/library.h"
#include "bus/input.h"
#include "bus/io.h"
#include "bus/ppi.h"
#include "display/video.h"
#include "platform/platform.h"
#include "sound/psg.h"
#include "sound/stream.h"
#include "state/state_file.h"
#include "vdp/vdp.h"
#include "z80/cpu.h"

namespace {

constexpr int kShotTopRow = 13;  // the first of the frame surface's visible rows
constexpr int kFirstModeWidth = 640;
constexpr int kFirstModeHeight = 480;
constexpr uint16_t kFlatRamStart = 0x8000;
constexpr uint16_t kCartRamStart = 0xC000;

bool powered = false;
MachineInput next_input;
int32_t samples_segment = 0;  // the staging segment the last frame filled

// The machine's records as a new process has them: start-up then resets only
// what the hardware's reset does, so a second content in the same process
// starts exactly as the first did.
void fresh_records() {
  static const SoundStream kFreshStream;
  cpu = CpuState{};
  vdp = VdpState{};
  psg = PsgState{};
  ppi = PpiState{};
  snd_state_commit(kFreshStream);
}

}  // namespace

bool core_machine_power_on(MachineKind kind, std::string* why) {
  core_machine_power_off();
  fresh_records();
  machine_timing_select(kind);
  app_settings = AppSettings{};
  app_settings.frame_rate = machine_timing.frames_per_second;
  app_settings.present_seen = 0;  // nobody looks at the back buffer
  quit_requested = 0;
  if (!platform_init(PlatformBackend::Headless, PlatformOptions{})) {
    *why = "the machine's host layer cannot start";
    return false;
  }
  if (!platform_window_open("QUAV") || !video_init(kFrameWidth, kFrameHeight) ||
      app_list_resolutions() == 0 || video_set_mode(kFirstModeWidth, kFirstModeHeight) == 0) {
    platform_quit();
    *why = "the machine's frame surface cannot be made";
    return false;
  }
  app_setup_machine();
  next_input = MachineInput{};
  samples_segment = snd.segment;
  powered = true;
  return true;
}

void core_machine_power_off() {
  if (!powered) return;
  powered = false;
  app_shutdown();
  platform_audio_close();
  platform_window_close();
  platform_quit();
}

bool core_machine_load_image(const uint8_t* image, size_t size, MapperChoice mapper,
                             std::string* why, std::string* note) {
  if (size == 0) {
    *why = "the image is empty";
    return false;
  }
  if (size > kCartImageLimit) {
    *why = "the image is over 4 MB, more than a cartridge holds";
    return false;
  }
  const size_t used = app_insert_image(image, size, mapper);
  if (used < size) {
    *note = std::string("the ") + (cart.map == CartMap::Rom ? "rom" : "ram8k") + " map holds " +
            std::to_string(used / 1024) + " KB; the rest of the image is cut";
  }
  return true;
}

void core_machine_reset() { app_reset_machine(); }

void core_machine_set_sprite_limit(bool on) {
  if (vdp.sprite_limit != (on ? 1u : 0u)) vdp_toggle_sprite_limit();
}

void core_machine_set_input(const MachineInput& input) { next_input = input; }

void core_machine_run_frame() {
  if (!powered) return;
  samples_segment = snd.segment;
  // No device plays the stream: each frame's samples are taken straight from
  // staging, so every frame counts as delivered once it is made.
  app_emulate_frame(1, 0);
  snd.delivered = snd.segment * machine_timing.samples_per_frame;
  if (next_input.reset_key) cpu_nmi();
  for (uint16_t& row : ppi.key_rows) row = 0xFFFF;
  ppi_press_keys(next_input.keys);
  ppi.joystick1 = next_input.joystick1;
  ppi.joystick2 = next_input.joystick2;
}

MachinePicture core_machine_picture() {
  if (!powered) return {nullptr, 0};
  return {video_pixel_address(kSurfaceFrame, 0, kShotTopRow),
          static_cast<size_t>(display.pitch[kSurfaceFrame])};
}

const int16_t* core_machine_samples(size_t* count) {
  *count = static_cast<size_t>(machine_timing.samples_per_frame);
  return snd.staging + samples_segment * machine_timing.samples_per_frame;
}

int core_machine_frames_per_second() { return machine_timing.frames_per_second; }

std::vector<uint8_t> core_machine_save_state() { return state_encode(); }

bool core_machine_load_state(const uint8_t* bytes, size_t size, std::string* why) {
  const std::vector<uint8_t> file(bytes, bytes + size);
  SnapshotPtr snapshot = state_decode(file, why);
  if (!snapshot) return false;
  state_commit(*snapshot);
  snd.delivered = snd.segment * machine_timing.samples_per_frame;
  return true;
}

uint8_t* core_machine_ram(size_t* size) {
  const uint16_t start =
      cart.map == CartMap::Rom || cart.map == CartMap::Sega ? kCartRamStart : kFlatRamStart;
  *size = kMemorySize - start;
  return MachineMemory + start;
}

uint8_t* core_machine_vram(size_t* size) {
  *size = kVramSize;
  return vdp.vram;
}
