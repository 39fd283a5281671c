// The machine behind the core. The machine draws into its own picture and
// makes its samples frame by frame; the core hands out every frame's
// samples itself, so each frame's are noted as delivered once made, and a
// state saved here is the state --save-state writes after the same frames.
#include "libretro/core_machine.h"

namespace {

bool powered = false;
MachineInput next_input;
MachineSamples last_samples{nullptr, 0};

}  // namespace

void core_machine_power_on(MachineKind kind) {
  core_machine_power_off();
  machine_power_on(kind);
  machine_boot_logo();
  next_input = MachineInput{};
  last_samples = {nullptr, 0};
  powered = true;
}

void core_machine_power_off() {
  if (!powered) return;
  powered = false;
  machine_power_off();
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
  const bool rom = cart_choose_map(mapper, size) == CartMap::Rom;
  const size_t held = machine_load_image(image, size, mapper);
  if (held < size) {
    *note = std::string("the ") + (rom ? "rom" : "ram8k") + " map holds " +
            std::to_string(held / 1024) + " KB; the rest of the image is cut";
  }
  return true;
}

void core_machine_reset() { machine_reset(); }

void core_machine_set_sprite_limit(bool on) { machine_set_sprite_limit(on ? 1 : 0); }

void core_machine_set_input(const MachineInput& input) { next_input = input; }

void core_machine_run_frame() {
  if (!powered) return;
  last_samples = machine_run_frame(1).samples;
  machine_take_staged_samples();  // handed out by the core with the frame
  machine_set_input(next_input);
}

MachinePicture core_machine_picture() {
  if (!powered) return {nullptr, 0};
  const MachinePicture p = machine_picture();
  return {reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(p.pixels) + kShotTopRow * p.pitch),
          p.pitch};
}

const int16_t* core_machine_samples(size_t* count) {
  *count = static_cast<size_t>(last_samples.count);
  return last_samples.samples;
}

int core_machine_frames_per_second() { return machine_timing.frames_per_second; }

std::vector<uint8_t> core_machine_save_state() { return machine_save_state(); }

bool core_machine_load_state(const uint8_t* bytes, size_t size, std::string* why) {
  if (!machine_load_state(std::vector<uint8_t>(bytes, bytes + size), why)) return false;
  machine_take_staged_samples();  // as after every frame here
  return true;
}

uint8_t* core_machine_ram(size_t* size) { return machine_ram(size); }

uint8_t* core_machine_vram(size_t* size) { return machine_vram(size); }
