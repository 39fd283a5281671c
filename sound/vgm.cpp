// The VGM logger's command buffer, header and the file it makes.
#include "sound/vgm.h"

#include <cstddef>

VgmLog vgm;

namespace {

constexpr uint32_t kVgmVersion = 0x100;
constexpr uint32_t kSnClock = 3579545;
constexpr int kOffsetEof = 0x04;
constexpr int kOffsetVersion = 0x08;
constexpr int kOffsetSnClock = 0x0C;
constexpr int kOffsetTotalSamples = 0x18;
constexpr int kZeroedFrom = 0x10;  // YM2413 clock, GD3, total, loop offset, loop samples
constexpr int kZeroedTo = 0x24;
constexpr int32_t kEofBase = kVgmHeaderBytes - 4;

constexpr uint8_t kCmdPsgWrite = 0x50;
constexpr uint8_t kCmdWait = 0x61;
constexpr uint8_t kCmdWait735 = 0x62;
constexpr uint8_t kCmdWait882 = 0x63;
constexpr uint8_t kCmdEnd = 0x66;

// Beyond this the log takes no more commands (about a thousand hours of
// waits); what it holds stays a whole, valid file.
constexpr int32_t kMaxLength = 0x7FF00000 - kVgmDataStep;

void put_u32(int offset, uint32_t v) {
  for (int i = 0; i < 4; ++i) vgm.header[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t get_u32(int offset) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(vgm.header[offset + i]) << (8 * i);
  return v;
}

// Makes room for a whole command of n bytes plus the end mark, growing the
// buffer in steps. 0 when the log has reached its limit.
int room_for(int32_t n) {
  const int64_t need = static_cast<int64_t>(vgm.length) + n + 1;
  if (need <= static_cast<int64_t>(vgm.data.size())) return 1;
  if (need > kMaxLength) return 0;
  vgm.data.resize(vgm.data.size() + kVgmDataStep);
  return 1;
}

void append(uint8_t b) { vgm.data[static_cast<size_t>(vgm.length++)] = b; }

}  // namespace

void vgm_start() {
  for (uint8_t& b : vgm.header) b = 0;
  vgm.header[0] = 'V';
  vgm.header[1] = 'g';
  vgm.header[2] = 'm';
  vgm.header[3] = ' ';
  put_u32(kOffsetVersion, kVgmVersion);
  put_u32(kOffsetSnClock, kSnClock);
  for (int i = kZeroedFrom; i < kZeroedTo; ++i) vgm.header[i] = 0;
  if (vgm.data.size() < static_cast<size_t>(kVgmDataStep)) vgm.data.resize(kVgmDataStep);
  vgm.length = 0;
  vgm.active = 1;
}

uint32_t vgm_is_logging() { return vgm.active; }

void vgm_put_byte(uint8_t b) {
  if (vgm.active && room_for(1)) append(b);
}

void vgm_log_psg_write(uint8_t b) {
  if (!vgm.active || !room_for(2)) return;
  append(kCmdPsgWrite);
  append(b);
}

void vgm_log_wait(int32_t n) {
  if (!vgm.active || !room_for(3)) return;
  if (n == 735) {
    append(kCmdWait735);
  } else if (n == 882) {
    append(kCmdWait882);
  } else {
    append(kCmdWait);
    append(static_cast<uint8_t>(n & 0xFF));
    append(static_cast<uint8_t>((n >> 8) & 0xFF));
  }
  put_u32(kOffsetTotalSamples, get_u32(kOffsetTotalSamples) + static_cast<uint32_t>(n));
}

int vgm_finish(std::vector<uint8_t>* file) {
  if (!vgm.active) return 0;
  append(kCmdEnd);  // room_for always keeps one byte for it
  vgm.active = 0;
  put_u32(kOffsetEof, static_cast<uint32_t>(vgm.length + kEofBase));
  file->assign(vgm.header, vgm.header + sizeof vgm.header);
  file->insert(file->end(), vgm.data.begin(), vgm.data.begin() + vgm.length);
  return 1;
}
