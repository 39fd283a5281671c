// The 8255 PPI as the SC-3000 wires it: port A (0xDC) and port B (0xDD) are
// inputs that read the keyboard row selected through the low three bits of
// the port C latch (0xDE); row 7 reads the two joysticks instead of keys.
// The machine's own PPI has fixed directions: mode words to the control
// port are dropped, and nothing here resets with the machine. The 8255 of a
// bare image powers on with every port an input (port C pulled high: row 7)
// and takes mode sets and bit set/reset words on the control port.
#include "bus/ppi.h"

#include "bus/tape.h"

PpiState ppi;

namespace {

constexpr uint32_t kJoystickRow = 7;
constexpr uint32_t kRowMask = 0x07;
constexpr uint32_t kPortCPulledHigh = 0xFF;
constexpr uint8_t kControlModeSet = 0x80;

// Row 7, port B: bits 4 and 5 read 1, bits 6 and 7 read 0.
constexpr uint8_t kJoystickPortBMask = 0x3F;

// Clears `bit` of `byte` (active low) when `held` has any of `mask`.
uint8_t pull_low(uint8_t byte, uint32_t held, uint32_t mask, int bit) {
  return (held & mask) != 0 ? static_cast<uint8_t>(byte & ~(1u << bit)) : byte;
}

}  // namespace

uint8_t ppi_read_port_a() {
  if (ppi.selected_row != kJoystickRow) {
    return static_cast<uint8_t>(ppi.key_rows[ppi.selected_row] & 0xFF);
  }
  uint8_t a = 0xFF;
  a = pull_low(a, ppi.joystick1, kJoyUp, 0);
  a = pull_low(a, ppi.joystick1, kJoyDown, 1);
  a = pull_low(a, ppi.joystick1, kJoyLeft, 2);
  a = pull_low(a, ppi.joystick1, kJoyRight, 3);
  a = pull_low(a, ppi.joystick1, kJoyButton1, 4);
  a = pull_low(a, ppi.joystick1, kJoyButton2, 5);
  a = pull_low(a, ppi.joystick2, kJoyUp, 6);
  a = pull_low(a, ppi.joystick2, kJoyDown, 7);
  return a;
}

namespace {

uint8_t port_b_lines() {
  if (ppi.selected_row != kJoystickRow) {
    return static_cast<uint8_t>(ppi.key_rows[ppi.selected_row] >> 8);
  }
  uint8_t b = 0xFF;
  b = pull_low(b, ppi.joystick2, kJoyLeft, 0);
  b = pull_low(b, ppi.joystick2, kJoyRight, 1);
  b = pull_low(b, ppi.joystick2, kJoyButton1, 2);
  b = pull_low(b, ppi.joystick2, kJoyButton2, 3);
  return static_cast<uint8_t>(b & kJoystickPortBMask);
}

}  // namespace

// Bit 7 is the cassette input while a tape is in the deck (bus/tape.h).
uint8_t ppi_read_port_b() {
  const uint8_t b = port_b_lines();
  return tape.inserted ? tape_port_b(b) : b;
}

uint8_t ppi_read_port_c() { return static_cast<uint8_t>(ppi.port_c_latch & 0xFF); }

namespace {

// Every change of port C goes through here: bit 4 is the cassette output.
void set_port_c(uint32_t value) {
  tape_port_c(ppi.port_c_latch, value);
  ppi.port_c_latch = value;
  ppi.selected_row = value & kRowMask;
}

}  // namespace

void ppi_write_port_c(uint8_t value) { set_port_c(value); }

void ppi_write_control(uint8_t value) {
  if (ppi.power_on_8255 == 0) return;
  if (value & kControlModeSet) {
    set_port_c(0);
  } else {
    const uint32_t bit = 1u << ((value >> 1) & 7);
    set_port_c((value & 1) ? (ppi.port_c_latch | bit) : (ppi.port_c_latch & ~bit));
  }
}

void ppi_power_on_8255() {
  ppi.power_on_8255 = 1;
  set_port_c(kPortCPulledHigh);
}

void ppi_use_own() { ppi.power_on_8255 = 0; }

uint32_t ppi_toggle_joystick() {
  ppi.joystick_mode = ppi.joystick_mode == 1 ? 0 : 1;
  return ppi.joystick_mode;
}

void ppi_take_input(const uint16_t key_rows[kKeyRows], uint32_t joystick1, uint32_t joystick2) {
  for (int r = 0; r < kKeyRows; ++r) ppi.key_rows[r] = key_rows[r];
  ppi.joystick1 = joystick1;
  ppi.joystick2 = joystick2;
}
