// The machine's memory layout for Z80 tests: 64 KB fetched and read from
// one block, writes reaching only 0x8000-0xFFFF, port callbacks recorded.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "z80/cpu.h"

struct PortAccess {
  uint32_t port;
  uint32_t value;
};

class Z80Test : public ::testing::Test {
 public:
  static inline uint8_t mem[0x10000];
  static inline std::vector<PortAccess> outs;
  static inline std::vector<uint32_t> ins;
  static inline uint32_t in_value = 0;

  static uint32_t record_in(uint32_t port) {
    ins.push_back(port);
    return in_value;
  }
  static void record_out(uint32_t port, uint32_t value) { outs.push_back({port, value}); }

  void SetUp() override {
    std::memset(mem, 0, sizeof mem);
    outs.clear();
    ins.clear();
    in_value = 0;
    cpu_init();
    cpu_map_fetch(0x0000, 0xFFFF, mem);
    cpu_map_read(0x0000, 0xFFFF, 0, mem);
    cpu_map_write(0x8000, 0xFFFF, 0, mem + 0x8000);
    cpu_set_port_in(record_in);
    cpu_set_port_out(record_out);
    cpu_close_maps();
    cpu_reset();
    cpu.sp = 0xF000;
  }

  static void put(uint16_t at, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) mem[at++] = b;
  }

  static uint16_t stacked(int depth = 0) {
    uint16_t a = static_cast<uint16_t>(cpu.sp + 2 * depth);
    return static_cast<uint16_t>(mem[a] | (mem[static_cast<uint16_t>(a + 1)] << 8));
  }
};
