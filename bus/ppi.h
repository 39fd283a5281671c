// The 8255 PPI as the Z80 sees it: keyboard rows through ports A and B,
// the row select in port C; row 7 reads the two joysticks.
#pragma once

#include <cstdint>

struct PpiState {
  uint32_t input_enabled = 1;
  uint32_t selected_row = 0;
  uint32_t port_c_latch = 0;
  uint16_t key_rows[8] = {};
  uint32_t joystick_mode = 1;
  uint32_t joystick1 = 0;
  uint32_t joystick2 = 0;
};

extern PpiState ppi;

uint8_t ppi_read_port_a();
uint8_t ppi_read_port_b();
uint8_t ppi_read_port_c();
void ppi_write_port_c(uint8_t value);
uint32_t ppi_toggle_joystick();

// Save states (bus/ppi_state.cpp): all but input_enabled, which the menu holds.
class StateWriter;
class StateReader;
void ppi_state_save(StateWriter& out);
bool ppi_state_load(StateReader& in, PpiState* into);
extern const uint32_t kPpiStateRecordSize;
