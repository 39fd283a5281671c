// State files and the VGM log on disk.
#include "app/machine_files.h"

#include <cstring>

#include "machine/machine.h"
#include "platform/platform.h"

bool state_read_file(const std::string& path, std::vector<uint8_t>* bytes, std::string* why) {
  bool longer = false;
  if (!file_read_checked(path.c_str(), kMaxStateBytes, bytes, &longer, why)) return false;
  if (longer) {
    *why = "too large to be a QUAV state file";
    return false;
  }
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
