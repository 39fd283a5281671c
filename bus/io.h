// The machine's bus: the flat 64 KB memory image and the I/O port decode.
#pragma once

#include <cstdint>

constexpr uint32_t kMemorySize = 0x10000;
// Under the flat map, fetches and reads of 0x0000-0xFFFF come from here;
// writes reach only 0x8000-0xFFFF (the cartridge area is read-only to the
// Z80). The other cartridge maps (bus/cartridge.h) keep their RAM here too.
extern uint8_t MachineMemory[kMemorySize];

uint32_t io_read_port(uint32_t port);
void io_write_port(uint32_t port, uint32_t value);

// Who answers a port, by the low byte of its address. The two callbacks
// above route every access through these decodes.
enum class IoRead : uint8_t {
  Nothing,     // reads 0x00
  VCounter,    // vdp_read_v_counter
  HCounter,    // vdp_read_h_counter
  VdpData,     // vdp_read_data
  VdpStatus,   // vdp_read_status
  PpiPortA,    // ppi_read_port_a
  PpiPortB,    // ppi_read_port_b
  PpiPortC,    // ppi_read_port_c
  PpiControl,  // reads 0xFF
};
enum class IoWrite : uint8_t {
  Nothing,     // dropped
  Sound,       // psg_write, then vgm_log_psg_write
  VdpControl,  // vdp_write_control
  VdpData,     // vdp_write_data
  PpiPortC,    // ppi_write_port_c
  PpiControl,  // ppi_write_control
};
IoRead io_read_target(uint32_t port);
IoWrite io_write_target(uint32_t port);

// Save states (bus/memory_state.cpp): the 64 KB image, the flat map's
// cartridge area included.
class StateWriter;
class StateReader;
void memory_state_save(StateWriter& out);
bool memory_state_load(StateReader& in, uint8_t* into);
