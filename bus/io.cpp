// The I/O bus: every Z80 IN and OUT lands here and is passed to the device
// that answers its port. Only the low byte of the port address is decoded;
// the high byte never matters. The map keeps no state of its own.
//
// Ports 0x7E-0xDF hold the devices: the sound chip and the VDP's counters
// (0x7E/0x7F), the VDP (0xBD-0xBF), the PPI (0xDC-0xDF, port A and B reads
// mirrored at 0xC0/0xC1; the control port 0xDF acts only on the 8255 of a
// bare image). Everything below 0x7E or above 0xDF, and every
// unlisted port between, reads 0x00 and drops writes.
#include "bus/io.h"

#include "bus/counters.h"
#include "bus/ppi.h"
#include "sound/psg.h"
#include "sound/vgm.h"
#include "vdp/vdp.h"

uint8_t MachineMemory[kMemorySize];

namespace {

constexpr uint8_t kUnansweredRead = 0x00;
constexpr uint8_t kPpiControlRead = 0xFF;  // the mode word is write-only

uint8_t low_byte(uint32_t port) { return static_cast<uint8_t>(port & 0xFF); }

}  // namespace

IoRead io_read_target(uint32_t port) {
  switch (low_byte(port)) {
    case 0x7E: return IoRead::VCounter;
    case 0x7F: return IoRead::HCounter;
    case 0xBD:  // a read of 0xBD is a data read; its write is a control write
    case 0xBE: return IoRead::VdpData;
    case 0xBF: return IoRead::VdpStatus;
    case 0xDC:
    case 0xC0: return IoRead::PpiPortA;  // 0xC0/0xC1 mirror A and B for reads only
    case 0xDD:
    case 0xC1: return IoRead::PpiPortB;
    case 0xDE: return IoRead::PpiPortC;
    case 0xDF: return IoRead::PpiControl;
    default: return IoRead::Nothing;
  }
}

IoWrite io_write_target(uint32_t port) {
  switch (low_byte(port)) {
    case 0x7E:
    case 0x7F: return IoWrite::Sound;  // one sound port at two addresses
    case 0xBD:  // like 0xBF when written, like 0xBE when read
    case 0xBF: return IoWrite::VdpControl;
    case 0xBE: return IoWrite::VdpData;
    case 0xDE: return IoWrite::PpiPortC;
    case 0xDF: return IoWrite::PpiControl;  // dropped by the machine's own PPI
    default: return IoWrite::Nothing;  // includes 0xDC, 0xDD, 0xC0, 0xC1
  }
}

uint32_t io_read_port(uint32_t port) {
  switch (io_read_target(port)) {
    case IoRead::VCounter: return vdp_read_v_counter();
    case IoRead::HCounter: return vdp_read_h_counter();
    case IoRead::VdpData: return vdp_read_data();
    case IoRead::VdpStatus: return vdp_read_status();
    case IoRead::PpiPortA: return ppi_read_port_a();
    case IoRead::PpiPortB: return ppi_read_port_b();
    case IoRead::PpiPortC: return ppi_read_port_c();
    case IoRead::PpiControl: return kPpiControlRead;
    case IoRead::Nothing: break;
  }
  return kUnansweredRead;
}

void io_write_port(uint32_t port, uint32_t value) {
  const uint8_t byte = static_cast<uint8_t>(value);
  switch (io_write_target(port)) {
    case IoWrite::Sound:
      psg_write(byte);
      vgm_log_psg_write(byte);
      break;
    case IoWrite::VdpControl: vdp_write_control(byte); break;
    case IoWrite::VdpData: vdp_write_data(byte); break;
    case IoWrite::PpiPortC: ppi_write_port_c(byte); break;
    case IoWrite::PpiControl: ppi_write_control(byte); break;
    case IoWrite::Nothing: break;
  }
}
