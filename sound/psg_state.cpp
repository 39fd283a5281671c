// The sound generator's part of a save state. Loaded values are held to the
// ranges the generator itself makes, so a loaded state cannot drive its
// fixed-point arithmetic past 32 bits.
#include "sound/psg.h"
#include "state/state_bytes.h"

// The size of the record this serialiser was written for; a test compares it
// with the record, so a field added to the record is not forgotten here.
extern const uint32_t kPsgStateRecordSize = 188;

namespace {

constexpr int32_t kMaxRegister = 0x3FF;         // ten bits of tone period
constexpr int32_t kRegisterCount = 8;
constexpr int32_t kMaxLevel = 0x7FFF;
// Longer than any period or count the generator makes (2,046 ticks at the
// largest step), small enough that a sample's sums stay inside 32 bits.
constexpr int32_t kMaxTime = 0x20000000;

bool in_range(int32_t v, int32_t low, int32_t high) { return v >= low && v <= high; }

}  // namespace

void psg_state_save(StateWriter& out) {
  for (int32_t r : psg.registers) out.u16(static_cast<uint32_t>(r));
  out.u8(static_cast<uint32_t>(psg.last_register));
  out.u32(psg.noise_shift);
  out.u32(psg.noise_feedback);
  for (int c = 0; c < 4; ++c) {
    out.u32(static_cast<uint32_t>(psg.volume[c]));
    out.u32(static_cast<uint32_t>(psg.period[c]));
    out.u32(static_cast<uint32_t>(psg.count[c]));
    out.u8(static_cast<uint32_t>(psg.output[c]));
  }
}

bool psg_state_load(StateReader& in, PsgState* into) {
  PsgState& p = *into;
  bool valid = true;
  for (int32_t& r : p.registers) {
    r = static_cast<int32_t>(in.u16());
    valid = valid && in_range(r, 0, kMaxRegister);
  }
  p.last_register = static_cast<int32_t>(in.u8());
  p.noise_shift = in.u32();
  p.noise_feedback = in.u32();
  valid = valid && p.last_register < kRegisterCount &&
          (p.noise_feedback == 0 || p.noise_feedback == kPsgWhiteFeedback ||
           p.noise_feedback == kPsgPeriodicFeedback);
  for (int c = 0; c < 4; ++c) {
    p.volume[c] = static_cast<int32_t>(in.u32());
    p.period[c] = static_cast<int32_t>(in.u32());
    p.count[c] = static_cast<int32_t>(in.u32());
    p.output[c] = static_cast<int32_t>(in.u8());
    valid = valid && in_range(p.volume[c], 0, kMaxLevel) && in_range(p.period[c], 1, kMaxTime) &&
            in_range(p.count[c], 1, kMaxTime) && p.output[c] <= 1;
  }
  return in.done() && valid;
}
