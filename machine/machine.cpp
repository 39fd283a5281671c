// The machine behind machine/machine.h: power-on in the devices' fixed
// order, the images, the frame's scanline schedule, the input between
// frames and the picture's place.
//
// One scanline is 229 Z80 T-states (228 on the NTSC machine): the CPU runs
// its slice first, then the VDP handles the line (raising its interrupt at
// line 212, or 192), then the sound side takes its share of samples. The
// figures are the running machine's, from machine_timing.
#include "machine/machine.h"

#include <algorithm>
#include <cstring>

#include "bus/io.h"
#include "bus/key_table.h"
#include "bus/tape.h"
#include "machine/state_file.h"
#include "sound/psg.h"
#include "sound/vgm.h"
#include "vdp/row_cache.h"
#include "vdp/vdp.h"

// The logo program, assembled from data/logo.asm at build time.
extern const unsigned char kLogoImage[];

MachineCalls machine_calls = {cpu_run, vdp_render_line, snd_frame_begin, snd_line_done,
                              snd_frame_end};

namespace {

constexpr int32_t kPsgClock = 3579545;
constexpr uint32_t kLogoSize = 0x4000;
constexpr uint32_t kMirroredSize = 0x4000;  // a 16 KB library image shows twice
constexpr uint32_t kMirrorAddress = 0x4000;
constexpr uint16_t kFlatRamStart = 0x8000;
constexpr uint16_t kCartRamStart = 0xC000;
constexpr int32_t kOwnPitch = kFrameWidth * sizeof(uint16_t);

// The picture when no front end lends a surface of its own.
uint16_t own_picture[kFrameHeight * kFrameWidth];
uint16_t* lent_pixels = nullptr;
int32_t lent_pitch = 0;

void aim_picture() {
  if (lent_pixels != nullptr) {
    vdp_set_frame(lent_pixels, lent_pitch);
  } else {
    vdp_set_frame(own_picture, kOwnPitch);
  }
}

}  // namespace

// ---- power and content ----------------------------------------------------

// The VDP's interrupt line is the Z80's: the frame interrupt is RST 38h.
void machine_vdp_interrupt(int level) {
  if (level != 0) {
    cpu_irq(0xFF);
  } else {
    cpu_clear_irq();
  }
}

void machine_connect_cpu(PortIn in, PortOut out) {
  cart_use_flat();
  cpu_init();
  cpu_map_fetch(0x0000, 0xFFFF, MachineMemory);
  cpu_map_read(0x0000, 0xFFFF, 0, MachineMemory);
  cpu_map_write(0x8000, 0xFFFF, 0, MachineMemory + 0x8000);
  cpu_set_port_in(in);
  cpu_set_port_out(out);
  cpu_close_maps();
  cpu_reset();
}

void machine_power_on(MachineKind kind) {
  machine_timing_select(kind);
  const MachineTiming& t = machine_timing;
  std::memset(MachineMemory, 0, kMemorySize);
  cpu = CpuState{};
  machine_connect_cpu(io_read_port, io_write_port);
  ppi = PpiState{};
  vdp_release();
  vdp = VdpState{};
  vdp_init(machine_vdp_interrupt);
  vdp_set_frame_lines(t.irq_line, t.irq_withdraw_line);
  aim_picture();
  psg = PsgState{};
  psg_init(kPsgClock, kSoundRate, 0);
  snd_reset(t.samples_per_frame);
  snd.making = 1;
}

void machine_power_off() { vdp_release(); }

void machine_boot_logo() {
  vdp_reset();
  psg_reset();
  std::memset(MachineMemory, 0, kMemorySize);
  std::memcpy(MachineMemory, kLogoImage, kLogoSize);
  cpu_reset();
}

void machine_load_library_image(const uint8_t* image, uint32_t size) {
  size = std::min(size, kMemorySize);
  cart_use_flat();
  ppi_use_own();
  vdp_reset();
  psg_reset();
  std::memset(MachineMemory, 0, kMemorySize);
  std::memcpy(MachineMemory, image, size);
  if (size == kMirroredSize) std::memcpy(MachineMemory + kMirrorAddress, image, kMirroredSize);
  cpu_reset();
}

void machine_load_file_image(const uint8_t* image, size_t size) {
  // A short or empty image is fine: what lies beneath it stays.
  std::memcpy(MachineMemory, image, std::min<size_t>(size, kFlatImageLimit));
  ppi_use_own();
}

size_t machine_load_image(const uint8_t* image, size_t size, MapperChoice choice) {
  const CartMap map = cart_choose_map(choice, size);
  size_t used = size;
  if (map == CartMap::Rom || map == CartMap::Sega) {
    cart_insert(map, image, size);
    if (map == CartMap::Rom) used = std::min<size_t>(size, kRomImageLimit);
  } else {
    // As "/file": over what memory holds, nothing cleared.
    used = std::min<size_t>(size, kFlatImageLimit);
    std::copy_n(image, used, MachineMemory);
    if (map == CartMap::Ram8k) cart_add_ram8k();
  }
  // A cartridge on its own meets the PPI as the hardware powers it on.
  ppi_power_on_8255();
  return used;
}

void machine_reset() {
  cart_reset_banks();
  // The reset line reaches the 8255 too; the machine's own PPI keeps its row.
  if (ppi.power_on_8255 == 1) ppi_power_on_8255();
  cpu_reset();
  vdp_reset();
  psg_reset();
}

// ---- a frame --------------------------------------------------------------

void machine_press_host_keys(MachineInput* input, const uint8_t keys[256]) {
  key_table_press(keys, input->key_rows);
}

void machine_set_input(const MachineInput& input) {
  if (input.reset != 0) cpu_nmi();
  ppi_take_input(input.key_rows, input.joystick1, input.joystick2);
}

// The loop counter is the VDP's own current_line, which the VDP and the port
// reads take as the scanline being processed. The cassette's clock counts
// the T-states of every CPU run (an access inside a run adds how far the run
// has come).
MachineFrame machine_run_frame(int draw) {
  const MachineSamples samples{snd.staging + snd.segment * snd.frame_samples, snd.frame_samples};
  machine_calls.snd_frame_begin();
  const int32_t lines = machine_timing.lines_per_frame;
  const int32_t cycles_per_line = machine_timing.cycles_per_line;
  for (vdp.current_line = 0; vdp.current_line < lines; vdp.current_line += 1) {
    tape_run_done(machine_calls.cpu_run(cycles_per_line));
    machine_calls.vdp_render_line(draw);
    machine_calls.snd_line_done();
  }
  return {samples, machine_calls.snd_frame_end()};
}

MachinePicture machine_picture() { return {vdp.frame, vdp.frame_pitch}; }

void machine_lend_picture(uint16_t* pixels, int32_t pitch) {
  lent_pixels = pixels;
  lent_pitch = pitch;
  aim_picture();
}

void machine_picture_overwritten(int first_row, int rows) { vdp_forget_rows(first_row, rows); }

const uint16_t* machine_pattern_runs(int foreground, int background) {
  if (vdp.expansion_table == nullptr) return nullptr;
  const uint32_t colours = vdp.bg_term[background & 15] | vdp.fg_term[foreground & 15];
  return reinterpret_cast<const uint16_t*>(vdp.expansion_table + colours);
}

// ---- sound ----------------------------------------------------------------

void machine_make_sound(int on) { snd.making = on != 0 ? 1 : 0; }

void machine_mute(int muted) { psg.muted = muted != 0 ? 1 : 0; }

MachineSamples machine_take_staged_samples() { return snd_take_staged(); }

void machine_vgm_start() { vgm_start(); }

int machine_vgm_logging() { return static_cast<int>(vgm_is_logging()); }

int machine_vgm_finish(std::vector<uint8_t>* file) { return vgm_finish(file); }

// ---- states ---------------------------------------------------------------

std::vector<uint8_t> machine_save_state() { return state_encode(); }

bool machine_state_kind(const std::vector<uint8_t>& bytes, MachineKind* kind) {
  return state_machine_kind(bytes, kind);
}

bool machine_state_fits(const std::vector<uint8_t>& bytes, std::string* why) {
  return state_decode(bytes, why) != nullptr;
}

bool machine_load_state(const std::vector<uint8_t>& bytes, std::string* why) {
  const SnapshotPtr snapshot = state_decode(bytes, why);
  if (!snapshot) return false;
  state_commit(*snapshot);
  return true;
}

// ---- memory and settings --------------------------------------------------

uint8_t* machine_ram(size_t* size) {
  const uint16_t start =
      cart.map == CartMap::Rom || cart.map == CartMap::Sega ? kCartRamStart : kFlatRamStart;
  *size = kMemorySize - start;
  return MachineMemory + start;
}

uint8_t* machine_vram(size_t* size) {
  *size = kVramSize;
  return vdp.vram;
}

uint32_t machine_toggle_sprite_limit() { return vdp_toggle_sprite_limit(); }

void machine_set_sprite_limit(int on) {
  if (vdp.sprite_limit != (on != 0 ? 1u : 0u)) vdp_toggle_sprite_limit();
}

uint32_t machine_joystick_mode() { return ppi.joystick_mode; }

uint32_t machine_toggle_joystick_mode() { return ppi_toggle_joystick(); }
