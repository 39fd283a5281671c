// The machine's timing: how many scanlines a frame has and how long each is,
// the line of the frame interrupt and of its withdrawal, the samples a frame
// makes and how many frames a second the host paces. Two machines exist: the
// 50 Hz PAL machine (the default) and the 60 Hz NTSC machine (--ntsc). One of
// them is chosen at start-up and read by the frame loop, the VDP, the sound
// stream and the pacing; it does not change while the program runs.
//
// Both keep the Z80 clock at 3,579,545 Hz, the V counter table and the drawn
// lines 0-239; lines past 239 draw nothing.
#pragma once

#include <cstdint>

enum class MachineKind : uint8_t { Pal = 0, Ntsc = 1 };

struct MachineTiming {
  MachineKind kind;
  int32_t lines_per_frame;
  int32_t cycles_per_line;    // Z80 T-states of one scanline
  int32_t irq_line;           // frame flag, coincidence test and interrupt
  int32_t irq_withdraw_line;  // interrupt withdrawn, frame flag cleared
  int32_t samples_per_frame;  // at 44,100 Hz
  int32_t frames_per_second;
  int32_t chunk_ms;           // three frames of sound, one delivery
};

// 312 lines of 229 T-states (71,448 a frame), 882 samples, 50 frames a second.
inline constexpr MachineTiming kPalTiming{MachineKind::Pal, 312, 229, 212, 261, 882, 50, 60};
// 262 lines of 228 T-states (59,736 a frame), 735 samples, 60 frames a second.
inline constexpr MachineTiming kNtscTiming{MachineKind::Ntsc, 262, 228, 192, 261, 735, 60, 50};

// The timing of the running machine; kPalTiming until start-up chooses.
extern MachineTiming machine_timing;

// Chooses the machine for the rest of the run. Call before the devices are
// set up (the sound stream sizes its delivery from it).
void machine_timing_select(MachineKind kind);
