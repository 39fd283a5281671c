// The cassette deck as a front end drives it: a tape put in as the levels
// the machine reads (bus/tape.h), played, stopped and rewound between
// frames, and the cassette output recorded as 44,100 Hz samples that the
// front end takes out and keeps. The deck is outside the machine: power-on
// and states leave it as it is.
#pragma once

#include <cstdint>
#include <vector>

#include "bus/tape.h"

// Puts a tape in the deck at its start, playing.
void machine_tape_insert(TapeLevels levels);
uint32_t machine_tape_inserted();
uint32_t machine_tape_playing();
// Play or stop: 1 when the tape now plays (a tape at its end plays from the
// start again). Rewind keeps it playing or stopped.
uint32_t machine_tape_toggle_play();
void machine_tape_rewind();
// The tape's position and length in T-states.
uint64_t machine_tape_position();
uint64_t machine_tape_length();

// Records the cassette output from the machine's time now, at its level now.
void machine_tape_record_start();
// The recorded samples not taken yet; whoever takes them empties it.
std::vector<int16_t>* machine_tape_recorded();
// Ends the recording: the last sample is made whole at the level then.
void machine_tape_record_stop();
