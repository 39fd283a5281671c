// The cassette deck behind machine/cassette.h.
#include "machine/cassette.h"

#include <utility>

#include "bus/ppi.h"

void machine_tape_insert(TapeLevels levels) { tape_insert(std::move(levels)); }

uint32_t machine_tape_inserted() { return tape.inserted; }

uint32_t machine_tape_playing() { return tape.playing; }

uint32_t machine_tape_toggle_play() { return tape_toggle_play(); }

void machine_tape_rewind() { tape_rewind(); }

uint64_t machine_tape_position() { return tape_position(); }

uint64_t machine_tape_length() { return tape_length(); }

void machine_tape_record_start() {
  tape_record_start((ppi.port_c_latch & kCassetteOutBit) != 0 ? 1 : 0);
}

std::vector<int16_t>* machine_tape_recorded() { return &tape.out.pending; }

void machine_tape_record_stop() { tape_record_stop(); }
