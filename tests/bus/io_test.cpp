// The port map: both decode tables for every port, the high byte ignored,
// the values the bus itself answers and the routes to the PPI and counters.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "bus/counters.h"
#include "bus/io.h"
#include "bus/ppi.h"
#include "sound/psg.h"
#include "sound/vgm.h"
#include "vdp/vdp.h"

namespace {

// The machine's port map, as the hardware decodes it.
const std::map<int, IoRead> kReadPorts = {
    {0x7E, IoRead::VCounter},   {0x7F, IoRead::HCounter}, {0xBD, IoRead::VdpData},
    {0xBE, IoRead::VdpData},    {0xBF, IoRead::VdpStatus}, {0xDC, IoRead::PpiPortA},
    {0xC0, IoRead::PpiPortA},   {0xDD, IoRead::PpiPortB}, {0xC1, IoRead::PpiPortB},
    {0xDE, IoRead::PpiPortC},   {0xDF, IoRead::PpiControl},
};
const std::map<int, IoWrite> kWritePorts = {
    {0x7E, IoWrite::Sound},      {0x7F, IoWrite::Sound},   {0xBD, IoWrite::VdpControl},
    {0xBF, IoWrite::VdpControl}, {0xBE, IoWrite::VdpData}, {0xDE, IoWrite::PpiPortC},
};
const uint32_t kHighBytes[] = {0x00, 0x01, 0x12, 0x80, 0xFF};

class PortMap : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = ppi;
    ppi = PpiState{};
  }
  void TearDown() override {
    ppi = saved_;
    vdp.current_line = 0;
  }
  PpiState saved_;
};

TEST_F(PortMap, EveryPortDecodesByItsLowByteOnly) {
  for (int low = 0; low < 0x100; ++low) {
    const auto r = kReadPorts.find(low);
    const auto w = kWritePorts.find(low);
    const IoRead want_read = r == kReadPorts.end() ? IoRead::Nothing : r->second;
    const IoWrite want_write = w == kWritePorts.end() ? IoWrite::Nothing : w->second;
    // 0xBD answers reads as the data port and writes as the control port.
    for (uint32_t high : kHighBytes) {
      const uint32_t port = high << 8 | static_cast<uint32_t>(low);
      EXPECT_EQ(io_read_target(port), want_read) << std::hex << "read of port 0x" << port;
      EXPECT_EQ(io_write_target(port), want_write) << std::hex << "write to port 0x" << port;
    }
  }
}

TEST_F(PortMap, UnansweredPortsReadZeroAndTheControlPortReadsFF) {
  for (uint32_t port : {0x00u, 0x7Du, 0xE0u, 0xC2u, 0xC3u, 0xFFu, 0x12DBu}) {
    EXPECT_EQ(io_read_port(port), 0x00u) << std::hex << port;
  }
  EXPECT_EQ(io_read_port(0xDF), 0xFFu);
  EXPECT_EQ(io_read_port(0x55DF), 0xFFu);
}

TEST_F(PortMap, PortCIsLatchedAndSelectsARow) {
  io_write_port(0xDE, 0x07);
  EXPECT_EQ(io_read_port(0xDE), 0x07u);
  EXPECT_EQ(ppi.selected_row, 7u);
  io_write_port(0xA5DE, 0x92);  // the high byte changes nothing
  EXPECT_EQ(io_read_port(0xDE), 0x92u);
  EXPECT_EQ(ppi.selected_row, 2u);
}

TEST_F(PortMap, PpiMirrorsAnswerReadsOnlyAndOtherPpiWritesAreDropped) {
  ppi.key_rows[3] = 0xA5C3;
  io_write_port(0xDE, 3);
  EXPECT_EQ(io_read_port(0xDC), 0xC3u);
  EXPECT_EQ(io_read_port(0xC0), 0xC3u);
  EXPECT_EQ(io_read_port(0xDD), 0xA5u);
  EXPECT_EQ(io_read_port(0xC1), 0xA5u);

  const PpiState before = ppi;
  for (uint32_t port : {0xDCu, 0xDDu, 0xDFu, 0xC0u, 0xC1u, 0xC2u, 0xDBu}) io_write_port(port, 0x9F);
  EXPECT_EQ(ppi.port_c_latch, before.port_c_latch);
  EXPECT_EQ(ppi.selected_row, before.selected_row);
  EXPECT_EQ(io_read_port(0xDC), 0xC3u);
  EXPECT_EQ(io_read_port(0xDE), 0x03u);
}

TEST_F(PortMap, VerticalCounterFollowsTheScanline) {
  const struct {
    int line;
    uint32_t value;
  } cases[] = {{0, 0x00}, {100, 0x64}, {218, 0xDA}, {219, 0xD5}, {230, 0xE0},
               {261, 0xFF}, {262, 0x00}, {300, 0x00}, {311, 0x00}};
  for (const auto& c : cases) {
    vdp.current_line = c.line;
    EXPECT_EQ(io_read_port(0x7E), c.value) << "line " << c.line;
    EXPECT_EQ(io_read_port(0x347E), c.value) << "line " << c.line;
    EXPECT_EQ(io_read_port(0x7F), 0x00u) << "line " << c.line;
  }
}

TEST_F(PortMap, VdpPortsReachTheVdpIn0xBdsTwoWays) {
  vdp_reset();
  io_write_port(0x12BD, 0x34);  // control through 0xBD: write set-up at 0x0534
  io_write_port(0xBF, 0x40 | 0x05);
  io_write_port(0xFFBE, 0xA7);
  io_write_port(0x00BE, 0x5C);
  EXPECT_EQ(vdp_peek_vram(0x0534), 0xA7);
  EXPECT_EQ(vdp_peek_vram(0x0535), 0x5C);
  io_write_port(0xBD, 0x0D);  // register 7 through 0xBD
  io_write_port(0xBD, 0x87);
  EXPECT_EQ(vdp_peek_register(7), 0x0D);

  io_write_port(0xBF, 0x34);  // read set-up at 0x0534
  io_write_port(0xBF, 0x05);
  EXPECT_EQ(io_read_port(0x77BD), 0xA7u) << "0xBD reads data";
  EXPECT_EQ(io_read_port(0xBE), 0x5Cu);

  vdp.status = kStatusFrame | kStatusCoincidence;
  EXPECT_EQ(io_read_port(0xBF), static_cast<uint32_t>(kStatusFrame | kStatusCoincidence));
  EXPECT_EQ(vdp_peek_status(), 0) << "a status read through the bus clears the flags";
  vdp_reset();
}

TEST_F(PortMap, SoundPortsReachTheGeneratorThenTheLog) {
  psg_reset();
  vgm_start();
  const int32_t before = vgm.length;
  io_write_port(0x7E, 0x8E);    // tone 0, low bits 0xE
  io_write_port(0x557F, 0x0F);  // its high bits, through the other address
  EXPECT_EQ(psg.registers[0], 0x0FE);
  ASSERT_EQ(vgm.length - before, 4);
  const std::vector<uint8_t> logged(vgm.data.begin() + before, vgm.data.begin() + before + 4);
  EXPECT_EQ(logged, (std::vector<uint8_t>{0x50, 0x8E, 0x50, 0x0F}));
  vgm.active = 0;
  io_write_port(0x7F, 0x9F);
  EXPECT_EQ(vgm.length - before, 4) << "nothing logged while the logger is off";
  EXPECT_EQ(psg.registers[1], 0x0F);
  psg_reset();
}

TEST(VCounterTable, CountsTo218ThenRepeatsFromD5To261ThenReadsZero) {
  for (int i = 0; i < kVCounterEntries; ++i) {
    const int want = i <= 218 ? i : i <= 261 ? i - 6 : 0;
    ASSERT_EQ(VCounterTable[i], want) << "index " << i;
  }
}

}  // namespace
