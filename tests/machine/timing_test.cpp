// Both machines measured from inside by our own program (tests/roms/
// frame_timing.asm) run through the real frame loop: lines per frame from
// counted polling loops, the T-states of a frame from a slide of NOPs timed
// by the frame interrupt, the V counter's sequence, and the line and status
// at which the frame interrupt's handler runs.
//
// A scanline's run ends on the instruction that uses up its budget and the
// excess is not carried over, so a line of NOPs is its budget rounded up to
// whole NOPs: 57 (228 T) on the NTSC machine, 58 (232 T) on the 50 Hz one.
// The T-states of accepting the interrupt come out of the next line's budget.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "bus/io.h"
#include "machine/machine.h"
#include "support/bus_machine.h"

namespace {

constexpr int kMeasuredLines = 176;  // polled from the V counter's 16 to its 192
constexpr int kNopT = 4;
constexpr int kIrqAcceptT = 13;      // interrupt mode 1
constexpr int kSlideHandlerT = 125;  // from 0x0038 to the slide's restart
constexpr uint16_t kSlide = 0x0400;
constexpr uint16_t kLinePasses = 0xC000, kFramePasses = 0xC002, kIrqV = 0xC004, kIrqStatus = 0xC005;
constexpr uint16_t kIrqRuns = 0xC006, kDone = 0xC00F, kSlideAt = 0xC010, kVSequence = 0xC100;
constexpr int kVSequenceLength = 300;

// NOPs a run of `t` T-states executes.
int nops_in(int t) { return (t + kNopT - 1) / kNopT; }

uint16_t word_at(uint16_t a) { return static_cast<uint16_t>(MachineMemory[a] | MachineMemory[a + 1] << 8); }

// The V counter's value at each of the 262 counted lines, as the table gives it.
uint8_t v_counter_of(int line) { return static_cast<uint8_t>(line <= 218 ? line : line - 6); }

// Each machine's figures, written out here rather than taken from its record.
struct Machine {
  MachineKind kind;
  const char* name;
  int lines_per_frame;
  int cycles_per_line;
  int irq_line;
  int frames_per_second;
};
constexpr Machine kMachines[] = {{MachineKind::Pal, "Pal50Hz", 312, 229, 212, 50},
                                 {MachineKind::Ntsc, "Ntsc", 262, 228, 192, 60}};
void PrintTo(const Machine& m, std::ostream* os) { *os << m.name; }

class MachineTimingProgram : public testing::TestWithParam<Machine> {
 protected:
  void SetUp() override {
    machine_power_on(GetParam().kind);
    machine_boot_logo();
    const std::vector<uint8_t> image = bus_machine::test_rom("frame_timing");
    ASSERT_FALSE(image.empty());
    machine_load_file_image(image.data(), image.size());
  }
  void TearDown() override {
    machine_power_off();
    machine_timing_select(MachineKind::Pal);
  }
};

TEST_P(MachineTimingProgram, MeasuresItsFrameFromInside) {
  const Machine& t = GetParam();
  EXPECT_EQ(machine_timing.frames_per_second, t.frames_per_second);
  int frames = 0;
  for (; frames < 30 && MachineMemory[kDone] != 0x5A; ++frames) machine_run_frame(1);
  ASSERT_EQ(MachineMemory[kDone], 0x5A) << "the program did not finish its measurements";

  // The same loop timed a frame and 176 lines, each to within a pass.
  const double lines = kMeasuredLines * double(word_at(kFramePasses)) / word_at(kLinePasses);
  EXPECT_NEAR(lines, t.lines_per_frame, 0.5);

  // From the line after the interrupt line, where the handler runs first
  // in what the acceptance left of the line, to the interrupt line of the
  // next frame: the same count every frame.
  const int nops = nops_in(t.cycles_per_line - kIrqAcceptT - kSlideHandlerT) +
                   (t.lines_per_frame - 1) * nops_in(t.cycles_per_line);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(word_at(kSlideAt + 2 * i) - kSlide, nops) << "frame " << i;

  // The V counter follows the table over lines 0-261, then starts again at 0.
  for (int i = 0; i < kVSequenceLength; ++i) {
    ASSERT_EQ(MachineMemory[kVSequence + i], v_counter_of(i % 262)) << "change " << i;
  }

  // The handler runs on the line after the interrupt line, once a frame,
  // and finds the frame flag and the sprites' coincidence.
  for (int f = 0; f < 3; ++f) machine_run_frame(1);
  const uint8_t runs = MachineMemory[kIrqRuns];
  EXPECT_GE(runs, 2);
  for (int f = 0; f < 5; ++f) machine_run_frame(1);
  EXPECT_EQ(MachineMemory[kIrqRuns], runs + 5);
  EXPECT_EQ(MachineMemory[kIrqV], v_counter_of(t.irq_line + 1));
  EXPECT_EQ(MachineMemory[kIrqStatus], 0xA0);
}

INSTANTIATE_TEST_SUITE_P(BothMachines, MachineTimingProgram, testing::ValuesIn(kMachines),
                         [](const testing::TestParamInfo<Machine>& p) { return std::string(p.param.name); });

}  // namespace
