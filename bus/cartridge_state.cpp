// The cartridge's part of a save state: the map, its bank count and banks,
// and the image bytes the rom and sega maps read from (empty for the flat
// map and the RAM adapter, whose bytes are in the memory section).
#include "bus/cartridge.h"
#include "state/state_bytes.h"

// The record's size when this serialiser was written; a test compares it.
extern const uint32_t kCartridgeStateRecordSize = 20;

void cartridge_state_save(StateWriter& out) {
  out.u32(static_cast<uint32_t>(cart.map));
  out.u32(cart.bank_count);
  for (uint32_t bank : cart.banks) out.u32(bank);
  out.u32(static_cast<uint32_t>(cart_image.size()));
  out.bytes(cart_image.data(), cart_image.size());
}

bool cartridge_state_load(StateReader& in, CartridgeState* cart_into,
                          std::vector<uint8_t>* image_into) {
  const uint32_t map = in.u32();
  if (map > static_cast<uint32_t>(CartMap::Ram8k)) return false;
  cart_into->map = static_cast<CartMap>(map);
  cart_into->bank_count = in.u32();
  for (uint32_t& bank : cart_into->banks) bank = in.u32();
  const uint32_t size = in.u32();
  if (!in.ok() || size > kCartImageLimit || size != in.left()) return false;
  image_into->resize(size);
  in.bytes(image_into->data(), size);
  return in.done() && cart_consistent(*cart_into, size);
}
