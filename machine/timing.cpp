// The timing of the machine chosen.
#include "machine/timing.h"

MachineTiming machine_timing = kPalTiming;

void machine_timing_select(MachineKind kind) { machine_timing = machine_timing_of(kind); }
