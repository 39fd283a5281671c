// The machine's bus: the flat 64 KB memory image and the I/O port decode.
#pragma once

#include <cstdint>

constexpr uint32_t kMemorySize = 0x10000;
// Fetches and reads of 0x0000-0xFFFF come from here; writes reach only
// 0x8000-0xFFFF (the cartridge area is read-only to the Z80).
extern uint8_t MachineMemory[kMemorySize];

uint32_t io_read_port(uint32_t port);
void io_write_port(uint32_t port, uint32_t value);
