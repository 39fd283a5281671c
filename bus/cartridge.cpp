// The cartridge maps: the record, choosing a map, and pointing the Z80's
// pages at it. A bank write re-points the 64 pages of its slot (fetch and
// read); nothing is looked up per access.
#include "bus/cartridge.h"

#include <algorithm>
#include <cstring>

#include "bus/io.h"
#include "z80/cpu.h"

CartridgeState cart = {CartMap::Flat, 0, {0, 1, 2}};
std::vector<uint8_t> cart_image;

namespace {

constexpr uint16_t kFixedArea = 0x0400;     // sega: 0x0000-0x03FF always the image's first 1 KB
constexpr uint16_t kRamStart = 0xC000;      // RAM under the rom and sega maps
constexpr uint16_t kRegisterPage = 0xFF00;  // sega: the page whose writes go through the handler
constexpr uint32_t kBankRegister0 = 0xFFFD; // 0xFFFD, 0xFFFE, 0xFFFF: slots 0, 1, 2
constexpr uint16_t kFlatRamStart = 0x8000;
constexpr uint16_t kRam8kStart = 0x2000;
constexpr uint32_t kRam8kSize = 0x2000;
constexpr uint32_t kWholeSpace = 0x10000;

struct MapperName {
  const char* name;
  MapperChoice choice;
};
constexpr MapperName kMapperNames[] = {
    {"auto", MapperChoice::Auto},
    {"rom", MapperChoice::Rom},
    {"sega", MapperChoice::Sega},
    {"ram8k", MapperChoice::Ram8k},
};

// Slot 0 keeps its first 1 KB on the image's first 1 KB.
void point_slot(uint32_t slot) {
  const uint8_t* bank = cart_image.data() + cart.banks[slot] * kBankSize;
  const uint16_t first = static_cast<uint16_t>(slot * kBankSize);
  if (slot == 0) {
    cpu_point_pages(kFixedArea, kBankSize - kFixedArea, bank + kFixedArea);
  } else {
    cpu_point_pages(first, kBankSize, bank);
  }
}

void apply_flat() {
  cpu_point_pages(0x0000, kWholeSpace, MachineMemory);
  cpu_point_write_pages(0x0000, kFlatRamStart, nullptr, cpu_default_write);
  cpu_point_write_pages(kFlatRamStart, kWholeSpace - kFlatRamStart,
                        MachineMemory + kFlatRamStart, nullptr);
}

void apply_rom() {
  cpu_point_pages(0x0000, kRomImageLimit, cart_image.data());
  cpu_point_pages(kRamStart, kWholeSpace - kRamStart, MachineMemory + kRamStart);
  cpu_point_write_pages(0x0000, kRamStart, nullptr, cpu_default_write);
  cpu_point_write_pages(kRamStart, kWholeSpace - kRamStart, MachineMemory + kRamStart, nullptr);
}

void apply_sega() {
  cpu_point_pages(0x0000, kFixedArea, cart_image.data());
  for (uint32_t slot = 0; slot < kSlotCount; ++slot) point_slot(slot);
  cpu_point_pages(kRamStart, kWholeSpace - kRamStart, MachineMemory + kRamStart);
  cpu_point_write_pages(0x0000, kRamStart, nullptr, cpu_default_write);
  cpu_point_write_pages(kRamStart, kRegisterPage - kRamStart, MachineMemory + kRamStart, nullptr);
  cpu_point_write_pages(kRegisterPage, kWholeSpace - kRegisterPage, nullptr, cart_sega_write);
}

void set_first_banks() {
  for (uint32_t slot = 0; slot < kSlotCount; ++slot) {
    cart.banks[slot] = cart.bank_count > 0 ? slot % cart.bank_count : 0;
  }
}

}  // namespace

bool cart_parse_mapper(const char* name, MapperChoice* choice) {
  for (const MapperName& m : kMapperNames) {
    if (std::strcmp(name, m.name) == 0) {
      *choice = m.choice;
      return true;
    }
  }
  return false;
}

CartMap cart_choose_map(MapperChoice choice, size_t size) {
  switch (choice) {
    case MapperChoice::Auto:
      if (size <= kFlatImageLimit) return CartMap::Flat;
      return size <= kRomImageLimit ? CartMap::Rom : CartMap::Sega;
    case MapperChoice::Rom: return size <= kFlatImageLimit ? CartMap::Flat : CartMap::Rom;
    case MapperChoice::Sega: return size == 0 ? CartMap::Flat : CartMap::Sega;
    case MapperChoice::Ram8k: return CartMap::Ram8k;
  }
  return CartMap::Flat;
}

void cart_apply_map() {
  switch (cart.map) {
    case CartMap::Flat: apply_flat(); break;
    case CartMap::Ram8k:
      apply_flat();
      cpu_point_write_pages(kRam8kStart, kRam8kSize, MachineMemory + kRam8kStart, nullptr);
      break;
    case CartMap::Rom: apply_rom(); break;
    case CartMap::Sega: apply_sega(); break;
  }
}

void cart_insert(CartMap map, const uint8_t* image, size_t size) {
  std::memset(MachineMemory, 0, kMemorySize);
  cart.map = map;
  if (map == CartMap::Rom) {
    cart.bank_count = 0;
    cart_image.assign(kRomImageLimit, kSegaPadByte);
    std::copy_n(image, std::min<size_t>(size, kRomImageLimit), cart_image.begin());
  } else {
    cart.bank_count = static_cast<uint32_t>((size + kBankSize - 1) / kBankSize);
    cart_image.assign(static_cast<size_t>(cart.bank_count) * kBankSize, kSegaPadByte);
    std::copy_n(image, size, cart_image.begin());
  }
  set_first_banks();
  cart_apply_map();
}

void cart_add_ram8k() {
  std::memset(MachineMemory + kRam8kStart, 0, kRam8kSize);
  cart.map = CartMap::Ram8k;
  cart.bank_count = 0;
  set_first_banks();
  cart_image.clear();
  cart_apply_map();
}

void cart_reset_banks() {
  if (cart.map != CartMap::Sega) return;
  set_first_banks();
  for (uint32_t slot = 0; slot < kSlotCount; ++slot) point_slot(slot);
}

void cart_use_flat() {
  if (cart.map == CartMap::Flat) return;
  cart = CartridgeState{CartMap::Flat, 0, {0, 1, 2}};
  cart_image.clear();
  cart_image.shrink_to_fit();
  apply_flat();
}

void cart_sega_write(uint32_t address, uint32_t value) {
  MachineMemory[address] = static_cast<uint8_t>(value);
  if (address < kBankRegister0) return;
  const uint32_t slot = address - kBankRegister0;
  cart.banks[slot] = value % cart.bank_count;
  point_slot(slot);
}

bool cart_consistent(const CartridgeState& c, size_t image_size) {
  switch (c.map) {
    case CartMap::Flat:
    case CartMap::Ram8k: return c.bank_count == 0 && image_size == 0;
    case CartMap::Rom: return c.bank_count == 0 && image_size == kRomImageLimit;
    case CartMap::Sega:
      if (c.bank_count == 0 || c.bank_count > kCartImageLimit / kBankSize) return false;
      if (image_size != static_cast<size_t>(c.bank_count) * kBankSize) return false;
      return std::all_of(c.banks, c.banks + kSlotCount,
                         [&](uint32_t b) { return b < c.bank_count; });
  }
  return false;
}
