// The VDP's part of a save state. The frame surface drawn into and its
// pitch, the pattern-expansion table and the interrupt lines of the machine
// kind belong to the set-up and stay as they are.
#include "state/state_bytes.h"
#include "vdp/vdp.h"
#include "vdp/vdp_internal.h"

// The size of the record this serialiser was written for; a test compares it
// with the record, so a field added to the record is not forgotten here.
extern const uint32_t kVdpStateRecordSize = 17720;

namespace {

constexpr uint32_t kWriteSetup = 0x40;
constexpr uint32_t kMaxScreenMode = kModeMulticolor;

}  // namespace

void vdp_state_save(StateWriter& out) {
  out.u8(vdp.latch_byte);
  out.u8(vdp.second_byte_pending);
  out.u8(vdp.write_mode);
  out.u16(vdp.vram_address);
  out.u8(vdp.irq_asserted);
  out.u8(vdp.screen_mode);
  out.u8(vdp.sprite_limit);
  for (uint32_t r : vdp.registers) out.u8(r);
  out.u16(static_cast<uint32_t>(vdp.current_line));
  out.u8(vdp.status);
  out.bytes(vdp.vram, kVramSize);
}

bool vdp_state_load(StateReader& in, VdpState* into) {
  VdpState& v = *into;
  v.latch_byte = static_cast<uint8_t>(in.u8());
  v.second_byte_pending = static_cast<uint8_t>(in.u8());
  v.write_mode = static_cast<uint8_t>(in.u8());
  v.vram_address = static_cast<uint16_t>(in.u16());
  v.irq_asserted = in.u8();
  v.screen_mode = in.u8();
  v.sprite_limit = in.u8();
  for (uint32_t& r : v.registers) r = in.u8();
  v.current_line = static_cast<int32_t>(in.u16());
  v.status = static_cast<uint8_t>(in.u8());
  in.bytes(v.vram, kVramSize);
  const bool write_mode_valid = v.write_mode == 0 || v.write_mode == kWriteSetup;
  if (!in.done() || v.second_byte_pending > 1 || !write_mode_valid || v.vram_address > kVramMask ||
      v.irq_asserted > 1 || v.screen_mode > kMaxScreenMode || v.sprite_limit > 1 ||
      v.current_line > kLinesPerFrame) {
    return false;
  }
  vdp_derive_from_registers(v);
  return true;
}
