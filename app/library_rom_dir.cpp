// The ROM directory: where the library finds the images of entries 1-33,
// which are not built in. The directory is the first of --roms DIR,
// $QUAV_ROMS, ./roms and $XDG_DATA_HOME/quav/roms (~/.local/share/quav/roms
// when XDG_DATA_HOME is unset) that exists. An entry's file is its title's
// slug plus .sc, .sg, .bin or .rom, matched without regard to case.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/library.h"
#include "app/library_rom_dir.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kExtensions[] = {".sc", ".sg", ".bin", ".rom"};
constexpr int kExtensionCount = 4;

std::string rom_dir_option;
uint8_t staged_image[kImage40K];

bool is_alnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }
char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool same_ignoring_case(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// 0-3: the preference of the extension `name` carries after `slug`; -1: no match.
int match_rank(const std::string& name, const std::string& slug) {
  for (int rank = 0; rank < kExtensionCount; ++rank) {
    if (same_ignoring_case(name, slug + kExtensions[rank])) return rank;
  }
  return -1;
}

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? std::string(v) : std::string();
}

}  // namespace

void library_set_rom_dir(const char* dir) { rom_dir_option = dir != nullptr ? dir : ""; }

std::string library_slug(const GameEntry& entry) {
  std::string slug;
  bool pending_gap = false;
  for (char c : entry.title) {
    if (c == '\'' || c == '.') continue;
    if (is_alnum(c)) {
      if (pending_gap && !slug.empty()) slug += '_';
      pending_gap = false;
      slug += lower(c);
    } else {
      pending_gap = true;  // a trailing run is dropped with the trim
    }
  }
  return slug;
}

std::string library_file_name(int index) {
  return library_slug(library_table[index]) + kExtensions[0];
}

std::string library_rom_dir() {
  std::string xdg = env("XDG_DATA_HOME");
  if (xdg.empty() && !env("HOME").empty()) xdg = env("HOME") + "/.local/share";
  const std::string candidates[] = {
      rom_dir_option,
      env("QUAV_ROMS"),
      "./roms",
      xdg.empty() ? std::string() : xdg + "/quav/roms",
  };
  for (const std::string& dir : candidates) {
    std::error_code ec;
    if (!dir.empty() && fs::is_directory(dir, ec)) return dir;
  }
  return std::string();
}

std::string library_find_image(const std::string& dir, int index) {
  if (dir.empty()) return std::string();
  const std::string slug = library_slug(library_table[index]);
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  if (ec) return std::string();
  int best_rank = kExtensionCount;
  std::string best_name;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const int rank = match_rank(name, slug);
    // Two names differing only in case: the smaller one, so a run repeats.
    if (rank >= 0 && (rank < best_rank || (rank == best_rank && name < best_name))) {
      best_rank = rank;
      best_name = name;
    }
  }
  if (ec || best_name.empty()) return std::string();
  return (fs::path(dir) / best_name).string();
}

const uint8_t* library_read_image(int index) {
  const uint32_t size = library_table[index].size;
  const std::string dir = library_rom_dir();
  const std::string path = library_find_image(dir, index);
  if (path.empty()) {
    std::fprintf(stderr, "quav: No image: %s (%s)\n", library_file_name(index).c_str(),
                 dir.empty() ? "no ROM directory found" : ("not found in " + dir).c_str());
    return nullptr;
  }
  std::vector<uint8_t> image;
  bool longer = false;
  std::string why;
  if (!file_read_checked(path.c_str(), size, &image, &longer, &why)) {
    std::fprintf(stderr, "quav: No image: cannot read %s: %s\n", path.c_str(), why.c_str());
    return nullptr;
  }
  std::memset(staged_image, 0, sizeof staged_image);
  std::memcpy(staged_image, image.data(), image.size());  // a short file leaves zeros
  if (longer) {
    std::fprintf(stderr, "quav: %s is longer than %u bytes; the rest is ignored\n", path.c_str(),
                 size);
  }
  return staged_image;
}

void library_print(FILE* out) {
  const std::string dir = library_rom_dir();
  if (dir.empty()) {
    std::fprintf(out,
                 "ROM directory: none found (--roms DIR, $QUAV_ROMS, ./roms, "
                 "$XDG_DATA_HOME/quav/roms)\n");
  } else {
    std::fprintf(out, "ROM directory: %s\n", dir.c_str());
  }
  for (int i = 0; i < kLibrarySize; ++i) {
    const GameEntry& e = library_table[i];
    if (e.image != nullptr) {
      std::fprintf(out, "%3d  %.16s  %-20s built in\n", i, e.title, "-");
      continue;
    }
    const std::string path = library_find_image(dir, i);
    std::fprintf(out, "%3d  %.16s  %-20s %s%s\n", i, e.title, library_file_name(i).c_str(),
                 path.empty() ? "missing" : "found: ", path.c_str());
  }
}
