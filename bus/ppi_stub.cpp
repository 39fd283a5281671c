// Placeholder until the PPI lands.
#include "bus/ppi.h"

PpiState ppi;

uint8_t ppi_read_port_a() { return 0xFF; }
uint8_t ppi_read_port_b() { return 0xFF; }
uint8_t ppi_read_port_c() { return 0; }
void ppi_write_port_c(uint8_t) {}
uint32_t ppi_toggle_joystick() { return ppi.joystick_mode; }
