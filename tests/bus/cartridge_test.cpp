// The cartridge maps: the choice by size and name, the Sega cartridge on
// the real core across F3 and a library load, and an image of an odd size.
#include <gtest/gtest.h>

#include <vector>

#include "app/app.h"
#include "app/library.h"
#include "bus/cartridge.h"
#include "bus/io.h"
#include "support/bus_machine.h"
#include "vdp/vdp.h"
#include "z80/cpu.h"

namespace {

constexpr uint8_t kVerdictOk = 3;

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
  // A data read as the core makes it on a page without a handler.
  static uint8_t peek(uint32_t address) {
    const PageEntry& e = cpu.read_pages[address >> 8];
    EXPECT_EQ(e.handler, nullptr) << std::hex << address;
    return *reinterpret_cast<const uint8_t*>(e.base + address);
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

// The program checks every slot over banks 0-15 and the rest from inside,
// also after F3 (tests/roms/cart_sega.asm, run through the executable by
// tests/app/cartridge_maps.sh). Here: F3 keeps the map and leaves in RAM the
// bytes written to the registers; a library entry brings the flat map back.
TEST_F(Cartridge, HardResetKeepsTheSegaMapAndALibraryEntryEndsIt) {
  const std::vector<uint8_t> image = bus_machine::test_rom("cart_sega_128k");
  ASSERT_EQ(image.size(), 0x20000u);
  cart_insert(CartMap::Sega, image.data(), image.size());
  frames(2);
  ASSERT_EQ(vdp_peek_register(7), kVerdictOk);
  app_hard_reset();
  EXPECT_EQ(cart.map, CartMap::Sega);
  EXPECT_TRUE(cart.banks[0] == 0 && cart.banks[1] == 1 && cart.banks[2] == 2);
  EXPECT_EQ(std::vector<uint8_t>(MachineMemory + 0xFFFC, MachineMemory + 0x10000),
            (std::vector<uint8_t>{0x5C, 0x0D, 0x0E, 0x0C}));

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

}  // namespace
