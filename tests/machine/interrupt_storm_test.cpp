// Interrupts that take time: our own programs whose frame handler re-enables
// interrupts without reading the VDP status (tests/roms/irq_storm.inc), in
// interrupt modes 0, 1 and 2, on both machines, loaded by a bare path. The
// handler takes the still-asserted interrupt again and again until line 261
// withdraws it; the machine runs on, a frame at a time, and a frame costs no
// more than an ordinary one: the Z80 fetches at most once a T-state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bus/io.h"
#include "machine/machine.h"
#include "support/bus_machine.h"
#include "z80/cpu.h"

namespace {

constexpr uint16_t kPerFrame = 0xC004, kFramesSeen = 0xC006;
constexpr int kFrames = 300;

uint16_t word_at(uint16_t a) { return static_cast<uint16_t>(MachineMemory[a] | MachineMemory[a + 1] << 8); }

struct Storm {
  MachineKind kind;
  int mode;
  const char* name;
};
constexpr Storm kStorms[] = {{MachineKind::Pal, 0, "Pal50HzIm0"}, {MachineKind::Pal, 1, "Pal50HzIm1"},
                             {MachineKind::Pal, 2, "Pal50HzIm2"}, {MachineKind::Ntsc, 0, "NtscIm0"},
                             {MachineKind::Ntsc, 1, "NtscIm1"},   {MachineKind::Ntsc, 2, "NtscIm2"}};

class InterruptStorm : public testing::TestWithParam<Storm> {
 protected:
  void SetUp() override {
    machine_power_on(GetParam().kind);
    machine_boot_logo();
    const std::vector<uint8_t> image = bus_machine::test_rom("irq_storm_im" + std::to_string(GetParam().mode));
    ASSERT_FALSE(image.empty());
    ASSERT_EQ(machine_load_image(image.data(), image.size(), MapperChoice::Auto), image.size());
  }
  void TearDown() override {
    machine_power_off();
    machine_timing_select(MachineKind::Pal);
  }
};

TEST_P(InterruptStorm, CostsItsLinesAndNoMore) {
  const uint32_t frame_t = static_cast<uint32_t>(machine_timing.lines_per_frame * machine_timing.cycles_per_line);
  uint32_t most_fetches = 0;
  for (int f = 0; f < kFrames; ++f) {
    const uint32_t before = cpu.r_count;
    machine_run_frame(1);
    if (cpu.r_count - before > most_fetches) most_fetches = cpu.r_count - before;
  }
  EXPECT_LE(most_fetches, frame_t);
  // The main loop saw every frame: each storm ended at line 261.
  EXPECT_NEAR(word_at(kFramesSeen), kFrames, 1);
  // From line 212 (192) to line 261, an acceptance every 23 T-states: 13
  // for the acceptance (19 in IM 2), 6 for INC DE, 4 for EI and RETI; and a
  // few more while the last line's acceptances are paid off.
  const int storm_lines = machine_timing.irq_withdraw_line - machine_timing.irq_line;
  const int entries = word_at(kPerFrame);
  const int each = (GetParam().mode == 2 ? 19 : 13) + 6 + 4;
  const int paid_in_storm = storm_lines * machine_timing.cycles_per_line / each;
  EXPECT_GE(entries, paid_in_storm);
  EXPECT_LE(entries, paid_in_storm + 20);
}

INSTANTIATE_TEST_SUITE_P(BothMachinesEveryMode, InterruptStorm, testing::ValuesIn(kStorms),
                         [](const testing::TestParamInfo<Storm>& p) { return std::string(p.param.name); });

}  // namespace
