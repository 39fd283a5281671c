// Fuzzes the state loader. The first byte picks what the rest is: a whole
// file as it is; a whole file under a correct checksum; a real state with
// bytes changed at chosen places under a correct checksum; a real state cut
// at a chosen length under a correct checksum. A refused state must leave
// the machine exactly as it was (never half-loaded) and say why; an
// accepted one must run a frame, drawn, without a fault.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "machine/machine.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kWarmUpFrames = 30;
constexpr size_t kChangeBytes = 4;  // three of place, one of value

Bytes good;

void set_up() {
  machine_power_on(MachineKind::Pal);
  machine_boot_logo();
  for (int f = 0; f < kWarmUpFrames; ++f) machine_run_frame(1);
  good = machine_save_state();
}

void fix_crc(Bytes* b) {
  if (b->size() < 4) return;
  const size_t n = b->size() - 4;
  const uLong crc = crc32(crc32(0L, Z_NULL, 0), b->data(), static_cast<uInt>(n));
  for (int i = 0; i < 4; ++i) (*b)[n + i] = static_cast<uint8_t>(crc >> (8 * i));
}

Bytes state_from(const uint8_t* data, size_t size) {
  const uint8_t mode = data[0] % 4;
  Bytes rest(data + 1, data + size);
  if (mode == 0) return rest;
  if (mode == 1) {
    fix_crc(&rest);
    return rest;
  }
  Bytes b = good;
  if (mode == 2) {
    for (size_t i = 0; i + kChangeBytes <= rest.size(); i += kChangeBytes) {
      const size_t at = (rest[i] << 16 | rest[i + 1] << 8 | rest[i + 2]) % b.size();
      b[at] = rest[i + 3];
    }
  } else if (rest.size() >= 3) {
    b.resize((rest[0] << 16 | rest[1] << 8 | rest[2]) % b.size());
  }
  fix_crc(&b);
  return b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = (set_up(), true);
  (void)ready;
  if (size == 0) return 0;
  const Bytes bytes = state_from(data, size);
  const Bytes before = machine_save_state();
  std::string why;
  if (!machine_load_state(bytes, &why)) {
    if (why.empty() || machine_save_state() != before) std::abort();
    return 0;
  }
  machine_run_frame(1);
  // Back to the real state for the next input.
  if (!machine_load_state(good, &why)) std::abort();
  return 0;
}
