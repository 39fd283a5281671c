// The machine's timing: how many scanlines a frame has and how long each is,
// the line of the frame interrupt and of its withdrawal, the samples a frame
// makes and how many frames a second the host paces. Two machines exist: the
// 50 Hz PAL machine (the default) and the 60 Hz NTSC machine (--ntsc). One of
// them is chosen before the machine powers on; the frame loop reads it, and
// power-on gives the VDP its interrupt lines and the sound stream its samples
// a frame. It does not change while the machine runs.
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

//                                        lines  T/line  irq  withdrawn  samples  fps  chunk
inline constexpr MachineTiming kPalTiming{MachineKind::Pal,   312, 229, 212, 261, 882, 50, 60};
inline constexpr MachineTiming kNtscTiming{MachineKind::Ntsc, 262, 228, 192, 261, 735, 60, 50};

inline constexpr const MachineTiming& machine_timing_of(MachineKind kind) {
  return kind == MachineKind::Ntsc ? kNtscTiming : kPalTiming;
}

// The timing of the machine chosen; kPalTiming until one is.
extern MachineTiming machine_timing;

// Chooses the machine: power-on does, and a run that must check a state of
// the other machine before it starts.
void machine_timing_select(MachineKind kind);
