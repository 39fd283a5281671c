// The key recorder and player. The recording is written as the run goes,
// into a temporary file that replaces the target at the end; a replay file
// is read and checked whole before the first frame, so a damaged one
// changes nothing.
#include "app/key_log.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "app/host_input.h"

KeyLog key_log;

namespace {

constexpr uint8_t kKeyDown = 0x80;
constexpr size_t kMaxReplayBytes = 64u << 20;
constexpr const char* kRecordingHeader = "# QUAV keys: frame, key, down or up\n";

std::string fail(const std::string& text) {
  std::fprintf(stderr, "quav: %s\n", text.c_str());
  return text;
}

bool parse_frame(const std::string& word, int32_t* frame) {
  if (word.empty() || word.find_first_not_of("0123456789") != std::string::npos) return false;
  errno = 0;
  const long value = std::strtol(word.c_str(), nullptr, 10);
  if (errno != 0 || value > INT32_MAX) return false;
  *frame = static_cast<int32_t>(value);
  return true;
}

// One line's change, checked against the keys held so far.
bool parse_line(const std::string& text, const uint8_t held[256], int32_t last_frame,
                KeyChange* change, std::string* why) {
  std::istringstream in(text);
  std::string frame, key, state, extra;
  in >> frame >> key >> state >> extra;
  if (state.empty() || !extra.empty()) {
    *why = "expected FRAME KEY down|up";
    return false;
  }
  if (!parse_frame(frame, &change->frame)) {
    *why = "'" + frame + "' is not a frame number";
    return false;
  }
  if (change->frame < last_frame) {
    *why = "frame " + frame + " comes after frame " + std::to_string(last_frame);
    return false;
  }
  const int code = input_key_code(key.c_str());
  if (code <= 0) {
    *why = "unknown key '" + key + "'";
    return false;
  }
  if (state != "down" && state != "up") {
    *why = "'" + state + "' is neither down nor up";
    return false;
  }
  change->code = static_cast<uint8_t>(code);
  change->down = state == "down" ? 1 : 0;
  if ((held[code] != 0) == (change->down != 0)) {
    *why = key + " is already " + state;
    return false;
  }
  return true;
}

void record_view(const uint8_t now[256], int32_t frame) {
  for (int code = 1; code < 256; ++code) {
    const char* name = input_key_name(code);
    const uint8_t down = name != nullptr && (now[code] & kKeyDown) ? kKeyDown : 0;
    if (down == key_log.view[code]) continue;
    key_log.view[code] = down;
    char line[64];
    const int n = std::snprintf(line, sizeof line, "%d %s %s\n", frame, name,
                                down ? "down" : "up");
    output_write(&key_log.out, line, static_cast<size_t>(n));
  }
}

}  // namespace

int key_log_parse(const std::string& text, std::vector<KeyChange>* changes, std::string* why) {
  changes->clear();
  uint8_t held[256] = {};
  int32_t last_frame = 0;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    KeyChange change{};
    if (!parse_line(line, held, last_frame, &change, why)) {
      *why = "line " + std::to_string(number) + ": " + *why;
      return 0;
    }
    held[change.code] = change.down;
    last_frame = change.frame;
    changes->push_back(change);
  }
  return 1;
}

int key_log_record(const char* path, std::string* line) {
  key_log_finish();
  if (!output_open(&key_log.out, path)) {  // which has reported it on stderr
    *line = std::string("cannot write ") + path + ": " + std::strerror(key_log.out.error);
    return 0;
  }
  output_write(&key_log.out, kRecordingHeader, std::strlen(kRecordingHeader));
  key_log.mode = KeyLogMode::Record;
  std::memset(key_log.view, 0, sizeof key_log.view);
  return 1;
}

int key_log_replay(const char* path, std::string* line) {
  std::vector<uint8_t> bytes;
  bool longer = false;
  std::string why;
  if (!file_read_checked(path, kMaxReplayBytes, &bytes, &longer, &why)) {
    *line = fail(std::string("cannot replay ") + path + ": " + why);
    return 0;
  }
  std::vector<KeyChange> changes;
  if (longer) {
    why = "larger than " + std::to_string(kMaxReplayBytes) + " bytes";
  } else if (std::memchr(bytes.data(), 0, bytes.size()) != nullptr) {
    why = "not a text file";
  } else if (key_log_parse(std::string(bytes.begin(), bytes.end()), &changes, &why)) {
    key_log_finish();
    key_log.mode = KeyLogMode::Replay;
    key_log.changes = std::move(changes);
    key_log.next = 0;
    std::memset(key_log.view, 0, sizeof key_log.view);
    return 1;
  }
  *line = fail(std::string("cannot replay ") + path + ": " + why);
  return 0;
}

void key_log_pass(int32_t frame) {
  if (key_log.mode == KeyLogMode::Off) return;
  if (key_log.mode == KeyLogMode::Record) {
    uint8_t now[256];
    platform_keys_now(now);
    record_view(now, frame);
  } else {
    // One change per key and pass: a second change of the same key waits
    // for the next pass.
    uint8_t changed[256] = {};
    for (; key_log.next < key_log.changes.size(); ++key_log.next) {
      const KeyChange& c = key_log.changes[key_log.next];
      if (c.frame > frame || changed[c.code]) break;
      changed[c.code] = 1;
      key_log.view[c.code] = c.down ? kKeyDown : 0;
    }
  }
  platform_keys_override(key_log.view);
}

int key_log_finish() {
  const KeyLogMode mode = key_log.mode;
  key_log.mode = KeyLogMode::Off;
  key_log.changes.clear();
  platform_keys_override(nullptr);
  return mode == KeyLogMode::Record ? output_commit(&key_log.out) : 1;
}
