// The memory's part of a save state: the whole 64 KB as the Z80 sees it, and
// the cartridge section, which names the map that lays the cartridge over
// the address space. Only the flat map exists so far; a map with banks adds
// its record here (bank registers, bank count, the image), read into the
// snapshot the same way, and the snapshot's commit re-points the Z80's pages.
#include "bus/io.h"
#include "state/state_bytes.h"

void memory_state_save(StateWriter& out) { out.bytes(MachineMemory, kMemorySize); }

bool memory_state_load(StateReader& in, uint8_t* into) {
  in.bytes(into, kMemorySize);
  return in.done();
}

void cartridge_state_save(StateWriter& out) { out.u8(kFlatMap); }

bool cartridge_state_load(StateReader& in, uint32_t* map_into) {
  *map_into = in.u8();
  return in.done() && *map_into == kFlatMap;
}
