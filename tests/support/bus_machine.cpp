#include "support/bus_machine.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "app/app.h"
#include "bus/io.h"
#include "sound/psg.h"
#include "vdp/vdp.h"

namespace bus_machine {

std::vector<PortAccess> port_log;

void setup(PortIn in, PortOut out) {
  std::memset(MachineMemory, 0, kMemorySize);
  machine_connect_cpu(in, out);
  static const int vdp_tables = (vdp_init(machine_vdp_interrupt), std::atexit(vdp_release));  // built once
  (void)vdp_tables;
  vdp_reset();
  psg_init(3579545, 44100, 1);  // the PSG clock and the stream's rate
  psg_reset();
  port_log.clear();
}

void run_frame() {
  for (vdp.current_line = 0; vdp.current_line < kLinesPerFrame; vdp.current_line += 1) {
    cpu_run(229);  // T-states per line
    vdp_render_line(0);
  }
  vdp.current_line = 0;
}

std::vector<uint8_t> test_rom(const std::string& name) {
  std::ifstream in(std::string(QUAV_TEST_ROM_DIR) + "/" + name + ".bin", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t recording_in(uint32_t port) {
  const uint32_t value = io_read_port(port);
  port_log.push_back({false, static_cast<uint8_t>(port), static_cast<uint8_t>(value), vdp.current_line});
  return value;
}

void recording_out(uint32_t port, uint32_t value) {
  port_log.push_back({true, static_cast<uint8_t>(port), static_cast<uint8_t>(value), vdp.current_line});
  io_write_port(port, value);
}

}  // namespace bus_machine
