// The machine: the SC-3000 that every front end drives, and the one door
// they drive it through. The window and the headless runner (app/) and the
// libretro core put images in, hand each frame its input, run frames and
// take the picture and the samples out; the devices behind this door (z80/,
// bus/, vdp/, sound/) know nothing of any front end or of the host.
//
// One frame, in every front end:
//
//   machine_run_frame(draw)   the frame's 312 lines (262 on the NTSC
//                             machine): the Z80's slice, the VDP's line, the
//                             sound's share; then its picture and samples
//   machine_set_input(input)  the keys and sticks read for that frame: the
//                             RESET key gives the NMI now, the PPI takes the
//                             key rows and joysticks, which the program reads
//                             from the next frame on
//
// So input read for frame k reaches the machine after frame k has run, as the
// host keys of a headless step k do (hotkeys, the frame, the NMI while INS is
// held, the key poll). A libretro core that reads its input in retro_run k,
// runs the frame and then sets that input gives the frames of `--hold` keys
// held in frame k. A window step that runs several frames sets the input
// once, after the last. The cassette deck has its own few calls
// (machine/cassette.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bus/cartridge.h"
#include "bus/ppi.h"
#include "machine/timing.h"
#include "sound/stream.h"
#include "vdp/frame.h"
#include "z80/cpu.h"

// ---- power and content ----------------------------------------------------

// Powers the machine on as `kind`: every device from its power-on state, the
// flat map with nothing in it (memory cleared), the machine's own PPI, the
// picture in the machine's own buffer, samples made. Whatever ran before
// leaves nothing behind.
void machine_power_on(MachineKind kind);
// Releases what power-on took (the VDP's expansion table).
void machine_power_off();
// QUAV's own logo program at 0x0000 of cleared memory, the VDP, sound chip
// and CPU reset: how QUAV starts, and what an image of the flat map is
// loaded over.
void machine_boot_logo();
// A library entry's image (at most 40 KB): memory cleared, the image at
// 0x0000 (a 16 KB image twice, at 0x0000 and 0x4000), the flat map, the
// machine's own PPI, the VDP, sound chip and CPU reset.
void machine_load_library_image(const uint8_t* image, uint32_t size);
// The "/file" image (at most 32 KB) over whatever memory holds; the
// machine's own PPI. Nothing is reset.
void machine_load_file_image(const uint8_t* image, size_t size);
// An image as a bare path loads it (size at most kCartImageLimit): the map
// `choice` gives for its size (an image of the flat map goes over memory as
// "/file" does, a rom or sega image replaces memory), and the 8255 as it
// powers on (row 7, the joysticks, selected). Returns how many of the bytes
// the map holds: fewer than `size` when the rest is cut.
size_t machine_load_image(const uint8_t* image, size_t size, MapperChoice choice);
// The hard reset: the map stays and its banks go back, the 8255 of a bare
// image powers on again, the CPU, VDP and sound chip are reset.
void machine_reset();

// ---- a frame: input in, picture and samples out ---------------------------

// What the program can read of the keys and sticks: the keyboard matrix
// (one 16-bit row per select line, a line 0 while its key is held; row 7
// belongs to the joysticks and stays 0xFFFF), the joysticks (kJoy* bits,
// 1 while held) and the RESET key (1 while held: an NMI).
struct MachineInput {
  uint16_t key_rows[kKeyRows] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF,
                                 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
  uint32_t joystick1 = 0;
  uint32_t joystick2 = 0;
  uint32_t reset = 0;
};
// Presses in `input` the SC-3000 keys that the key table (bus/key_table.cpp)
// lays over the host keys down in `keys` (256 bytes by DirectInput key code,
// bit 7 = down). Front ends with other keys translate them to these codes
// first. Keys pressed here and by anyone else (a typist) add up.
void machine_press_host_keys(MachineInput* input, const uint8_t keys[256]);
// Between frames: the NMI when the RESET key is held, then the PPI's key
// rows and joysticks become `input`.
void machine_set_input(const MachineInput& input);

// 44,100 Hz mono samples of the stream: 0 (silence) to 32,767.
using MachineSamples = SoundSpan;
struct MachineFrame {
  // This frame's samples, 882 (735 on the NTSC machine), for a front end
  // that hands out each frame's sound by itself (the libretro core, a live
  // output).
  MachineSamples samples;
  // Every third frame, the three frames' samples not handed out before
  // (count 0 on other frames): the chunk the window and headless runs write
  // to their looping sound buffer, and so to --wav.
  MachineSamples chunk;
};
// Runs one frame. draw = 0 leaves the active lines' rows as they were (the
// border rows and everything else still happen). The samples stay valid
// until the next frame.
MachineFrame machine_run_frame(int draw);

// The picture: kFrameWidth x kFrameHeight (288 x 240) RGB565 pixels, `pitch`
// bytes from row to row, the 256 x 192 active area at column kActiveLeft,
// row kActiveTop. A screenshot (and the libretro core's picture) is rows
// kShotTopRow to kShotTopRow + kShotHeight - 1 (13-228), border included.
constexpr int kShotTopRow = 13;
constexpr int kShotHeight = 216;
struct MachinePicture {
  uint16_t* pixels;
  int32_t pitch;
};
MachinePicture machine_picture();
// The picture goes where `pixels` points (a front end's frame surface),
// `pitch` bytes a row, until it is lent elsewhere; null: back into the
// machine's own buffer. The VDP leaves a row alone when it already holds
// what its line would draw, so whoever else writes into the picture says so.
void machine_lend_picture(uint16_t* pixels, int32_t pitch);
void machine_picture_overwritten(int first_row, int rows);
// The VDP's ready-made runs of 8 pixels in colour `foreground` on
// `background` (0-15; a background of 0 shows the backdrop, a foreground of
// 0 is black), for text drawn over the picture in the machine's own colours:
// the run of pattern byte p (bit 7 the leftmost pixel) starts at p * 8. Null
// before power-on.
const uint16_t* machine_pattern_runs(int foreground, int background);

// ---- sound ----------------------------------------------------------------

// 0: frames make no samples (nobody takes them: a window without a sound
// device); the sound chip's writes, the schedule and the VGM waits run on.
void machine_make_sound(int on);
// 1: the sound chip makes silence (a paused window, a display mode switch).
void machine_mute(int muted);
// The samples of the chunk being filled that were not handed out yet, handed
// out now and noted as delivered, so that a run that loads a state saved
// next does not deliver them again (a headless run before --save-state; a
// core that hands out every frame's samples, before each state it saves).
MachineSamples machine_take_staged_samples();
// The VGM log of the sound chip's writes and the samples between them.
void machine_vgm_start();
int machine_vgm_logging();
// Ends the log; its file's bytes go into `file`. 0 when no log was running.
int machine_vgm_finish(std::vector<uint8_t>* file);

// ---- states ---------------------------------------------------------------

// Far above any state (the flat map's is under 100 KB; a banked cartridge's
// image adds up to 4 MB): a bigger file is no state.
constexpr size_t kMaxStateBytes = 8u << 20;
// The bytes of a QUAV state file of the machine as it stands (between frames).
std::vector<uint8_t> machine_save_state();
// The machine kind a state file's header names; false when the bytes do not
// start as a state file.
bool machine_state_kind(const std::vector<uint8_t>& bytes, MachineKind* kind);
// Whether `bytes` are a whole, undamaged state of the kind chosen
// (machine_timing); false with the reason in `why`. Nothing changes.
bool machine_state_fits(const std::vector<uint8_t>& bytes, std::string* why);
// Loads a state; false with the reason in `why`, and then nothing changed.
bool machine_load_state(const std::vector<uint8_t>& bytes, std::string* why);

// ---- memory and settings --------------------------------------------------

// The RAM as the running map places it (32 KB from 0x8000 under the flat
// map, 16 KB from 0xC000 under rom and sega) and the VDP's 16 KB of VRAM.
uint8_t* machine_ram(size_t* size);
uint8_t* machine_vram(size_t* size);
// The VDP's four-sprites-per-line limit. A reset or a loaded state brings
// the VDP's own value back.
uint32_t machine_toggle_sprite_limit();
void machine_set_sprite_limit(int on);
// Which host keys a front end lays over the machine: 1 joystick 1 (the
// arrows, A and S), 0 the keyboard matrix. The machine keeps the choice (in
// the PPI's record, so states carry it) but does not act on it.
uint32_t machine_joystick_mode();
uint32_t machine_toggle_joystick_mode();

// ---- for tests and benchmarks ---------------------------------------------

// The Z80 over MachineMemory (the flat map), the given port callbacks, then
// a CPU reset. Power-on connects io_read_port and io_write_port.
void machine_connect_cpu(PortIn in, PortOut out);
// The VDP's interrupt callback: the Z80's interrupt line.
void machine_vdp_interrupt(int level);
// The calls one frame makes into the devices, in one table so that tests can
// record their order and benchmarks leave some out. They start at the real
// operations.
struct MachineCalls {
  int32_t (*cpu_run)(int32_t budget);
  void (*vdp_render_line)(int render);
  void (*snd_frame_begin)();
  void (*snd_line_done)();
  SoundSpan (*snd_frame_end)();
};
extern MachineCalls machine_calls;
