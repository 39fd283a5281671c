// The VDP as our own Z80 programs see it: the frame flag, the interrupt through the core,
// and whole screens compared with the reference picture from the VRAM they wrote.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/app.h"
#include "bus/io.h"
#include "vdp_test_util.h"
#include "z80/cpu.h"

namespace {

constexpr int32_t kCyclesPerLine = 229;
constexpr uint16_t kStarted = 0xC001, kCommand = 0xC010, kResult = 0xC011;
constexpr uint16_t kHandlerStatus = 0xC020, kHandlerCount = 0xC021, kNoRead = 0xC030;
int next_line = 0;

// Starts the machine on an image; `scene` is left at 0xC000 for the program.
void start(const void* image, size_t size, uint8_t scene = 0) {
  std::memset(MachineMemory, 0, kMemorySize);
  std::memcpy(MachineMemory, image, std::min<size_t>(size, 0x8000));
  MachineMemory[0xC000] = scene;
  vdp_test_start(machine_vdp_interrupt);
  machine_connect_cpu(io_read_port, io_write_port);
  next_line = 0;
}
void step() {  // one scanline as the frame loop runs it
  vdp.current_line = next_line;
  cpu_run(kCyclesPerLine);
  vdp_render_line(1);
  next_line = (next_line + 1) % kLinesPerFrame;
}
void run_to(int line) { do step(); while (next_line != line); }
bool ready_when(bool (*done)()) {  // runs up to 40 frames until `done` holds
  for (int f = 0; f < 40 && !done(); ++f) run_to(0);
  return done();
}
// Starts tests/roms/NAME.asm's image and runs until it reports ready, with the VDP reached.
bool boot(const char* name, uint8_t scene) {
  std::ifstream in(std::string(QUAV_TEST_ROM_DIR) + "/" + name + ".bin", std::ios::binary);
  const std::string image{std::istreambuf_iterator<char>(in), {}};
  start(image.data(), image.size(), scene);
  return !image.empty() && ready_when([] { return MachineMemory[kStarted] == 0x5A; }) && vdp_peek_register(1) != 0;
}

TEST(VdpProgram, FrameFlagIsSeenFromLine213Through261) {
  ASSERT_TRUE(boot("vdp_irq", 0)) << "test program vdp_irq missing or not running";
  for (int probe : {212, 213, 261, 262, 311, 0, 100}) {
    run_to(0);
    if (probe != 0) run_to(probe);
    MachineMemory[kResult] = 0xEE;
    MachineMemory[kCommand] = 1;  // read the status port once
    step();
    ASSERT_EQ(MachineMemory[kCommand], 0) << "the program did not take the command at line " << probe;
    EXPECT_EQ(MachineMemory[kResult], probe >= 213 && probe <= 261 ? 0x80 : 0x00) << "line " << probe;
  }
}

// The interrupt is taken after line 212's callback and released by the
// handler's status read; unread, it is taken again at every EI until line 261
// withdraws it (a run that began on line 261 may count on line 262); enabled
// after line 212, it is not taken that frame.
TEST(VdpProgram, InterruptTiming) {
  const int cases[][3] = {{0, 0, 2 * kLinesPerFrame}, {0, 1, kLinesPerFrame + 214}, {230, 0, kLinesPerFrame}};
  for (const auto& c : cases) {  // enabled at line, no status read, lines run
    ASSERT_TRUE(boot("vdp_irq", 0)) << "test program vdp_irq missing or not running";
    run_to(c[0]);
    MachineMemory[kNoRead] = static_cast<uint8_t>(c[1]);
    MachineMemory[kCommand] = 2;  // enable the interrupt
    std::vector<int> at;  // the lines, counted on past the frame's end, in which the handler ran
    for (int line = c[0]; line < c[0] + c[2]; ++line) {
      const uint8_t before = MachineMemory[kHandlerCount];
      step();
      if (MachineMemory[kHandlerCount] != before) at.push_back(line);
    }
    const int last = at.size() > 1 ? at[at.size() - 2] : 0;
    EXPECT_TRUE(!c[1] || last == 261 || last == 262) << last;
    std::vector<int> want;
    for (int line = 213; c[0] < 213 && line <= (c[1] ? last : 213); ++line) want.push_back(line);
    want.push_back(kLinesPerFrame + 213);
    EXPECT_EQ(at, want) << "enabled at line " << c[0];
    EXPECT_TRUE(c[1] || MachineMemory[kHandlerStatus] == 0x80);
  }
}

// Scenes: Text, Graphics I, II, Multicolor; sprites 16 x 16 magnified over
// Graphics II, 8 x 8 over Graphics I, magnified over Multicolor.
TEST(VdpProgram, ScreensMatchTheReference) {
  for (uint8_t scene = 0; scene < 7; ++scene) {
    SCOPED_TRACE("scene " + std::to_string(scene));
    ASSERT_TRUE(boot("vdp_screens", scene)) << "test program vdp_screens missing or not running";
    EXPECT_EQ(std::set<uint8_t>(vdp.vram, vdp.vram + kVramSize).size(), 256u);  // the program filled VRAM
    for (int limit = 0; limit < 2; ++limit, vdp_toggle_sprite_limit()) {
      run_to(0);
      run_to(0);
      EXPECT_TRUE(frame_matches_reference()) << "sprite limit " << limit;
    }
  }
}

}  // namespace
