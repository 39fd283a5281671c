// The Z80 core's set-up side: the global state, the default handlers, the
// three page maps with their region lists, the port callbacks and reset.
// A page covered by a region only in part is served by the region
// dispatchers, which search the region list in order; cpu_close_maps ends
// every list with a catch-all that reads 0xFF and drops writes.
#include <cstring>

#include "z80/core.h"

CpuState cpu;

namespace {

constexpr uint32_t kPageSize = 0x100;
constexpr uint32_t kAddressMask = 0xFFFF;
constexpr uint16_t kResetIndex = 0xFFFF;
constexpr uint16_t kResetAf = 0x0040;  // A = 0, Z set

void reti_nothing() {}

HostAddr as_host(const void* p) { return reinterpret_cast<HostAddr>(p); }

MemRegion* first_free(MemRegion* list) {
  for (int i = 0; i < kRegionSlots; ++i) {
    if (list[i].first == kRegionFree) return &list[i];
  }
  return nullptr;
}

// Appends the region and points the pages it covers at it (whole pages
// directly, partly covered pages at the dispatcher).
void map_region(MemRegion* list, PageEntry* pages, void* dispatcher, uint32_t first,
                uint32_t last, int kind, void* target) {
  first &= kAddressMask;
  last &= kAddressMask;
  HostAddr biased = kind == 0 ? as_host(target) - first : as_host(target);
  if (MemRegion* slot = first_free(list)) {
    *slot = MemRegion{first, last, static_cast<uint32_t>(kind), biased};
  }
  if (last < first) return;
  uint32_t s = first, e = last;
  if ((first & 0xFF) != 0) {
    pages[first >> 8] = PageEntry{dispatcher, 0};
    s = (first | 0xFF) + 1;
  }
  if ((last & 0xFF) != 0xFF) {
    pages[last >> 8] = PageEntry{dispatcher, 0};
    if (last < kPageSize) return;
    e = (last & ~0xFFu) - 1;
  }
  if (s > e) return;
  for (uint32_t page = s >> 8; page <= e >> 8; ++page) {
    pages[page] = kind == 0 ? PageEntry{nullptr, biased} : PageEntry{target, 0};
  }
}

const MemRegion* find_region(const MemRegion* list, uint32_t address) {
  for (int i = 0; i < kRegionSlots; ++i) {
    if (list[i].first <= address && address <= list[i].last) return &list[i];
  }
  return nullptr;
}

}  // namespace

uint32_t cpu_default_read(uint32_t) { return 0xFF; }
void cpu_default_write(uint32_t, uint32_t) {}

uint32_t cpu_region_read(uint32_t address) {
  const MemRegion* r = find_region(cpu.read_regions, address);
  if (r == nullptr) return 0xFF;
  if (r->kind == kRegionHandler) return reinterpret_cast<ReadHandler>(r->target)(address);
  return *z80::host(r->target, address);
}

void cpu_region_write(uint32_t address, uint32_t value) {
  const MemRegion* r = find_region(cpu.write_regions, address);
  if (r == nullptr) return;
  if (r->kind == kRegionHandler) {
    reinterpret_cast<WriteHandler>(r->target)(address, value);
  } else {
    *z80::host(r->target, address) = static_cast<uint8_t>(value);
  }
}

void cpu_init() {
  cpu.port_in = cpu_default_read;
  cpu.port_out = cpu_default_write;
  cpu.reti_hook = reti_nothing;
  std::memset(cpu.read_regions, 0xFF, sizeof cpu.read_regions);
  std::memset(cpu.write_regions, 0xFF, sizeof cpu.write_regions);
  for (int page = 0; page < kPages; ++page) {
    cpu.read_pages[page] = PageEntry{reinterpret_cast<void*>(cpu_default_read), 0};
    cpu.write_pages[page] = PageEntry{reinterpret_cast<void*>(cpu_default_write), 0};
  }
}

void cpu_map_fetch(uint16_t first, uint16_t last, uint8_t* block) {
  HostAddr biased = as_host(block) - first;
  for (uint32_t a = first; a <= last; a += kPageSize) cpu.fetch_pages[a >> 8] = biased;
}

void cpu_map_read(uint16_t first, uint16_t last, int kind, void* target) {
  map_region(cpu.read_regions, cpu.read_pages, reinterpret_cast<void*>(cpu_region_read), first,
             last, kind, target);
}

void cpu_map_write(uint16_t first, uint16_t last, int kind, void* target) {
  map_region(cpu.write_regions, cpu.write_pages, reinterpret_cast<void*>(cpu_region_write),
             first, last, kind, target);
}

void cpu_point_pages(uint16_t first, uint32_t size, const uint8_t* block) {
  const HostAddr biased = as_host(block) - first;
  for (uint32_t a = first; a < first + size; a += kPageSize) {
    cpu.fetch_pages[a >> 8] = biased;
    cpu.read_pages[a >> 8] = PageEntry{nullptr, biased};
  }
}

void cpu_point_write_pages(uint16_t first, uint32_t size, uint8_t* block, WriteHandler handler) {
  const PageEntry entry = block != nullptr ? PageEntry{nullptr, as_host(block) - first}
                                           : PageEntry{reinterpret_cast<void*>(handler), 0};
  for (uint32_t a = first; a < first + size; a += kPageSize) cpu.write_pages[a >> 8] = entry;
}

void cpu_set_port_in(PortIn handler) { cpu.port_in = handler; }
void cpu_set_port_out(PortOut handler) { cpu.port_out = handler; }

void cpu_close_maps() {
  if (MemRegion* r = first_free(cpu.read_regions)) {
    *r = MemRegion{0x0000, kAddressMask, kRegionHandler,
                   reinterpret_cast<HostAddr>(cpu_default_read)};
  }
  if (MemRegion* w = first_free(cpu.write_regions)) {
    *w = MemRegion{0x0000, kAddressMask, kRegionHandler,
                   reinterpret_cast<HostAddr>(cpu_default_write)};
  }
}

void cpu_reset() {
  cpu.af = kResetAf;
  cpu.bc = cpu.de = cpu.hl = 0;
  cpu.ix = cpu.iy = kResetIndex;
  cpu.pc = cpu.sp = 0;
  cpu.af_alt = cpu.bc_alt = cpu.de_alt = cpu.hl_alt = 0;
  cpu.iff1 = cpu.iff2 = 0;
  cpu.r_count = 0;
  cpu.r_high = 0;
  cpu.i = 0;
  cpu.xy_latch = 0;
  cpu.im = 0;
  cpu.irq_vector = 0;
  cpu.irq_line = 0;
  cpu.owed_cycles = 0;
}
