// A machine for bus and library tests: the real Z80 core over MachineMemory
// with the real port map (or a recorder around it), the real VDP and PSG,
// run line by line as the frame loop does, without a display.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "z80/cpu.h"

namespace bus_machine {

// The core's maps over MachineMemory as start-up builds them, the given port
// callbacks, the devices set up and reset; memory cleared.
void setup(PortIn in, PortOut out);
// One frame: 312 lines of 229 T-states, each followed by the VDP's line.
void run_frame();
// The assembled test program tests/roms/<name>.asm.
std::vector<uint8_t> test_rom(const std::string& name);

// One port access seen by the recorder.
struct PortAccess {
  bool write;
  uint8_t port;  // low byte
  uint8_t value;
  int line;      // scanline it happened on
};
// Recording callbacks that pass every access on to io_read_port and
// io_write_port.
extern std::vector<PortAccess> port_log;
uint32_t recording_in(uint32_t port);
void recording_out(uint32_t port, uint32_t value);

}  // namespace bus_machine
