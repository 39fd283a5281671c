#include "support/bus_machine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app.h"
#include "bus/io.h"
#include "sound/psg.h"
#include "vdp/vdp.h"

namespace bus_machine {

namespace {
constexpr int32_t kCyclesPerLine = 229;
constexpr int32_t kPsgClock = 3579545;
constexpr int32_t kSampleRate = 44100;
}  // namespace

std::vector<PortAccess> port_log;

void setup(PortIn in, PortOut out) {
  std::memset(MachineMemory, 0, kMemorySize);
  cpu_init();
  cpu_map_fetch(0x0000, 0xFFFF, MachineMemory);
  cpu_map_read(0x0000, 0xFFFF, 0, MachineMemory);
  cpu_map_write(0x8000, 0xFFFF, 0, MachineMemory + 0x8000);
  cpu_set_port_in(in);
  cpu_set_port_out(out);
  cpu_close_maps();
  cpu_reset();
  static bool vdp_ready = false;
  if (!vdp_ready) {
    vdp_init(app_vdp_interrupt);  // builds the VDP's tables once
    std::atexit(vdp_release);
    vdp_ready = true;
  }
  vdp_reset();
  psg_init(kPsgClock, kSampleRate, 1);
  psg_reset();
  port_log.clear();
}

void run_frame() {
  for (vdp.current_line = 0; vdp.current_line < kLinesPerFrame; vdp.current_line += 1) {
    cpu_run(kCyclesPerLine);
    vdp_render_line(0);
  }
  vdp.current_line = 0;
}

std::vector<uint8_t> test_rom(const std::string& name) {
  std::vector<uint8_t> bytes;
  const std::string path = std::string(QUAV_TEST_ROM_DIR) + "/" + name + ".bin";
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  int c;
  while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
  std::fclose(f);
  return bytes;
}

uint32_t recording_in(uint32_t port) {
  const uint32_t value = io_read_port(port);
  port_log.push_back({false, static_cast<uint8_t>(port), static_cast<uint8_t>(value),
                      vdp.current_line});
  return value;
}

void recording_out(uint32_t port, uint32_t value) {
  port_log.push_back({true, static_cast<uint8_t>(port), static_cast<uint8_t>(value),
                      vdp.current_line});
  io_write_port(port, value);
}

}  // namespace bus_machine
