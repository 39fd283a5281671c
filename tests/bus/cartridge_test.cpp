// The cartridge maps, checked from inside the machine: our test cartridges
// (tests/roms/cart_*.asm) run on the real core and report what they read in
// RAM; the tests compare those reports, the image kept and the bank record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/app.h"
#include "app/library.h"
#include "bus/cartridge.h"
#include "bus/io.h"
#include "support/bus_machine.h"
#include "vdp/vdp.h"
#include "z80/cpu.h"

namespace {

constexpr uint8_t kMark = 0xB0;  // bank k of the Sega cartridge holds kMark + k
constexpr uint8_t kVerdictOk = 3;
constexpr uint8_t kVerdictFlat = 8;
constexpr uint8_t kVerdictNoRam = 4;

class Cartridge : public ::testing::Test {
 protected:
  Cartridge() {
    bus_machine::setup(io_read_port, io_write_port);
    cart_use_flat();
  }
  ~Cartridge() override { cart_use_flat(); }
  static void frames(int n) {
    for (int i = 0; i < n; ++i) bus_machine::run_frame();
  }
  static std::vector<uint8_t> ram(uint32_t address, uint32_t count) {
    return {MachineMemory + address, MachineMemory + address + count};
  }
  // A data read as the core makes it on a page without a handler.
  static uint8_t peek(uint32_t address) {
    const PageEntry& e = cpu.read_pages[address >> 8];
    EXPECT_EQ(e.handler, nullptr) << std::hex << address;
    return *reinterpret_cast<const uint8_t*>(e.base + address);
  }
  // As "/file" loads: over memory, at most 32 KB.
  static void load_flat(const std::vector<uint8_t>& image) {
    std::copy_n(image.begin(), std::min<size_t>(image.size(), kFlatImageLimit), MachineMemory);
  }
};

TEST(CartridgeChoice, AutoAndForcedMapsBySize) {
  struct Case {
    MapperChoice choice;
    size_t size;
    CartMap map;
  };
  const Case cases[] = {
      {MapperChoice::Auto, 0, CartMap::Flat},          {MapperChoice::Auto, 0x8000, CartMap::Flat},
      {MapperChoice::Auto, 0x8001, CartMap::Rom},      {MapperChoice::Auto, 0xC000, CartMap::Rom},
      {MapperChoice::Auto, 0xC001, CartMap::Sega},     {MapperChoice::Auto, 4u << 20, CartMap::Sega},
      {MapperChoice::Rom, 0x8000, CartMap::Flat},      {MapperChoice::Rom, 0x20000, CartMap::Rom},
      {MapperChoice::Sega, 0x4000, CartMap::Sega},     {MapperChoice::Sega, 0, CartMap::Flat},
      {MapperChoice::Ram8k, 0x8000, CartMap::Ram8k},   {MapperChoice::Ram8k, 0xC000, CartMap::Ram8k},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cart_choose_map(c.choice, c.size), c.map)
        << static_cast<int>(c.choice) << " size " << c.size;
  }
  MapperChoice choice = MapperChoice::Auto;
  EXPECT_TRUE(cart_parse_mapper("sega", &choice) && choice == MapperChoice::Sega);
  EXPECT_TRUE(cart_parse_mapper("ram8k", &choice) && choice == MapperChoice::Ram8k);
  EXPECT_FALSE(cart_parse_mapper("Sega", &choice) || cart_parse_mapper("", &choice));
}

TEST_F(Cartridge, RomMapKeepsRomTo0xBFFFAndRamFrom0xC000) {
  const std::vector<uint8_t> image = bus_machine::test_rom("cart_rom48");
  ASSERT_EQ(image.size(), 0xC000u);
  cart_insert(CartMap::Rom, image.data(), image.size());
  frames(2);
  // 0x8000, 0xBFFF, 0x7FFF after writes; RAM echo; code at 0xA000 ran; verdict.
  EXPECT_EQ(ram(0xC000, 6), (std::vector<uint8_t>{0xA5, 0x5A, 0x37, 0x3C, 0x77, kVerdictOk}));
  EXPECT_EQ(cart_image, image) << "ROM is never written";

  // The same image as "/file" loads it: cut at 32 KB, RAM from 0x8000.
  bus_machine::setup(io_read_port, io_write_port);
  cart_use_flat();
  load_flat(image);
  frames(2);
  EXPECT_EQ(MachineMemory[0x8000], 0xEE);
  EXPECT_EQ(MachineMemory[0xC005], kVerdictFlat);
}

TEST_F(Cartridge, SegaMapperSlotsFixedAreaWrapRegistersAndHardReset) {
  const std::vector<uint8_t> image = bus_machine::test_rom("cart_sega_128k");
  ASSERT_EQ(image.size(), 0x20000u);
  cart_insert(CartMap::Sega, image.data(), image.size());
  EXPECT_EQ(cart.bank_count, 8u);
  frames(2);

  for (uint32_t n = 0; n < 16; ++n) {  // 8-15 wrap to 0-7
    const uint8_t shown = static_cast<uint8_t>(kMark + n % 8);
    for (uint32_t slot = 0; slot < kSlotCount; ++slot) {
      EXPECT_EQ(MachineMemory[0xC100 + 0x20 * slot + n], shown) << "slot " << slot << " given " << n;
    }
    EXPECT_EQ(MachineMemory[0xC160 + n], shown) << "0x0400 with slot 0 given " << n;
    EXPECT_EQ(MachineMemory[0xC180 + n], kMark) << "0x03FF with slot 0 given " << n;
  }
  EXPECT_EQ(ram(0xC000, 3), (std::vector<uint8_t>{kMark, kMark + 1, kMark + 2})) << "at start";
  EXPECT_EQ(ram(0xC003, 4), (std::vector<uint8_t>{kMark, kMark + 7, kMark + 7, kMark + 7}))
      << "ROM bytes after writes";
  EXPECT_EQ(ram(0xC007, 7), (std::vector<uint8_t>{0x5C, 0x0D, 0x0E, 0x0C, kMark + 5, kMark + 6,
                                                   kMark + 4}))
      << "0xFFFC-0xFFFF read back, then the slots";
  EXPECT_EQ(MachineMemory[0xC00E], 0) << "errors the program counted";
  EXPECT_EQ(MachineMemory[0xC00F], kVerdictOk);
  EXPECT_EQ(cart_image, image) << "ROM is never written";
  EXPECT_TRUE(cart.banks[0] == 5 && cart.banks[1] == 6 && cart.banks[2] == 4);

  // F3: the map stays, the banks go back to 0, 1, 2, RAM keeps the registers' bytes.
  std::memset(MachineMemory + 0xC000, 0, 3);
  app_hard_reset();
  EXPECT_EQ(cart.map, CartMap::Sega);
  EXPECT_TRUE(cart.banks[0] == 0 && cart.banks[1] == 1 && cart.banks[2] == 2);
  EXPECT_EQ(ram(0xFFFC, 4), (std::vector<uint8_t>{0x5C, 0x0D, 0x0E, 0x0C}));
  EXPECT_EQ(peek(0x7FFF), kMark + 1);
  frames(1);
  EXPECT_EQ(ram(0xC000, 3), (std::vector<uint8_t>{kMark, kMark + 1, kMark + 2})) << "after F3";
  EXPECT_EQ(MachineMemory[0xC00F], kVerdictOk);

  // A library entry brings the flat map back: the logo runs and shows its screen.
  app_load_game(0);
  EXPECT_EQ(cart.map, CartMap::Flat);
  EXPECT_TRUE(cart_image.empty());
  frames(3);
  EXPECT_EQ(vdp.display_enabled, 1) << "the logo program, not the cartridge, is running";
  EXPECT_EQ(peek(0x4000), library_table[0].image[0]) << "the logo's mirror";
}

TEST_F(Cartridge, SegaImageOfOddSizeIsPaddedAndBanksWrapModuloItsCount) {
  std::vector<uint8_t> image(0xA000);  // two and a half banks
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i / kBankSize + 1);
  cart_insert(CartMap::Sega, image.data(), image.size());
  ASSERT_EQ(cart.bank_count, 3u);
  EXPECT_TRUE(cart_consistent(cart, cart_image.size()));
  EXPECT_TRUE(peek(0x8000) == 3 && peek(0x9FFF) == 3 && peek(0xA000) == kSegaPadByte);
  cart_sega_write(0xFFFF, 4);  // bank 4 of 3: bank 1
  EXPECT_TRUE(peek(0x8000) == 2 && MachineMemory[0xFFFF] == 4);
  cart_sega_write(0xFFFD, 0xFF);  // 255 mod 3: bank 0 (the first 1 KB never moves)
  EXPECT_TRUE(peek(0x0400) == 1 && peek(0x03FF) == 1 && cart.banks[0] == 0);
  cart_sega_write(0xFFFD, 2);
  EXPECT_TRUE(peek(0x0400) == 3 && peek(0x03FF) == 1 && peek(0x3FFF) == kSegaPadByte);
  cart_sega_write(0xFFFC, 1);  // RAM only
  EXPECT_TRUE(peek(0x0400) == 3 && peek(0x4000) == 2 && MachineMemory[0xFFFC] == 1);
}

TEST_F(Cartridge, RamAdapterOnlyUnderRam8k) {
  const std::vector<uint8_t> image = bus_machine::test_rom("cart_ram8k");
  load_flat(image);
  cart_add_ram8k();
  frames(2);
  // 0x2000, 0x3FFF, 0x1FFF, 0x4000 after writes; 0x2001 before; verdict.
  EXPECT_EQ(ram(0x8000, 6), (std::vector<uint8_t>{0x5A, 0xA5, 0x22, 0x33, 0x00, kVerdictOk}));

  bus_machine::setup(io_read_port, io_write_port);
  cart_use_flat();
  load_flat(image);
  frames(2);
  EXPECT_EQ(ram(0x8000, 6), (std::vector<uint8_t>{0x11, 0x11, 0x22, 0x33, 0x11, kVerdictNoRam}));
}

}  // namespace
