// The VDP's ports, registers, status byte and frame interrupt.
//
// Control port: byte pairs; a second byte with bit 7 set writes register
// (bits 0..2) with the first byte, otherwise the pair sets the 14-bit VRAM
// address (bit 6: write set-up). A read set-up fetches nothing ahead: data
// writes after it pre-increment the address. A status read returns the byte,
// clears bits 7..5, resets the pair and releases the interrupt line.
// The frame flag rises at the machine's interrupt line, 212 (192 on the NTSC
// machine, as vdp_set_frame_lines says), with the interrupt when register 1 bit 5 enables it, and the line
// is withdrawn at line 261.
#include "vdp/row_cache.h"
#include "vdp/vdp.h"
#include "vdp/vdp_internal.h"

VdpState vdp;

namespace {

constexpr uint8_t kControlRegisterWrite = 0x80;
constexpr uint8_t kControlWriteSetup = 0x40;
constexpr uint32_t kReg0M3 = 0x02;
constexpr uint32_t kReg1DisplayEnable = 0x40;
constexpr uint32_t kReg1IrqEnable = 0x20;
constexpr uint32_t kReg1M1 = 0x10;
constexpr uint32_t kReg1M2 = 0x08;
constexpr uint32_t kReg1Size16 = 0x02;
constexpr uint32_t kReg1Magnify = 0x01;

// Table addresses from registers 2..6: (register & mask) << shift, with one
// mask per screen mode.
struct BaseRule {
  uint32_t VdpState::*field;
  int shift;
  uint32_t mask[4];  // Text, Graphics I, Graphics II, Multicolor
};
constexpr BaseRule vdp_base_masks[5] = {
    //  address                          shift   Text  GfxI  GfxII Multi
    {&VdpState::name_base,                10,   {0x7F, 0x7F, 0x7F, 0x7F}},  // register 2
    {&VdpState::colour_base,               6,   {0x00, 0xFF, 0x80, 0x00}},  // register 3
    {&VdpState::pattern_base,             11,   {0x3F, 0x3F, 0x3C, 0x3F}},  // register 4
    {&VdpState::sprite_attr_base,          7,   {0x00, 0xFF, 0xFF, 0xFF}},  // register 5
    {&VdpState::sprite_pattern_base,      11,   {0x3F, 0x3F, 0x3F, 0x3F}},  // register 6
};

void update_base(VdpState& v, int reg) {
  const BaseRule& rule = vdp_base_masks[reg - 2];
  v.*rule.field = (v.registers[reg] & rule.mask[v.screen_mode]) << rule.shift;
}

void signal_interrupt(int level) {
  if (vdp.vdp_interrupt_callback != nullptr) vdp.vdp_interrupt_callback(level);
}

// Mode bits M1 M2 M3 -> screen mode; other combinations keep the mode.
void update_mode(VdpState& v) {
  const uint32_t r0 = v.registers[0];
  const uint32_t r1 = v.registers[1];
  v.display_enabled = (r1 & kReg1DisplayEnable) ? 1 : 0;
  v.sprites_16 = (r1 & kReg1Size16) ? 1 : 0;
  v.sprites_magnified = (r1 & kReg1Magnify) ? 1 : 0;
  const uint32_t bits = ((r1 & kReg1M1) ? 4 : 0) | ((r1 & kReg1M2) ? 2 : 0) | ((r0 & kReg0M3) ? 1 : 0);
  switch (bits) {
    case 0: v.screen_mode = kModeGraphics1; break;
    case 1: v.screen_mode = kModeGraphics2; break;
    case 2: v.screen_mode = kModeMulticolor; break;
    case 4: v.screen_mode = kModeText; break;
    default: break;
  }
  for (int reg = 2; reg <= 6; ++reg) update_base(v, reg);
}

// Register 7: the text colour, the backdrop and colour 0, which shows it.
void update_colours(VdpState& v) {
  const uint32_t value = v.registers[7];
  v.text_colour_index = value >> 4;
  v.backdrop_index = value & 15;
  const uint32_t b = v.backdrop_index != 0 ? v.backdrop_index : 1;
  v.vdp_palette[0] = v.vdp_palette[b];
  v.bg_term[0] = v.bg_term[b];
  v.backdrop_pixel = v.vdp_palette[v.backdrop_index];
}

// A data-port write; a byte that changes is noted for the row cache.
void store_vram(uint16_t address, uint8_t value) {
  if (vdp.vram[address] == value) return;
  vdp.vram[address] = value;
  vdp_note_vram_change(address);
}

}  // namespace

void vdp_init(VdpInterruptCallback callback) {
  vdp.vdp_interrupt_callback = callback;
  vdp_build_tables();
  vdp_reset();
}

void vdp_release() {
  delete[] vdp.expansion_table;
  vdp.expansion_table = nullptr;
}

void vdp_reset() {
  vdp_note_change();
  vdp.irq_asserted = 0;
  vdp.latch_byte = 0;
  vdp.second_byte_pending = 0;
  vdp.write_mode = 0;
  vdp.vram_address = 0;
  vdp.screen_mode = kModeText;
  vdp.display_enabled = 0;
  vdp.sprites_16 = 0;
  vdp.sprites_magnified = 0;
  vdp.sprite_limit = 0;
  for (uint8_t& byte : vdp.vram) byte = 0;
  vdp.name_base = 0;
  vdp.pattern_base = 0;
  vdp.colour_base = 0;
  vdp.sprite_attr_base = 0;
  vdp.sprite_pattern_base = 0;
}

void vdp_write_control(uint8_t value) {
  if (vdp.second_byte_pending == 0) {
    vdp.latch_byte = value;
    vdp.second_byte_pending = 1;
    return;
  }
  vdp.second_byte_pending = 0;
  if (value & kControlRegisterWrite) {
    vdp_write_register(value & 7, vdp.latch_byte);
    return;
  }
  vdp.write_mode = value & kControlWriteSetup;
  vdp.vram_address = static_cast<uint16_t>(((value & 0x3F) << 8) | vdp.latch_byte);
}

void vdp_write_data(uint8_t value) {
  vdp.second_byte_pending = 0;
  if (vdp.write_mode == kControlWriteSetup) {
    store_vram(vdp.vram_address, value);
    vdp.vram_address = (vdp.vram_address + 1) & kVramMask;
  } else {
    vdp.vram_address = (vdp.vram_address + 1) & kVramMask;
    store_vram(vdp.vram_address, value);
  }
}

uint8_t vdp_read_data() {
  const uint8_t result = vdp.vram[vdp.vram_address];
  vdp.vram_address = (vdp.vram_address + 1) & kVramMask;
  return result;
}

uint8_t vdp_read_status() {
  const uint8_t result = vdp.status;
  vdp.status &= 0x1F;
  vdp.second_byte_pending = 0;
  if (vdp.irq_asserted == 1) {
    vdp.irq_asserted = 0;
    signal_interrupt(0);
  }
  return result;
}

void vdp_write_register(int reg, uint8_t value) {
  reg &= 7;
  vdp_note_change();
  vdp.registers[reg] = value;
  if (reg <= 1) {
    update_mode(vdp);
  } else if (reg <= 6) {
    update_base(vdp, reg);
  } else {
    update_colours(vdp);
  }
}

void vdp_derive_from_registers(VdpState& v) {
  vdp_note_change();
  update_mode(v);
  update_colours(v);
}

// The status and interrupt steps of a scanline; run before it is drawn.
void vdp_line_status() {
  if (vdp.current_line == vdp.irq_line) {
    vdp.status |= kStatusFrame;
    if ((vdp.status & kStatusCoincidence) == 0 && vdp_check_collision() == 1) {
      vdp.status |= kStatusCoincidence;
    }
    if (vdp.registers[1] & kReg1IrqEnable) {
      vdp.irq_asserted = 1;
      signal_interrupt(1);
    }
  } else if (vdp.current_line == vdp.irq_withdraw_line) {
    vdp.irq_asserted = 0;
    vdp.status &= 0x3F;
    signal_interrupt(0);
  }
}

void vdp_set_frame_lines(int32_t irq_line, int32_t withdraw_line) {
  vdp.irq_line = irq_line;
  vdp.irq_withdraw_line = withdraw_line;
}

uint8_t vdp_peek_vram(uint32_t address) { return vdp.vram[address & kVramMask]; }
uint8_t vdp_peek_register(int reg) { return static_cast<uint8_t>(vdp.registers[reg & 7]); }
uint8_t vdp_peek_status() { return vdp.status; }
