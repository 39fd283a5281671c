// The cassette interface, as the SC-3000 wires it to the 8255 PPI: port B
// bit 7 reads the cassette input (1 while the tape's waveform is above zero,
// 0 at or below it) in every keyboard row while a tape is inserted; port C
// bit 4, as the program last set it, drives the cassette output (1 the
// positive level, 0 the negative one).
//
// The tape runs in the machine's own time: the Z80's T-states at the clock
// of 3,579,545 Hz, counted as the machine runs them. The frame loop adds
// each CPU run to the clock; a port access inside a run adds the T-states
// the run has spent so far, so the level is taken, and an output change
// stamped, at the T-state of the IN or OUT. A tape therefore reads alike on
// the 50 Hz and the NTSC machine.
//
// Not modelled: the recorder's motor relay (the shell plays and stops the
// tape), its filters and noise. A stopped or ended tape reads 0; without a
// tape port B reads as it always has. The deck is not part of a save state,
// and a power-on of the machine leaves it as it is. Where a tape comes from
// and where the recording goes (files) is the front end's business.
#pragma once

#include <cstdint>
#include <vector>

#include "z80/cpu.h"

constexpr uint32_t kTapeClockHz = 3579545;
constexpr uint8_t kCassetteInBit = 0x80;   // port B
constexpr uint8_t kCassetteOutBit = 0x10;  // port C

// A tape's waveform reduced to what the machine reads of it: one level per
// sample, 1 above zero.
struct TapeLevels {
  uint32_t rate = 0;           // samples a second
  uint64_t count = 0;          // samples
  std::vector<uint64_t> bits;  // sample i's level is bit i % 64 of word i / 64
};

constexpr uint32_t kTapeOutRate = 44100;

// The recording of the cassette output: 16-bit mono samples at 44,100 Hz,
// each the mean level over its own span of the machine's time, so that an
// edge inside a sample gives a value between the two levels.
struct TapeRecorder {
  uint32_t recording = 0;        // 1 while the output is recorded
  uint32_t level = 0;            // the output's level since the last change
  uint64_t sample = 0;           // the sample being made
  uint64_t mark = 0;             // how far it is made: T-states x 44,100
  uint64_t high = 0;             // of its span so far, the part at the positive level
  std::vector<int16_t> pending;  // made and not yet taken by the front end
};

struct TapeState {
  uint64_t clock = 0;     // T-states run before the current CPU run
  uint32_t inserted = 0;  // the input
  uint32_t playing = 0;
  uint64_t position = 0;  // T-states of tape played before play_start
  uint64_t play_start = 0;
  TapeLevels levels;
  TapeRecorder out;       // the output
};

extern TapeState tape;

// The frame loop: a CPU run has ended after `ran` T-states.
inline void tape_run_done(int32_t ran) { tape.clock += static_cast<uint32_t>(ran); }
// The machine's time at an IN or OUT inside a CPU run.
inline uint64_t tape_now() { return tape.clock + static_cast<uint32_t>(cpu_run_elapsed()); }

// Puts a tape in the deck at its start, playing.
void tape_insert(TapeLevels levels);
void tape_eject();
// Between frames. Play or stop: 1 when the tape now plays; a tape at its end
// plays again from the start. Rewind keeps it playing or stopped.
uint32_t tape_toggle_play();
void tape_rewind();
// The tape's position and length in T-states, between frames.
uint64_t tape_position();
uint64_t tape_length();
// The level at `t` T-states from a tape's start; 0 past its end.
uint32_t tape_level_at(const TapeLevels& levels, uint64_t t);

// Port B with bit 7 as the cassette input. The PPI asks only while a tape
// is inserted.
uint8_t tape_port_b(uint8_t b);

// Starts recording the cassette output from the machine's time now, at
// `level`; the samples go into tape.out.pending.
void tape_record_start(uint32_t level);
// Ends the recording at the machine's time now: the last sample is made
// whole at the level then.
void tape_record_stop();
// The output: the level changed to `level` (0 or 1) at machine time `t`.
void tape_record_level(uint64_t t, uint32_t level);
// Makes the recorder's samples up to machine time `t` at its present level
// into `pending`.
void tape_record_until(TapeRecorder& r, uint64_t t);

// Port C went from `before` to `after`, whichever way the PPI changed it. A
// change made between CPU runs (an image loaded, a reset) is stamped up to
// a line late, as the last run's T-states count twice there.
inline void tape_port_c(uint32_t before, uint32_t after) {
  if (tape.out.recording && ((before ^ after) & kCassetteOutBit)) {
    tape_record_level(tape_now(), (after & kCassetteOutBit) ? 1 : 0);
  }
}
