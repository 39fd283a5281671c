// The logo program (library entry 0): its image layout, and a run on the
// real core through the real port map. The port writes it makes are
// recorded and replayed into a model of VRAM and the registers, so what it
// programs can be checked byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "app/library.h"
#include "bus/io.h"
#include "support/bus_machine.h"
#include "vdp/vdp.h"
#include "z80/cpu.h"

namespace {

using bus_machine::port_log;
using bus_machine::PortAccess;

constexpr uint8_t kRet = 0xC9;
constexpr uint8_t kJp = 0xC3;
constexpr int kTableLength = 24;
using ColourTable = std::array<uint8_t, kTableLength>;

const std::vector<uint8_t> kImage(kLogoImage, kLogoImage + kLogoImage_size);

size_t data_marker() {
  const std::string marker = "<DATA>";
  return std::search(kImage.begin(), kImage.end(), marker.begin(), marker.end()) - kImage.begin();
}

// Where `bytes` occur in the image after the marker, or npos.
size_t find_after_marker(const uint8_t* bytes, size_t length) {
  const auto from = kImage.begin() + static_cast<long>(data_marker());
  const auto at = std::search(from, kImage.end(), bytes, bytes + length);
  return at == kImage.end() ? std::string::npos : static_cast<size_t>(at - kImage.begin());
}

ColourTable rotate_left(ColourTable t, int steps) {
  std::rotate(t.begin(), t.begin() + steps % kTableLength, t.end());
  return t;
}

TEST(LogoImage, VectorsJumpAndUnusedVectorBytesHoldRet) {
  ASSERT_EQ(kImage.size(), 16384u);
  EXPECT_EQ(kImage[0x0000], kJp);
  EXPECT_EQ(kImage[0x0038], kJp);
  const std::vector<uint8_t> nmi(kImage.begin() + 0x66, kImage.begin() + 0x69);
  EXPECT_EQ(nmi, (std::vector<uint8_t>{0xF3, 0xFB, 0xC9})) << "DI, EI, RET";
  for (size_t a = 0x0003; a < 0x0066; ++a) {
    if (a >= 0x38 && a < 0x3B) continue;
    ASSERT_EQ(kImage[a], kRet) << "vector byte " << a;
  }
  const size_t start = kImage[1] | kImage[2] << 8;
  const size_t frame = kImage[0x39] | kImage[0x3A] << 8;
  EXPECT_GE(start, 0x69u);
  EXPECT_GE(frame, 0x69u);
  EXPECT_LT(start, data_marker());
  EXPECT_LT(frame, data_marker());
}

TEST(LogoImage, CodeThenMarkerThenTablesThenRetFill) {
  const size_t marker = data_marker();
  ASSERT_LT(marker, kImage.size());
  // After the tables, nothing but RET to the end of the 16 KB.
  size_t fill = kImage.size();
  while (fill > 0 && kImage[fill - 1] == kRet) --fill;
  EXPECT_GT(fill, marker + 6 + kTableLength + 200 + 96) << "the tables it copies";
  EXPECT_LT(fill, 0x1000u) << "the rest of the image is RET";
}

// VRAM and registers as the recorded port writes program them.
struct VdpModel {
  std::array<uint8_t, 0x4000> vram{};
  std::array<int, 0x4000> writes{};  // how many times each byte was written
  std::array<int, 8> reg{};
  uint16_t address = 0;
  bool second = false;
  uint8_t first = 0;

  void out(const PortAccess& a) {
    if (a.port == 0xBF || a.port == 0xBD) {
      if (!second) {
        first = a.value;
        second = true;
        return;
      }
      second = false;
      if (a.value & 0x80) {
        reg[a.value & 7] = first;
      } else {
        address = static_cast<uint16_t>((a.value & 0x3F) << 8 | first);
      }
    } else if (a.port == 0xBE) {
      vram[address] = a.value;
      writes[address] += 1;
      address = (address + 1) & 0x3FFF;
      second = false;
    }
  }
};

class LogoRun : public ::testing::Test {
 protected:
  static constexpr int kFrames = 12;

  void SetUp() override {
    bus_machine::setup(bus_machine::recording_in, bus_machine::recording_out);
    app_boot_logo();
    for (int f = 0; f < kFrames; ++f) {
      bus_machine::run_frame();
      frame_ends_.push_back(port_log.size());
    }
  }
  void TearDown() override {
    cpu_set_port_in(io_read_port);
    cpu_set_port_out(io_write_port);
  }

  // Indices of the status reads (one per frame interrupt handled).
  std::vector<size_t> status_reads() const {
    std::vector<size_t> at;
    for (size_t i = 0; i < port_log.size(); ++i) {
      if (!port_log[i].write && port_log[i].port == 0xBF) at.push_back(i);
    }
    return at;
  }

  std::vector<size_t> frame_ends_;
};

TEST_F(LogoRun, ProgramsTheRegistersFirstInTheirOrder) {
  const uint8_t want[] = {0x80, 0x81, 0x0E, 0x82, 0xFF, 0x83, 0x03, 0x84, 0x76,
                          0x85, 0x03, 0x86, 0x00, 0x87, 0x02, 0x80, 0xE2, 0x81};
  ASSERT_GE(port_log.size(), sizeof want);
  for (size_t i = 0; i < sizeof want; ++i) {
    EXPECT_TRUE(port_log[i].write) << i;
    EXPECT_EQ(port_log[i].port, 0xBF) << i;
    EXPECT_EQ(port_log[i].value, want[i]) << i;
  }
}

TEST_F(LogoRun, StartUpFillsColoursAndCopiesPatternsAndNames) {
  const std::vector<size_t> reads = status_reads();
  ASSERT_FALSE(reads.empty()) << "no frame interrupt was handled";
  // Everything before the first interrupt's colour burst is start-up.
  VdpModel model;
  size_t i = 0;
  for (; i < port_log.size(); ++i) {
    const PortAccess& a = port_log[i];
    ASSERT_TRUE(a.write) << "start-up reads no port (access " << i << ")";
    model.out(a);
    if (model.address == 0x2808 && !model.second && a.port == 0xBF && (a.value & 0x80) == 0 &&
        i > 18 + 0x1800) {
      break;  // the frame handler has pointed at the middle third's colours
    }
  }
  ASSERT_LT(i, port_log.size());
  for (uint32_t a = 0; a < 0x4000; ++a) {
    const bool colours = a >= 0x2000 && a < 0x3800;
    const bool patterns = a >= 0x0800 && a < 0x0800 + 200;
    const bool names = a >= 0x3940 && a < 0x3940 + 96;
    ASSERT_EQ(model.writes[a], colours || patterns || names ? 1 : 0) << std::hex << "VRAM 0x" << a;
    if (colours) {
      ASSERT_EQ(model.vram[a], 0) << std::hex << "VRAM 0x" << a;
    }
  }
  EXPECT_NE(find_after_marker(&model.vram[0x0800], 200), std::string::npos)
      << "the patterns come from the image's data";
  EXPECT_NE(find_after_marker(&model.vram[0x3940], 96), std::string::npos)
      << "the names come from the image's data";
  // Rows 10-12 show characters 1-8, 9-16 and 17-24, each once.
  std::array<int, 25> seen{};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 32; ++col) {
      const int name = model.vram[0x3940 + row * 32 + col];
      ASSERT_LE(name, 24);
      if (name == 0) continue;
      EXPECT_EQ((name - 1) / 8, row) << "character " << name << " on row " << 10 + row;
      seen[name] += 1;
    }
  }
  for (int c = 1; c <= 24; ++c) EXPECT_EQ(seen[c], 1) << "character " << c;
  EXPECT_EQ(model.reg, (std::array<int, 8>{0x02, 0xE2, 0x0E, 0xFF, 0x03, 0x76, 0x03, 0x00}));
}

TEST_F(LogoRun, EachFrameInterruptRotatesTheTableOnceIntoTheMiddleColours) {
  const std::vector<size_t> reads = status_reads();
  ASSERT_GE(reads.size(), 5u) << "frame interrupts handled";

  // One status read per frame once running.
  std::vector<int> per_frame(kFrames, 0);
  for (size_t r : reads) {
    per_frame[std::upper_bound(frame_ends_.begin(), frame_ends_.end(), r) - frame_ends_.begin()] +=
        1;
  }
  for (int f = kFrames - static_cast<int>(reads.size()); f < kFrames; ++f) {
    EXPECT_EQ(per_frame[f], 1) << "frame " << f;
  }

  ColourTable current{};
  std::memcpy(current.data(), MachineMemory + 0x8000, kTableLength);
  const int handled = static_cast<int>(reads.size());
  const ColourTable initial = rotate_left(current, kTableLength - handled % kTableLength);
  EXPECT_NE(find_after_marker(initial.data(), kTableLength), std::string::npos)
      << "RAM holds the image's table rotated once per interrupt";

  // Interrupt k (1-based) writes the table rotated k times, 192 bytes in
  // character order, just before its status read.
  for (int k = 1; k <= handled; ++k) {
    const ColourTable t = rotate_left(initial, k);
    const size_t end = reads[k - 1];
    ASSERT_GE(end, 2u + 192u);
    const size_t first = end - 192;
    EXPECT_EQ(port_log[first - 2].value, 0x08);
    EXPECT_EQ(port_log[first - 1].value, 0x28 | 0x40);
    for (int c = 1; c <= 24; ++c) {
      for (int row = 0; row < 8; ++row) {
        const PortAccess& a = port_log[first + (c - 1) * 8 + row];
        ASSERT_TRUE(a.write && a.port == 0xBE);
        ASSERT_EQ(a.value, t[((c - 1) / 8) * 8 + row])
            << "interrupt " << k << ", character " << c << ", row " << row;
      }
    }
  }
}

TEST_F(LogoRun, TheVdpHoldsWhatThePortWritesProgrammed) {
  VdpModel model;
  for (const PortAccess& a : port_log) {
    if (a.write) model.out(a);
  }
  for (int r = 0; r < 8; ++r) EXPECT_EQ(vdp_peek_register(r), model.reg[r]) << "register " << r;
  for (uint32_t a = 0; a < 0x4000; ++a) {
    ASSERT_EQ(vdp_peek_vram(a), model.vram[a]) << std::hex << "VRAM 0x" << a;
  }
  // The picture's colours: characters 1-24 of the middle third, eight rows
  // each, from the table in RAM.
  for (int c = 1; c <= 24; ++c) {
    for (int row = 0; row < 8; ++row) {
      EXPECT_EQ(vdp_peek_vram(0x2800 + c * 8 + row), MachineMemory[0x8000 + (c - 1) / 8 * 8 + row])
          << "character " << c << ", row " << row;
    }
  }
}

TEST_F(LogoRun, NmiChangesNothingVisible) {
  const size_t before = port_log.size();
  const std::vector<size_t> reads_before = status_reads();
  cpu_nmi();
  bus_machine::run_frame();
  bus_machine::run_frame();
  const std::vector<size_t> reads_after = status_reads();
  EXPECT_EQ(reads_after.size(), reads_before.size() + 2) << "interrupts still handled";
  // The same accesses per frame as before the NMI: address, 192 bytes, status.
  EXPECT_EQ(port_log.size() - before, 2u * (2 + 192 + 1));
}

TEST_F(LogoRun, RunsOnTheResetStackAndModeAndKeepsEveryRegister) {
  const size_t handled = status_reads().size();
  ASSERT_GE(handled, 1u);
  // Between interrupts the program idles on the reset stack pointer and in
  // interrupt mode 0; a frame's interrupt changes no register.
  const CpuState before = cpu;
  EXPECT_EQ(before.sp, 0x0000);
  EXPECT_EQ(before.im, 0);
  bus_machine::run_frame();
  ASSERT_EQ(status_reads().size(), handled + 1) << "one more interrupt handled";
  const uint16_t CpuState::*registers[] = {
      &CpuState::af,     &CpuState::bc,     &CpuState::de,     &CpuState::hl,
      &CpuState::ix,     &CpuState::iy,     &CpuState::sp,     &CpuState::pc,
      &CpuState::af_alt, &CpuState::bc_alt, &CpuState::de_alt, &CpuState::hl_alt};
  for (const auto r : registers) EXPECT_EQ(cpu.*r, before.*r);
  EXPECT_EQ(cpu.xy_latch & 0x28, before.xy_latch & 0x28) << "F's bits 3 and 5";
}

}  // namespace
