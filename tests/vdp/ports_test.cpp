// The control and data port protocol, register decoding and reset. The
// frame flag and interrupt are tested through a Z80 program (program_test).
#include "vdp_test_util.h"

namespace {

class VdpPorts : public testing::Test {
 protected:
  void SetUp() override { vdp_test_start(); }
};

TEST_F(VdpPorts, ControlPairs) {
  write_vram(0x1234, {});
  vdp_write_control(0x5A);
  vdp_write_control(0x8F);  // bits 3..6 ignored: register 7
  EXPECT_EQ(vdp_peek_register(7), 0x5A);
  EXPECT_EQ(vdp.vram_address, 0x1234);
  EXPECT_EQ(vdp.write_mode, 0x40);

  // A data read between the two bytes keeps the pair open.
  vdp_write_control(0x21);
  vdp_read_data();
  vdp_write_control(0x82);
  EXPECT_EQ(vdp_peek_register(2), 0x21);

  // A status read resets it: 0x03 is taken as a first byte.
  vdp_write_control(0x11);
  vdp_read_status();
  vdp_write_control(0x03);
  vdp_write_control(0x81);
  EXPECT_EQ(vdp_peek_register(1), 0x03);
}

TEST_F(VdpPorts, DataAfterReadAndWriteSetups) {
  vdp.vram[0x1000] = 0x77;
  vdp_write_control(0x00);
  vdp_write_control(0x10);  // read set-up at 0x1000
  vdp_write_data(0xAA);
  vdp_write_data(0xBB);
  EXPECT_EQ(vdp_peek_vram(0x1000), 0x77);
  EXPECT_EQ(vdp_peek_vram(0x1001), 0xAA);
  EXPECT_EQ(vdp_peek_vram(0x1002), 0xBB);
  EXPECT_EQ(vdp_read_data(), 0xBB);
  EXPECT_EQ(vdp.vram_address, 0x1003);

  write_vram(0x3FFF, {0x11, 0x22});  // write set-up: store, then advance; wraps
  EXPECT_EQ(vdp_peek_vram(0x3FFF), 0x11);
  EXPECT_EQ(vdp_peek_vram(0x0000), 0x22);
  vdp_write_control(0xFF);
  vdp_write_control(0x3F);
  EXPECT_EQ(vdp_read_data(), 0x11);
  EXPECT_EQ(vdp_read_data(), 0x22);
}

TEST_F(VdpPorts, ModesAndTableAddresses) {
  set_register(2, 0xFF);
  set_register(3, 0xFF);
  set_register(4, 0xFF);
  set_register(5, 0xFF);
  set_register(6, 0xFF);
  set_register(0, 0x02);  // Graphics II
  EXPECT_EQ(vdp.screen_mode, 2u);
  EXPECT_EQ(vdp.colour_base % 0x4000, 0x2000u);
  EXPECT_EQ(vdp.pattern_base % 0x4000, 0x2000u);
  EXPECT_EQ(vdp.name_base % 0x4000, 0x3C00u);
  EXPECT_EQ(vdp.sprite_attr_base, 0x7F80u);
  set_register(1, 0x10);  // M1 with M3: the mode stays
  EXPECT_EQ(vdp.screen_mode, 2u);
  set_register(0, 0x00);  // M1 alone: Text, sprite attributes at 0
  EXPECT_EQ(vdp.screen_mode, 0u);
  EXPECT_EQ(vdp.sprite_attr_base, 0u);
  EXPECT_EQ(vdp.colour_base, 0u);
  set_register(1, 0x18);  // M1 and M2: the mode stays
  EXPECT_EQ(vdp.screen_mode, 0u);
  set_register(1, 0x00);
  EXPECT_EQ(vdp.screen_mode, 1u);
  EXPECT_EQ(vdp.colour_base, 0x3FC0u);
}

TEST_F(VdpPorts, BackdropRegister) {
  set_register(7, 0x2C);
  EXPECT_EQ(vdp.text_colour_index, 2u);
  EXPECT_EQ(vdp.backdrop_pixel, colour_pixel(12));
  EXPECT_EQ(vdp.vdp_palette[0], colour_pixel(12));
  EXPECT_EQ(vdp.bg_term[0], vdp.bg_term[12]);
  set_register(7, 0x00);  // backdrop 0 shows black, colour 1
  EXPECT_EQ(vdp.backdrop_pixel, colour_pixel(1));
  EXPECT_EQ(vdp.vdp_palette[0], colour_pixel(1));
  EXPECT_EQ(vdp.bg_term[0], vdp.bg_term[1]);
  for (int c = 1; c < 16; ++c) EXPECT_EQ(vdp.vdp_palette[c], colour_pixel(c)) << c;
}

TEST_F(VdpPorts, ResetKeepsRegistersAndClearsTheRest) {
  set_register(1, 0x62);
  set_register(7, 0x35);
  write_vram(0x2000, {9});
  vdp.status = 0xA0;
  vdp_toggle_sprite_limit();
  vdp_write_control(0x12);
  vdp_reset();
  EXPECT_EQ(vdp.sprite_limit, 0u);
  EXPECT_EQ(vdp_peek_vram(0x2000), 0);
  EXPECT_EQ(vdp.second_byte_pending, 0);
  EXPECT_EQ(vdp.write_mode, 0);
  EXPECT_EQ(vdp.screen_mode, 0u);
  EXPECT_EQ(vdp.display_enabled, 0u);
  EXPECT_EQ(vdp.sprites_16, 0u);
  EXPECT_EQ(vdp_peek_register(1), 0x62);
  EXPECT_EQ(vdp_peek_status(), 0xA0);
  EXPECT_EQ(vdp.backdrop_pixel, colour_pixel(5));
  EXPECT_EQ(vdp_toggle_sprite_limit(), 1u);
  EXPECT_EQ(vdp_toggle_sprite_limit(), 0u);
}

}  // namespace
