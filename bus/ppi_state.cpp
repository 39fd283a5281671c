// The PPI's part of a save state: the port C latch and the row it selects,
// the key rows and joystick bytes as last taken, the joystick mode, and
// which PPI the machine has (its own, or the 8255 of a bare image).
#include "bus/ppi.h"
#include "state/state_bytes.h"

// The size of the record this serialiser was written for; a test compares it
// with the record, so a field added to the record is not forgotten here.
extern const uint32_t kPpiStateRecordSize = 40;

namespace {

constexpr uint32_t kMaxRow = 7;

}  // namespace

void ppi_state_save(StateWriter& out) {
  out.u8(ppi.selected_row);
  out.u8(ppi.port_c_latch);
  for (uint16_t row : ppi.key_rows) out.u16(row);
  out.u8(ppi.joystick_mode);
  out.u8(ppi.joystick1);
  out.u8(ppi.joystick2);
  // The machine's own PPI is saved as it was before the 8255 was modelled,
  // so that its states stay as they were; the 8255 adds one byte.
  if (ppi.power_on_8255 == 1) out.u8(ppi.power_on_8255);
}

bool ppi_state_load(StateReader& in, PpiState* into) {
  PpiState& p = *into;
  p.selected_row = in.u8();
  p.port_c_latch = in.u8();
  for (uint16_t& row : p.key_rows) row = static_cast<uint16_t>(in.u16());
  p.joystick_mode = in.u8();
  p.joystick1 = in.u8();
  p.joystick2 = in.u8();
  // The machine's own PPI ends here; the 8255 says so in one more byte.
  p.power_on_8255 = in.left() == 0 ? 0 : in.u8();
  return in.done() && p.selected_row <= kMaxRow && p.joystick_mode <= 1 && p.power_on_8255 <= 1 &&
         p.selected_row == (p.port_c_latch & kMaxRow);
}
