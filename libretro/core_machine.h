// The machine as the libretro core drives it, on machine/machine.h: the
// core's content loaded as a bare image path loads it, one frame per
// retro_run, its picture and samples handed to the front end, states as the
// bytes of QUAV state files.
//
// One frame is: the input of the frame is set, the frame runs, its picture
// and samples are read. The input of a frame reaches the machine after the
// frame has run (machine_run_frame, then machine_set_input), as the host
// keys of a headless pacing step do, so the core's frame N equals the
// headless run's frame N with the same keys held in the same frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "machine/machine.h"

// The picture of a frame: what a screenshot saves, the frame's 288 columns
// and its 216 visible rows (border included), RGB565 pixels.
constexpr int kPictureWidth = kFrameWidth;
constexpr int kPictureHeight = kShotHeight;

// Powers the machine on as `kind`, with no image: the start-up of a run, the
// logo booted. Any machine running before is shut down first, and nothing
// of it is left.
void core_machine_power_on(MachineKind kind);
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

// The input read for the next frame: the RetroPads' joystick bits and RESET
// key, and the keyboard's keys laid over the matrix by the key table.
void core_machine_set_input(const MachineInput& input);
// Runs one frame with every line drawn and its sound made, then hands the
// frame's input to the machine.
void core_machine_run_frame();
// The picture's first visible row; `pitch` bytes from one row to the next.
MachinePicture core_machine_picture();
// The last frame's samples: 16-bit mono at 44,100 Hz, 882 (NTSC 735) of them
// (none before the first frame).
const int16_t* core_machine_samples(size_t* count);
int core_machine_frames_per_second();

// The bytes of a QUAV state file of the running machine, as --save-state
// writes them after the same frames.
std::vector<uint8_t> core_machine_save_state();
// Loads the bytes of a state file; false with the reason in `why` when they
// are not a whole, undamaged state of this machine kind, and then nothing
// has changed.
bool core_machine_load_state(const uint8_t* bytes, size_t size, std::string* why);

// The machine's RAM as the running map places it and the VDP's 16 KB.
uint8_t* core_machine_ram(size_t* size);
uint8_t* core_machine_vram(size_t* size);
