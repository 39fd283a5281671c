// Placeholder until the Z80 core lands.
#include "z80/cpu.h"

void cpu_init() {}
void cpu_map_fetch(uint16_t, uint16_t, uint8_t*) {}
void cpu_map_read(uint16_t, uint16_t, int, void*) {}
void cpu_map_write(uint16_t, uint16_t, int, void*) {}
void cpu_set_port_in(PortIn) {}
void cpu_set_port_out(PortOut) {}
void cpu_close_maps() {}
void cpu_reset() {}
int32_t cpu_run(int32_t budget) { return budget; }
void cpu_irq(uint8_t) {}
void cpu_clear_irq() {}
void cpu_nmi() {}
