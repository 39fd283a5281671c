// The logo program (library entry 0), run on the real core through the real
// port map, its port writes replayed into a model of the VDP, so what it
// programs is checked byte for byte.
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

constexpr int kTableLength = 24;
constexpr size_t kBurst = 2 + 192;  // the colour address, then 24 characters x 8 rows

const std::vector<uint8_t> kImage(kLogoImage, kLogoImage + kLogoImage_size);
const std::string kMarker = "<DATA>";
const auto kData = std::search(kImage.begin(), kImage.end(), kMarker.begin(), kMarker.end());

template <typename It>
bool in_data(It from, size_t length) {
  const std::vector<uint8_t> bytes(from, from + static_cast<long>(length));
  return std::search(kData, kImage.end(), bytes.begin(), bytes.end()) != kImage.end();
}

// VRAM (-1 where never written) and registers as the port writes program them.
struct VdpModel {
  std::array<int, 0x4000> vram;
  std::array<int, 8> reg{};
  int address = 0, first = -1;  // first: the control byte waiting for its second
  VdpModel() { vram.fill(-1); }

  void out(const PortAccess& a) {
    const bool control = a.port == 0xBF || a.port == 0xBD;
    if (!a.write || (!control && a.port != 0xBE)) return;
    if (a.port == 0xBE) {
      vram[address] = a.value;
      address = (address + 1) & 0x3FFF;
    } else if (first >= 0 && (a.value & 0x80) != 0) {
      reg[a.value & 7] = first;
    } else if (first >= 0) {
      address = (a.value & 0x3F) << 8 | first;
    }
    first = control && first < 0 ? a.value : -1;
  }
};

// Twelve frames of the logo from boot, every port access recorded.
class LogoRun : public ::testing::Test {
 protected:
  void SetUp() override {
    bus_machine::setup(bus_machine::recording_in, bus_machine::recording_out);
    app_boot_logo();
    for (int f = 0; f < 12; ++f) bus_machine::run_frame();
  }
  void TearDown() override {
    cpu_set_port_in(io_read_port);
    cpu_set_port_out(io_write_port);
  }
  // Where the status reads are: one per frame interrupt handled.
  static std::vector<size_t> status_reads() {
    std::vector<size_t> at;
    for (size_t i = 0; i < port_log.size(); ++i) {
      if (!port_log[i].write && port_log[i].port == 0xBF) at.push_back(i);
    }
    return at;
  }
};

// Registers 1-7 then 0 and 1; then, before the first interrupt, the colour
// table cleared and patterns and names copied from the image's data, rows
// 10-12 showing only characters 1-8, 9-16 and 17-24 (or blanks).
TEST_F(LogoRun, ProgramsTheVdpAndRotatesOncePerFrameInterrupt) {
  const uint8_t want[] = {0x80, 0x81, 0x0E, 0x82, 0xFF, 0x83, 0x03, 0x84, 0x76,
                          0x85, 0x03, 0x86, 0x00, 0x87, 0x02, 0x80, 0xE2, 0x81};
  const std::vector<size_t> reads = status_reads();
  ASSERT_TRUE(!reads.empty() && reads[0] > sizeof want + kBurst) << "an interrupt after start-up";
  for (size_t i = 0; i < sizeof want; ++i) {
    EXPECT_TRUE(port_log[i].write && port_log[i].port == 0xBF && port_log[i].value == want[i]) << i;
  }
  VdpModel model;
  for (size_t i = 0; i < reads[0] - kBurst; ++i) {
    ASSERT_TRUE(port_log[i].write) << "start-up reads no port (access " << i << ")";
    model.out(port_log[i]);
  }
  EXPECT_EQ(model.reg, (std::array<int, 8>{0x02, 0xE2, 0x0E, 0xFF, 0x03, 0x76, 0x03, 0x00}));
  for (uint32_t a = 0; a < 0x4000; ++a) {
    const bool colours = a >= 0x2000 && a < 0x3800;
    const bool copied = (a >= 0x0800 && a < 0x0800 + 200) || (a >= 0x3940 && a < 0x3940 + 96);
    ASSERT_EQ(model.vram[a] >= 0, colours || copied) << std::hex << "written: VRAM 0x" << a;
    ASSERT_TRUE(!colours || model.vram[a] == 0) << std::hex << "colour at VRAM 0x" << a;
  }
  EXPECT_TRUE(in_data(model.vram.begin() + 0x0800, 200) && in_data(model.vram.begin() + 0x3940, 96))
      << "patterns and names from the image's data";
  for (int i = 0; i < 96; ++i) {
    const int name = model.vram[0x3940 + i];
    ASSERT_TRUE(name == 0 || (name <= 24 && (name - 1) / 8 == i / 32)) << "name " << i;
  }

  // Then each status read follows the address 0x2808 and the table rotated once more (192
  // bytes in character order); RAM keeps the rotated table; the VDP holds exactly what the
  // writes programmed; an NMI changes no register or write.
  ASSERT_GE(reads.size(), 5u) << "frame interrupts handled";
  std::array<uint8_t, kTableLength> table{};
  std::memcpy(table.data(), MachineMemory + 0x8000, kTableLength);
  std::rotate(table.begin(), table.begin() + (kTableLength - reads.size() % kTableLength),
              table.end());
  EXPECT_TRUE(in_data(table.begin(), kTableLength)) << "RAM: the image's table, rotated";
  for (size_t k = 0; k < reads.size(); ++k) {
    std::rotate(table.begin(), table.begin() + 1, table.end());
    const size_t first = reads[k] - 192;
    EXPECT_TRUE(port_log[first - 2].value == 0x08 && port_log[first - 1].value == (0x28 | 0x40));
    for (int i = 0; i < 192; ++i) {
      const PortAccess& a = port_log[first + i];
      ASSERT_TRUE(a.write && a.port == 0xBE && a.value == table[i / 64 * 8 + i % 8])
          << "interrupt " << k << ", byte " << i;
    }
  }
  model = VdpModel{};
  for (const PortAccess& a : port_log) model.out(a);
  for (int r = 0; r < 8; ++r) EXPECT_EQ(vdp_peek_register(r), model.reg[r]) << "register " << r;
  for (uint32_t a = 0; a < 0x4000; ++a) {
    ASSERT_EQ(vdp_peek_vram(a), std::max(model.vram[a], 0)) << std::hex << "VRAM 0x" << a;
  }

  const CpuState before = cpu;
  const size_t accesses = port_log.size();
  cpu_nmi();
  bus_machine::run_frame();
  bus_machine::run_frame();
  EXPECT_EQ(status_reads().size(), reads.size() + 2) << "interrupts still handled";
  EXPECT_EQ(port_log.size() - accesses, 2 * (kBurst + 1)) << "the same accesses each frame";
  auto registers = [](const CpuState& c) {
    return std::array{c.af, c.bc, c.de, c.hl, c.ix, c.iy, c.sp, c.pc, c.af_alt, c.bc_alt, c.de_alt,
                      c.hl_alt, static_cast<uint16_t>(c.xy_latch & 0x28)};  // F's bits 3 and 5 too
  };
  EXPECT_EQ(registers(cpu), registers(before));
}

}  // namespace
