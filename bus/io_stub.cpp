// Placeholder until the port map lands.
#include "bus/io.h"

uint8_t MachineMemory[kMemorySize];

uint32_t io_read_port(uint32_t) { return 0; }
void io_write_port(uint32_t, uint32_t) {}
