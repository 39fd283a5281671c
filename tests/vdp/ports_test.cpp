// The control and data port protocol, register decoding and reset. The frame
// flag and interrupt are tested through a Z80 program (program_test).
#include "vdp_test_util.h"

namespace {

TEST(VdpPorts, ControlPairsAndDataPort) {
  vdp_test_start();
  write_vram(0x1234, {});
  set_register(0x0F, 0x5A);  // register number bits 3..6 ignored: register 7
  EXPECT_EQ(vdp_peek_register(7), 0x5A);
  EXPECT_EQ(vdp.vram_address, 0x1234);  // a register write leaves the address and mode
  EXPECT_EQ(vdp.write_mode, 0x40);
  vdp_write_control(0x21);  // a data read between the two bytes keeps the pair open
  vdp_read_data();
  vdp_write_control(0x82);
  EXPECT_EQ(vdp_peek_register(2), 0x21);
  vdp_write_control(0x11);  // a status read resets it: 0x03 is taken as a first byte
  vdp_read_status();
  set_register(1, 0x03);
  EXPECT_EQ(vdp_peek_register(1), 0x03);

  vdp.vram[0x1000] = 0x77;  // data writes after a read set-up at 0x1000: pre-increment
  vdp_write_control(0x00);
  vdp_write_control(0x10);
  vdp_write_data(0xAA);
  vdp_write_data(0xBB);
  EXPECT_EQ(vdp_peek_vram(0x1000) << 16 | vdp_peek_vram(0x1001) << 8 | vdp_peek_vram(0x1002), 0x77AABB);
  EXPECT_EQ(vdp_read_data(), 0xBB);
  EXPECT_EQ(vdp.vram_address, 0x1003);
  write_vram(0x3FFF, {0x11, 0x22});  // after a write set-up: store, then advance; wraps
  vdp_write_control(0xFF);
  vdp_write_control(0x3F);  // a read set-up at 0x3FFF reads ahead
  EXPECT_EQ(vdp_read_data() << 8 | vdp_read_data(), 0x1122);
}

// The picture tests check table addresses and colours; here the rules behind them.
TEST(VdpPorts, ModesBackdropAndReset) {
  vdp_test_start();
  const int steps[][3] = {{0, 0x02, 2}, {1, 0x10, 2}, {0, 0x00, 0}, {1, 0x18, 0}, {1, 0x00, 1}};  // reg, value, mode
  for (const auto& s : steps) {  // M1 with M3 or M2: the mode stays
    set_register(s[0], s[1]);
    EXPECT_EQ(vdp.screen_mode, unsigned(s[2])) << s[0] << "=" << s[1];
  }
  set_register(7, 0x20);  // backdrop 0 shows black, colour 1
  EXPECT_EQ(vdp.text_colour_index, 2u);
  EXPECT_EQ(vdp.vdp_palette[0], colour_pixel(1));
  EXPECT_EQ(vdp.bg_term[0], vdp.bg_term[1]);
  set_registers(g1(0x62, 0x35));  // reset keeps registers and status, clears the rest
  write_vram(0x2000, {9});
  vdp.status = 0xA0;
  vdp_toggle_sprite_limit();
  vdp_write_control(0x12);
  vdp_reset();
  EXPECT_EQ(vdp.sprite_limit + vdp.screen_mode + vdp.display_enabled + vdp.sprites_16, 0u);
  EXPECT_EQ(vdp_peek_vram(0x2000) + vdp.second_byte_pending + vdp.write_mode, 0);
  EXPECT_EQ(vdp_peek_register(1) << 8 | vdp_peek_status(), 0x62A0);
  EXPECT_EQ(vdp.backdrop_pixel, colour_pixel(5));
}

}  // namespace
