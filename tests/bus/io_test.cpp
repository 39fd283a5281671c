// The port map: both decode tables for every port under any high byte, the
// V counter, the routes to the devices, and our test program on the real core
// reading through the real map and leaving what it read in RAM.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "bus/io.h"
#include "bus/ppi.h"
#include "sound/psg.h"
#include "sound/vgm.h"
#include "support/bus_machine.h"
#include "vdp/vdp.h"

namespace {

// The machine's port map, as the hardware decodes it: 0xBD reads data and takes control writes.
const std::map<int, IoRead> kReadPorts = {
    {0x7E, IoRead::VCounter}, {0x7F, IoRead::HCounter}, {0xBD, IoRead::VdpData},  {0xBE, IoRead::VdpData},
    {0xBF, IoRead::VdpStatus}, {0xDC, IoRead::PpiPortA}, {0xC0, IoRead::PpiPortA}, {0xDD, IoRead::PpiPortB},
    {0xC1, IoRead::PpiPortB},  {0xDE, IoRead::PpiPortC}, {0xDF, IoRead::PpiControl}};
const std::map<int, IoWrite> kWritePorts = {
    {0x7E, IoWrite::Sound},      {0x7F, IoWrite::Sound},   {0xBD, IoWrite::VdpControl},
    {0xBF, IoWrite::VdpControl}, {0xBE, IoWrite::VdpData}, {0xDE, IoWrite::PpiPortC},
    {0xDF, IoWrite::PpiControl}};

TEST(PortMap, EveryPortDecodesByItsLowByteOnly) {
  for (uint32_t port = 0; port < 0x10000; ++port) {
    const auto r = kReadPorts.find(static_cast<int>(port & 0xFF));
    const auto w = kWritePorts.find(static_cast<int>(port & 0xFF));
    ASSERT_EQ(io_read_target(port), r == kReadPorts.end() ? IoRead::Nothing : r->second) << std::hex << port;
    ASSERT_EQ(io_write_target(port), w == kWritePorts.end() ? IoWrite::Nothing : w->second) << std::hex << port;
  }
}

TEST(PortMap, VerticalCounterFollowsTheScanline) {
  const struct { int line; uint32_t value; } cases[] = {{0, 0x00},   {100, 0x64}, {218, 0xDA},
                                                        {219, 0xD5}, {230, 0xE0}, {261, 0xFF},
                                                        {262, 0x00}, {300, 0x00}, {311, 0x00}};
  for (const auto& c : cases) {
    vdp.current_line = c.line;
    EXPECT_EQ(io_read_port(0x7E) | io_read_port(0x347E) << 8 | io_read_port(0x7F) << 16, c.value * 0x101)
        << "0x7E and 0x347E give the counter, 0x7F (H) 0; line " << c.line;
  }
  vdp.current_line = 0;
}

TEST(PortMap, VdpAndSoundPortsReachTheirDevices) {
  vdp_reset();
  // A write set-up at 0x0534 begun through 0xBD, two data bytes, register 7
  // set through 0xBD, a read set-up at 0x0534; then 0xBD reads data.
  for (const auto& [port, value] : {std::pair{0x12BDu, 0x34u}, {0xBFu, 0x45u}, {0xFFBEu, 0xA7u}, {0x00BEu, 0x5Cu},
                                    {0xBDu, 0x0Du}, {0xBDu, 0x87u}, {0xBFu, 0x34u}, {0xBFu, 0x05u}}) {
    io_write_port(port, value);
  }
  EXPECT_EQ(vdp_peek_vram(0x0534) << 8 | vdp_peek_vram(0x0535), 0xA75C);
  EXPECT_EQ(vdp_peek_register(7), 0x0D);
  const uint32_t first = io_read_port(0x77BD);
  EXPECT_EQ(first << 8 | io_read_port(0xBE), 0xA75Cu);
  vdp.status = kStatusFrame | kStatusCoincidence;
  EXPECT_EQ(io_read_port(0xBF), static_cast<uint32_t>(kStatusFrame | kStatusCoincidence));
  EXPECT_EQ(vdp_peek_status(), 0) << "a status read through the bus clears the flags";
  vdp_reset();

  psg_reset();
  vgm_start();
  io_write_port(0x7E, 0x8E);    // tone 0, low bits 0xE
  io_write_port(0x557F, 0x0F);  // its high bits, through the other address
  vgm.active = 0;
  io_write_port(0x7F, 0x9F);  // reaches the generator but not the stopped log
  EXPECT_EQ(psg.registers[0] | psg.registers[1] << 12, 0x0FE | 0x0F << 12);
  const std::vector<uint8_t> logged(vgm.data.begin(), vgm.data.begin() + vgm.length);
  EXPECT_EQ(logged, (std::vector<uint8_t>{0x50, 0x8E, 0x50, 0x0F}));
  psg_reset();
}

TEST(BusProgram, PortsAndMemoryAnswerAsTheMapSays) {
  const PpiState saved = ppi;
  ppi = PpiState{};
  bus_machine::setup(io_read_port, io_write_port);
  const std::vector<uint8_t> rom = bus_machine::test_rom("bus_ports");
  ASSERT_EQ(rom.size(), 0x4000u);
  std::memcpy(MachineMemory, rom.data(), rom.size());
  ppi.key_rows[2] = 0x5AC3;
  ppi.joystick1 = 0x01 | 0x20;  // up and button 1
  ppi.joystick2 = 0x08;         // right
  vdp.current_line = 230;
  cpu_run(2000);
  ASSERT_EQ(MachineMemory[0x80FF], 0xAA) << "the program did not finish";
  // The latch after OUT to 0x1ADE; row 2 through 0xDC and 0xC1; joystick byte A
  // through 0xC0 and 0xDC, byte B; 0xDF; 0xE0; 0x7D; V counter on line 230;
  // H counter; the latch after a mode word to 0xDF.
  const std::vector<uint8_t> want = {0x1A, 0xC3, 0x5A, 0xEE, 0xEE, 0x3D, 0xFF, 0x00, 0x00, 0xE0, 0x00, 0x07};
  EXPECT_EQ(std::vector<uint8_t>(MachineMemory + 0x8000, MachineMemory + 0x800C), want);
  EXPECT_EQ(ppi.selected_row, 7u);
  EXPECT_EQ(MachineMemory[0x1000], rom[0x1000]) << "a write below 0x8000 must not land";
  EXPECT_EQ(MachineMemory[0x8100], 0x55);
  ppi = saved;
  vdp.current_line = 0;
}

}  // namespace
