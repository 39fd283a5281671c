// State files and the VGM log on disk.
#include "app/machine_files.h"

#include <cstring>

#include "machine/machine.h"
#include "platform/platform.h"

namespace {

uint32_t le32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// RetroArch keeps a core's state bytes in a container of its own: "RASTATE"
// and a version byte, then blocks of a four-letter tag, a 32-bit size and
// the bytes, each block starting on a multiple of 8, the last one "END ".
// The core's bytes are the block "MEM ". False when `file` is no such
// container or has no such block.
bool unwrap_retroarch_state(std::vector<uint8_t>* file) {
  constexpr char kContainer[7] = {'R', 'A', 'S', 'T', 'A', 'T', 'E'};
  constexpr size_t kFirstBlock = 8, kBlockHeader = 8, kAlign = 8;
  if (file->size() < kFirstBlock || std::memcmp(file->data(), kContainer, sizeof kContainer) != 0) {
    return false;
  }
  for (size_t at = kFirstBlock; at + kBlockHeader <= file->size();) {
    const uint8_t* tag = file->data() + at;
    const size_t size = le32(tag + 4);
    if (std::memcmp(tag, "END ", 4) == 0 || size > file->size() - at - kBlockHeader) return false;
    if (std::memcmp(tag, "MEM ", 4) == 0) {
      const auto first = file->begin() + static_cast<std::ptrdiff_t>(at + kBlockHeader);
      *file = std::vector<uint8_t>(first, first + static_cast<std::ptrdiff_t>(size));
      return true;
    }
    at += (kBlockHeader + size + kAlign - 1) / kAlign * kAlign;
  }
  return false;
}

}  // namespace

bool state_read_file(const std::string& path, std::vector<uint8_t>* bytes, std::string* why) {
  bool longer = false;
  if (!file_read_checked(path.c_str(), kMaxStateBytes, bytes, &longer, why)) return false;
  if (longer) {
    *why = "too large to be a QUAV state file";
    return false;
  }
  if (bytes->size() >= 5 && std::memcmp(bytes->data(), "#RZIP", 5) == 0) {
    *why = "compressed by RetroArch (save it with Savestate Compression off)";
    return false;
  }
  unwrap_retroarch_state(bytes);
  return true;
}

bool state_load_file(const std::string& path, std::string* why) {
  std::vector<uint8_t> bytes;
  return state_read_file(path, &bytes, why) && machine_load_state(bytes, why);
}

bool state_save_file(const std::string& path, std::string* why) {
  const std::vector<uint8_t> bytes = machine_save_state();
  OutputFile out;
  if (output_open(&out, path.c_str())) {
    output_write(&out, bytes.data(), bytes.size());
    if (output_commit(&out)) return true;
  }
  *why = std::strerror(out.error);
  return false;
}

int vgm_stop(const char* file_name) {
  std::vector<uint8_t> file;
  if (!machine_vgm_finish(&file) || file_name == nullptr) return 1;
  OutputFile out;
  if (!output_open(&out, file_name)) return 0;
  output_write(&out, file.data(), file.size());
  return output_commit(&out);
}
