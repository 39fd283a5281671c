// The running machine's timing, chosen once at start-up.
#include "bus/machine_timing.h"

MachineTiming machine_timing = kPalTiming;

void machine_timing_select(MachineKind kind) {
  machine_timing = kind == MachineKind::Ntsc ? kNtscTiming : kPalTiming;
}
