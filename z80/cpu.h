// Z80 core: a table-driven interpreter of the whole instruction set with
// page-mapped memory, port callbacks, a T-state budget per run and
// interrupt acceptance. One global CpuState.
#pragma once

#include <cstdint>

using PortIn = uint32_t (*)(uint32_t port);
using PortOut = void (*)(uint32_t port, uint32_t value);
using ReadHandler = uint32_t (*)(uint32_t address);
using WriteHandler = void (*)(uint32_t address, uint32_t value);

void cpu_init();
void cpu_map_fetch(uint16_t first, uint16_t last, uint8_t* block);
// kind 0: target is a host block; kind 1: target is a handler.
void cpu_map_read(uint16_t first, uint16_t last, int kind, void* target);
void cpu_map_write(uint16_t first, uint16_t last, int kind, void* target);
void cpu_set_port_in(PortIn handler);
void cpu_set_port_out(PortOut handler);
void cpu_close_maps();
void cpu_reset();
// Runs instructions for a budget of T-states; returns the T-states executed.
int32_t cpu_run(int32_t budget);
void cpu_irq(uint8_t data);
void cpu_clear_irq();
void cpu_nmi();
