// Z80 core: a table-driven interpreter of the whole instruction set with
// page-mapped memory, port callbacks, a T-state budget per run and
// interrupt acceptance. One global CpuState (`cpu`).
// Memory is reached through three maps of 256-byte pages (opcode fetches,
// data reads, data writes); pages covered only in part by a region go
// through an ordered region list. Interrupts are accepted only inside
// cpu_irq and when an EI window closes. Not modelled: MEMPTR, the Q latch,
// bus timing within an instruction, a halt flag (HALT re-executes itself).
#pragma once

#include <cstdint>

using PortIn = uint32_t (*)(uint32_t port);
using PortOut = void (*)(uint32_t port, uint32_t value);
using ReadHandler = uint32_t (*)(uint32_t address);
using WriteHandler = void (*)(uint32_t address, uint32_t value);

// A host address biased by the first Z80 address of its block, so that the
// byte for Z80 address a sits at base + a. Kept as an integer: the biased
// value may point outside the block.
using HostAddr = uintptr_t;

// How one 256-byte page of data reads or writes is served: through the
// handler when there is one, otherwise straight from base + address.
struct PageEntry {
  void* handler;  // ReadHandler or WriteHandler, or nullptr
  HostAddr base;
};

// One entry of a region list. A free slot has first == kRegionFree.
struct MemRegion {
  uint32_t first;
  uint32_t last;   // inclusive
  uint32_t kind;   // kRegionMemory or kRegionHandler
  HostAddr target; // handler, or host address of the block minus first
};

constexpr uint32_t kRegionFree = 0xFFFFFFFF;
constexpr uint32_t kRegionMemory = 0;
constexpr uint32_t kRegionHandler = 1;
constexpr int kRegionSlots = 64;
constexpr int kPages = 256;
constexpr uint8_t kIffSet = 4;  // a set IFF holds the P/V bit of F

struct CpuState {
  // Registers. F is kept without bits 3 and 5; those come from xy_latch.
  uint16_t af, bc, de, hl, ix, iy, pc, sp;
  uint16_t af_alt, bc_alt, de_alt, hl_alt;
  uint8_t iff1, iff2;       // 0 or kIffSet
  uint32_t r_count;         // bits 0-6 are R's bits 0-6
  uint8_t r_high;           // bit 7 is R's bit 7
  uint8_t i;
  uint8_t xy_latch;         // bits 3 and 5 are F's bits 3 and 5
  uint8_t im;
  uint8_t irq_vector;
  uint8_t irq_line;
  uint32_t owed_cycles;      // T-states of accepted interrupts not yet taken from a run's budget
  // Maps and callbacks.
  HostAddr fetch_pages[kPages];
  PageEntry read_pages[kPages];
  PageEntry write_pages[kPages];
  PortIn port_in;
  PortOut port_out;
  void (*reti_hook)();
  MemRegion read_regions[kRegionSlots];
  MemRegion write_regions[kRegionSlots];
  // The current run.
  int32_t cycles_left;
  uint32_t cycles_requested;
  int32_t ei_parked;
  uint8_t ei_window;        // 0 closed; 1 open; 2 after EI EI; 3 after a third EI
};

extern CpuState cpu;

uint32_t cpu_default_read(uint32_t address_or_port);
void cpu_default_write(uint32_t address_or_port, uint32_t value);
uint32_t cpu_region_read(uint32_t address);
void cpu_region_write(uint32_t address, uint32_t value);

void cpu_init();
void cpu_map_fetch(uint16_t first, uint16_t last, uint8_t* block);
// kind 0: target is a host block; kind 1: target is a handler.
void cpu_map_read(uint16_t first, uint16_t last, int kind, void* target);
void cpu_map_write(uint16_t first, uint16_t last, int kind, void* target);
// Bank switching: re-points the whole pages of `size` bytes from Z80 address
// `first` (both multiples of 256) for fetches and reads at `block`, whose
// first byte is the one for address `first`. The region lists are left
// alone, so this may run on every bank write.
void cpu_point_pages(uint16_t first, uint32_t size, const uint8_t* block);
// The same for data writes: at `block`, or when it is null, at `handler`.
void cpu_point_write_pages(uint16_t first, uint32_t size, uint8_t* block, WriteHandler handler);
void cpu_set_port_in(PortIn handler);
void cpu_set_port_out(PortOut handler);
void cpu_close_maps();
void cpu_reset();
// Runs instructions for a budget of T-states, less the T-states owed for
// interrupts accepted since the last run; returns the T-states spent
// (owed ones included).
int32_t cpu_run(int32_t budget);
void cpu_irq(uint8_t data);
void cpu_clear_irq();
void cpu_nmi();

// F as read whole: the kept flags with bits 3 and 5 from xy_latch.
inline uint8_t cpu_flags() {
  return static_cast<uint8_t>((cpu.af & 0xD7) | (cpu.xy_latch & 0x28));
}
// R as LD A,R reads it.
inline uint8_t cpu_r() {
  return static_cast<uint8_t>((cpu.r_high & 0x80) | (cpu.r_count & 0x7F));
}

// Save states (z80/cpu_state.cpp): the registers, interrupt state and owed
// T-states; the maps, callbacks and the current run's counters are not state.
class StateWriter;
class StateReader;
void cpu_state_save(StateWriter& out);
// Reads into `into` (a copy of the live record); false when the section is
// short, long or holds a value the core never makes.
bool cpu_state_load(StateReader& in, CpuState* into);
// sizeof(CpuState) when the serialiser was last brought up to date.
extern const uint32_t kCpuStateRecordSize;
