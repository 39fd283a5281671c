// The 8255 PPI as the Z80 sees it: keyboard rows through ports A and B,
// the row select in port C; row 7 reads the two joysticks. What the keys
// and joysticks hold comes in between frames (ppi_take_input).
//
// Two PPIs: the machine's own one (row 0 selected at start, the control
// port ignored), which "/file", the library and the logo run on; and the
// 8255 as the hardware powers on, which images named by a bare path get:
// every port an input and the row-select lines pulled high, so row 7 (the
// joysticks) is selected and port C reads 0xFF until the program writes
// port C; the control port's mode set clears port C, its bit set/reset
// sets or clears one bit of port C.
#pragma once

#include <cstdint>

constexpr int kKeyRows = 8;  // rows 0-6 the keyboard, row 7 the joysticks

// Joystick bits, 1 while held, as joystick1 and joystick2 keep them.
constexpr uint32_t kJoyUp = 0x01;
constexpr uint32_t kJoyDown = 0x02;
constexpr uint32_t kJoyLeft = 0x04;
constexpr uint32_t kJoyRight = 0x08;
constexpr uint32_t kJoyButton2 = 0x10;
constexpr uint32_t kJoyButton1 = 0x20;

struct PpiState {
  uint32_t selected_row = 0;
  uint32_t port_c_latch = 0;
  uint16_t key_rows[kKeyRows] = {};  // active low: a line is 0 while its key is held
  // Which host keys the front end lays over the machine (1 joystick 1, 0 the
  // keyboard); kept here, and so in states, but not acted on by the PPI.
  uint32_t joystick_mode = 1;
  uint32_t joystick1 = 0;
  uint32_t joystick2 = 0;
  // 1: the 8255 as the hardware powers on (control port live); 0: the
  // machine's own PPI.
  uint32_t power_on_8255 = 0;
};

extern PpiState ppi;

uint8_t ppi_read_port_a();
uint8_t ppi_read_port_b();
uint8_t ppi_read_port_c();
void ppi_write_port_c(uint8_t value);
// The control port 0xDF: with the 8255, bit 7 set is a mode set (port C
// cleared), bit 7 clear sets (bit 0 = 1) or clears bit (value >> 1) & 7 of
// port C. The machine's own PPI ignores it.
void ppi_write_control(uint8_t value);
uint32_t ppi_toggle_joystick();
// What the keys and joysticks hold now: the key rows (active low) and the
// two joysticks' bits.
void ppi_take_input(const uint16_t key_rows[kKeyRows], uint32_t joystick1, uint32_t joystick2);
// The 8255 as it powers on (a bare image is loaded, or reset): port C reads
// 0xFF, row 7 selected, the control port live.
void ppi_power_on_8255();
// Back to the machine's own PPI ("/file", the library): the control port is
// ignored again; the latch and row stay as they are.
void ppi_use_own();

// Save states (bus/ppi_state.cpp): the whole record. A section without the PPI kind (states from before the 8255 was
// modelled) loads as the machine's own PPI.
class StateWriter;
class StateReader;
void ppi_state_save(StateWriter& out);
bool ppi_state_load(StateReader& in, PpiState* into);
extern const uint32_t kPpiStateRecordSize;
