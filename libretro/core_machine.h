// The machine as the libretro core drives it: every call the core makes into
// the emulated SC-3000 goes through these few functions; the rest of
// libretro/ uses only their types.
//
// One frame is: the input of the frame is set, the frame runs, its picture
// and samples are read. The input of a frame reaches the machine after the
// frame has run, as the host keys of a pacing step do in the window and
// headless runs: the reset key raises the NMI, then the PPI's key rows and
// joysticks take the keys and sticks, which the program reads from the next
// frame on. So the core's frame N equals the headless run's frame N with the
// same keys held in the same frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bus/cartridge.h"
#include "bus/machine_timing.h"

// The picture of a frame: what a screenshot saves, the frame surface's 288
// columns and its 216 visible rows (border included), RGB565 pixels.
constexpr int kPictureWidth = 288;
constexpr int kPictureHeight = 216;

// Joystick bits of MachineInput, as the PPI's joystick bytes hold them.
constexpr uint32_t kStickUp = 0x01;
constexpr uint32_t kStickDown = 0x02;
constexpr uint32_t kStickLeft = 0x04;
constexpr uint32_t kStickRight = 0x08;
constexpr uint32_t kStickButton2 = 0x10;
constexpr uint32_t kStickButton1 = 0x20;

struct MachineInput {
  // The SC-3000 keyboard as host keys, by DirectInput code, bit 7 = down; the
  // host key table (bus/key_table.cpp) lays the matrix over them.
  uint8_t keys[256] = {};
  uint32_t joystick1 = 0;  // kStick* bits
  uint32_t joystick2 = 0;
  bool reset_key = false;  // the RESET key: the NMI
};

struct MachinePicture {
  const uint16_t* pixels;  // first pixel of the top visible row; null before any start
  size_t pitch;            // bytes from one row to the next
};

// Powers the machine on as `kind`, with no image: the start-up of a run, the
// logo booted, every part as in a new process. Any machine running before is
// shut down first. False when the machine cannot start (the reason in `why`).
bool core_machine_power_on(MachineKind kind, std::string* why);
// Shuts the machine down; nothing is left running.
void core_machine_power_off();
// Puts an image into the machine as a bare path loads it (the map `mapper`
// chooses for its size); call straight after core_machine_power_on. False,
// with the reason in `why`, for an empty image or one over 4 MB; then the
// machine is unchanged. A map that cuts the image's tail says so in `note`.
bool core_machine_load_image(const uint8_t* image, size_t size, MapperChoice mapper,
                             std::string* why, std::string* note);
// The hard reset (the map stays, its banks go back).
void core_machine_reset();
// The VDP's four-sprites-per-line limit. A reset or a state load sets the
// VDP's own value again, so the caller applies its choice after those.
void core_machine_set_sprite_limit(bool on);

void core_machine_set_input(const MachineInput& input);
// Runs one frame with every line drawn and its sound made, then hands the
// frame's input to the machine.
void core_machine_run_frame();
MachinePicture core_machine_picture();
// The last frame's samples: 16-bit mono at 44,100 Hz, 882 (NTSC 735) of them.
const int16_t* core_machine_samples(size_t* count);
int core_machine_frames_per_second();

// The bytes of a QUAV state file of the running machine, as --save-state
// writes them after the same frames.
std::vector<uint8_t> core_machine_save_state();
// Loads the bytes of a state file; false with the reason in `why` when they
// are not a whole, undamaged state of this machine kind, and then nothing
// has changed.
bool core_machine_load_state(const uint8_t* bytes, size_t size, std::string* why);

// The machine's RAM as the running map places it (32 KB from 0x8000 under
// the flat map, 16 KB from 0xC000 under rom and sega) and the VDP's 16 KB.
uint8_t* core_machine_ram(size_t* size);
uint8_t* core_machine_vram(size_t* size);
