// The memory's part of a save state: the whole 64 KB as the Z80 sees it
// through the flat map (RAM, and the cartridge area of the flat map).
#include "bus/io.h"
#include "state/state_bytes.h"

void memory_state_save(StateWriter& out) { out.bytes(MachineMemory, kMemorySize); }

bool memory_state_load(StateReader& in, uint8_t* into) {
  in.bytes(into, kMemorySize);
  return in.done();
}
