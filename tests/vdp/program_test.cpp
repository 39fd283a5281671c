// The VDP as our own Z80 programs see it: the frame flag and the interrupt
// through the core, and whole screens set up by a program compared with the
// reference picture computed from the VRAM and registers it wrote.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/library.h"
#include "bus/io.h"
#include "vdp_test_util.h"
#include "z80/cpu.h"

namespace {

constexpr int32_t kCyclesPerLine = 229;
constexpr uint16_t kStarted = 0xC001, kCommand = 0xC010, kResult = 0xC011;
constexpr uint16_t kHandlerStatus = 0xC020, kHandlerCount = 0xC021, kNoRead = 0xC030;

class VdpProgram : public testing::Test {
 protected:
  // Starts the machine on the image in MachineMemory.
  void start() {
    vdp_test_start(app_vdp_interrupt);
    cpu_init();
    cpu_map_fetch(0x0000, 0xFFFF, MachineMemory);
    cpu_map_read(0x0000, 0xFFFF, 0, MachineMemory);
    cpu_map_write(0x8000, 0xFFFF, 0, MachineMemory + 0x8000);
    cpu_set_port_in(io_read_port);
    cpu_set_port_out(io_write_port);
    cpu_close_maps();
    cpu_reset();
    next_line_ = 0;
  }
  // Loads tests/roms/NAME.asm's image, starts it and runs until it reports ready.
  bool boot(const char* name, uint8_t scene) {
    std::ifstream in(std::string(QUAV_TEST_ROM_DIR) + "/" + name + ".bin", std::ios::binary);
    std::memset(MachineMemory, 0, kMemorySize);
    in.read(reinterpret_cast<char*>(MachineMemory), 0x8000);
    MachineMemory[0xC000] = scene;
    start();
    return in.gcount() > 0 && ready_when([] { return MachineMemory[kStarted] == 0x5A; });
  }
  // One scanline as the frame loop runs it.
  void step() {
    vdp.current_line = next_line_;
    cpu_run(kCyclesPerLine);
    vdp_render_line(1);
    next_line_ = (next_line_ + 1) % kLinesPerFrame;
  }
  void run_to(int line) {
    do step(); while (next_line_ != line);
  }
  template <typename Done>
  bool ready_when(Done done) {  // runs up to 40 frames until `done` holds
    for (int f = 0; f < 40 && !done(); ++f) run_to(0);
    return done();
  }
  // Runs `lines` scanlines; the slices (counted from 0) in which the interrupt handler ran.
  std::vector<int> handler_slices(int lines) {
    std::vector<int> at;
    for (int i = 0; i < lines; ++i) {
      const uint8_t before = MachineMemory[kHandlerCount];
      step();
      if (MachineMemory[kHandlerCount] != before) at.push_back(i);
    }
    return at;
  }
  int next_line_ = 0;
};

#define REQUIRE_PROGRAM(name, scene)                                                     \
  ASSERT_TRUE(boot(name, scene)) << "test program " << name << " missing or not running"; \
  ASSERT_NE(vdp_peek_register(1), 0) << "the port map does not reach the VDP"

TEST_F(VdpProgram, FrameFlagIsSeenFromLine213Through261) {
  REQUIRE_PROGRAM("vdp_irq", 0);
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

TEST_F(VdpProgram, InterruptTiming) {
  // Taken after line 212's callback, released by the handler's status read.
  REQUIRE_PROGRAM("vdp_irq", 0);
  run_to(0);
  MachineMemory[kCommand] = 2;  // enable the interrupt
  EXPECT_EQ(handler_slices(2 * kLinesPerFrame), (std::vector<int>{213, 213 + kLinesPerFrame}));
  EXPECT_EQ(MachineMemory[kHandlerStatus], 0x80);

  // Unread, taken again at every EI until line 261 withdraws it (a run that
  // began on line 261 may count on line 262).
  REQUIRE_PROGRAM("vdp_irq", 0);
  run_to(0);
  MachineMemory[kNoRead] = 1;
  MachineMemory[kCommand] = 2;
  const std::vector<int> at = handler_slices(kLinesPerFrame + 214);
  ASSERT_GT(at.size(), 2u);
  EXPECT_EQ(at.front(), 213);
  EXPECT_GE(at[at.size() - 2], 261);
  EXPECT_LE(at[at.size() - 2], 262);
  EXPECT_EQ(at.size(), at[at.size() - 2] - 213 + 2u);  // every line from 213 on
  EXPECT_EQ(at.back(), kLinesPerFrame + 213);

  // Enabled after line 212: no interrupt that frame, only the next one's at 213.
  REQUIRE_PROGRAM("vdp_irq", 0);
  run_to(230);
  MachineMemory[kCommand] = 2;
  EXPECT_EQ(handler_slices(kLinesPerFrame), std::vector<int>{kLinesPerFrame - 230 + 213});
}

TEST_F(VdpProgram, ScreensMatchTheReference) {
  const char* names[] = {"Text", "Graphics I", "Graphics II", "Multicolor", "Graphics II sprites 16 magnified",
                         "Graphics I sprites 8", "Multicolor sprites magnified"};
  for (uint8_t scene = 0; scene < 7; ++scene) {
    SCOPED_TRACE(names[scene]);
    REQUIRE_PROGRAM("vdp_screens", scene);
    std::set<uint8_t> values;
    for (uint32_t a = 0; a < kVramSize; ++a) values.insert(vdp_peek_vram(a));
    EXPECT_EQ(values.size(), 256u);  // the program filled VRAM
    for (int limit = 0; limit < 2; ++limit, vdp_toggle_sprite_limit()) {
      run_to(0);
      run_to(0);
      EXPECT_TRUE(frame_matches_reference()) << "sprite limit " << limit;
    }
  }
}

TEST_F(VdpProgram, LogoDrawsThreeRowsAndItsColoursMoveOneRowPerFrame) {
  std::memset(MachineMemory, 0, kMemorySize);
  std::memcpy(MachineMemory, kLogoImage, kLogoImage_size);
  start();
  ASSERT_TRUE(ready_when([] { return vdp.display_enabled == 1; })) << "the logo does not turn the display on";
  for (int f = 0; f < 10; ++f) run_to(0);  // past its start-up, which clears 6 KB of colours
  // The handler rewrites the colours after line 212: compare each picture when
  // its 192 lines are drawn. colours[f][r]: the one non-black pixel value of
  // line 80 + r (0 if none); outside columns 96..159 of lines 80..103 all is black.
  uint16_t colours[3][24] = {};
  for (auto& frame : colours) {
    run_to(kActiveLines);
    ASSERT_TRUE(frame_matches_reference());
    for (int line = 0; line < 192; ++line)
      for (int x = 0; x < 256; ++x) {
        const uint16_t p = screen(x, line);
        if (p == colour_pixel(1)) continue;
        ASSERT_TRUE(line >= 80 && line < 104 && x >= 96 && x < 160) << "pixel at " << x << ", " << line;
        EXPECT_TRUE(frame[line - 80] == 0 || frame[line - 80] == p) << "two colours on line " << line;
        frame[line - 80] = p;
      }
  }
  for (int band = 0; band < 3; ++band)
    EXPECT_GE(std::count_if(colours[0] + band * 8, colours[0] + band * 8 + 8, [](uint16_t c) { return c != 0; }), 5)
        << "character row " << band;
  for (int f = 1; f < 3; ++f) {
    int moved = 0;
    for (int r = 0; r + 1 < 24; ++r) {
      if (colours[f][r] == 0 || colours[f - 1][r + 1] == 0) continue;
      EXPECT_EQ(colours[f][r], colours[f - 1][r + 1]) << "frame " << f << " row " << r;
      moved += colours[f][r] != colours[f - 1][r];
    }
    EXPECT_GT(moved, 3) << "frame " << f;
  }
}

}  // namespace
