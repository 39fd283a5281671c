// The cartridge's memory map. The machine's own map is the flat one: the
// image (at most 32 KB) read-only at 0x0000 in MachineMemory, RAM from
// 0x8000. A cartridge image named by a bare path may bring another map:
//
//   rom    up to 48 KB of image at 0x0000-0xBFFF, read-only; RAM 0xC000-0xFFFF
//   sega   16 KB banks: 0x0000-0x3FFF, 0x4000-0x7FFF and 0x8000-0xBFFF show
//          the banks last written to 0xFFFD, 0xFFFE and 0xFFFF (modulo the
//          bank count; 0, 1, 2 at start), except that 0x0000-0x03FF always
//          shows the image's first 1 KB; RAM 0xC000-0xFFFF, and writes to
//          0xFFFC-0xFFFF reach it as well (0xFFFC does nothing else)
//   ram8k  the flat map plus 8 KB of RAM at 0x2000-0x3FFF
//
// The map is the record `cart` plus the image bytes in `cart_image` (rom and
// sega). Both are plain data: whoever restores them calls cart_apply_map to
// point the Z80's pages at them again. ROM is never written. Only page 0xFF's
// writes go through a handler under the sega map; every other access stays
// a direct page access.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class CartMap : uint32_t { Flat = 0, Rom = 1, Sega = 2, Ram8k = 3 };
// What --mapper asks for: a map by name, or one chosen by the image's size.
enum class MapperChoice { Auto, Rom, Sega, Ram8k };

constexpr uint32_t kBankSize = 0x4000;
constexpr uint32_t kSlotCount = 3;             // 16 KB slots at 0x0000, 0x4000, 0x8000
constexpr uint32_t kFlatImageLimit = 0x8000;   // the flat map's cartridge area
constexpr uint32_t kRomImageLimit = 0xC000;    // the rom map's cartridge area
constexpr uint32_t kCartImageLimit = 4u << 20; // the largest image taken: 4 MB, 256 banks
constexpr uint8_t kSegaPadByte = 0xFF;         // fills a sega image's last bank (and a short rom image)

struct CartridgeState {
  CartMap map;
  uint32_t bank_count;         // sega: 16 KB banks in cart_image (1-256); otherwise 0
  uint32_t banks[kSlotCount];  // sega: the bank each slot shows, already taken modulo bank_count
};

extern CartridgeState cart;
// The image under the rom map (48 KB) and the sega map (bank_count banks).
extern std::vector<uint8_t> cart_image;

// "rom", "sega", "ram8k" or "auto"; false for any other name.
bool cart_parse_mapper(const char* name, MapperChoice* choice);
// The map an image of `size` bytes gets: auto picks flat up to 32 KB, rom up
// to 48 KB and sega above; rom keeps the flat map up to 32 KB; an empty image
// keeps the flat map under sega too.
CartMap cart_choose_map(MapperChoice choice, size_t size);

// Points the Z80's pages at the map that `cart` describes.
void cart_apply_map();
// Takes an image under the rom or sega map (size at most kCartImageLimit):
// memory cleared, the image kept in cart_image (cut at 48 KB under rom), the
// banks 0, 1, 2, the map applied. The CPU is not touched.
void cart_insert(CartMap map, const uint8_t* image, size_t size);
// The RAM adapter over the flat map: 0x2000-0x3FFF cleared and writable.
void cart_add_ram8k();
// Hard reset: the map stays, the sega banks go back to 0, 1, 2.
void cart_reset_banks();
// Back to the flat map (a library entry is being loaded).
void cart_use_flat();
// The write handler of page 0xFF under the sega map: RAM, then the bank
// registers at 0xFFFD-0xFFFF.
void cart_sega_write(uint32_t address, uint32_t value);
// True when a map record and an image of `image_size` bytes agree (a
// restored state must, before cart_apply_map).
bool cart_consistent(const CartridgeState& c, size_t image_size);

// Save states (bus/cartridge_state.cpp): the record and the image bytes.
class StateWriter;
class StateReader;
extern const uint32_t kCartridgeStateRecordSize;
void cartridge_state_save(StateWriter& out);
bool cartridge_state_load(StateReader& in, CartridgeState* cart_into,
                          std::vector<uint8_t>* image_into);
