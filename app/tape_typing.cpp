// The cassette deck and typing as the shell drives them: from the command
// line at start-up, from Shift+F5, F6 and F7 in the window, and in the load
// display.
#include "app/tape_typing.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/tape_wav.h"
#include "app/typing.h"
#include "machine/cassette.h"
#include "platform/platform.h"

namespace {

constexpr size_t kMaxTypedFile = 1 << 20;  // far above any listing
constexpr size_t kRecordedLimit = 1 << 16;  // samples recorded before they go to the file
constexpr int kClipboardDelay = 1;         // polls before the clipboard's first key

// The strokes of a text, each character without a key named on stderr.
std::vector<KeyStroke> strokes_of(const std::string& text, bool escapes) {
  const TypedText typed = typing_parse(text, escapes);
  for (const auto& [code, count] : typed.missing) {
    std::fprintf(stderr, "quav: %s\n", typing_missing_line(code, count).c_str());
  }
  return typed.strokes;
}

int fail(std::string* line, const std::string& text) {
  std::fprintf(stderr, "quav: %s\n", text.c_str());
  *line = text;
  return 0;
}

}  // namespace

int app_tape_setup(const RunOptions& o, std::string* line) {
  if (!o.tape.empty()) {
    TapeLevels levels;
    std::string why, note;
    if (!tape_wav_read(o.tape.c_str(), &levels, &why, &note)) {
      return fail(line, "cannot play the tape " + o.tape + ": " + why);
    }
    if (!note.empty()) {
      std::fprintf(stderr, "quav: the tape %s: %s\n", o.tape.c_str(), note.c_str());
    }
    machine_tape_insert(std::move(levels));
  }
  std::vector<KeyStroke> strokes;
  for (const TypedSource& source : o.type) {
    std::string text = source.value;
    if (source.file) {
      std::vector<uint8_t> bytes;
      bool longer = false;
      std::string why;
      if (!file_read_checked(source.value.c_str(), kMaxTypedFile, &bytes, &longer, &why)) {
        return fail(line, "cannot type " + source.value + ": " + why);
      }
      if (longer) return fail(line, "cannot type " + source.value + ": longer than 1 MB");
      text.assign(bytes.begin(), bytes.end());
    }
    const std::vector<KeyStroke> more = strokes_of(text, !source.file);
    strokes.insert(strokes.end(), more.begin(), more.end());
  }
  if (!strokes.empty()) typing_start(strokes, o.type_at);
  if (!o.tape_out.empty() && !tape_record_open(o.tape_out.c_str())) {
    // output_open has said why on stderr.
    *line = "cannot write " + o.tape_out + ": " + std::strerror(tape_out_file.file.error);
    return 0;
  }
  return 1;
}

void app_tape_begin() {
  if (tape_out_file.file.f != nullptr) machine_tape_record_start();
}

void app_tape_keep_up() {
  if (machine_tape_recorded()->size() >= kRecordedLimit) tape_record_flush();
}

int app_tape_finish() { return tape_record_close(); }

void app_tape_discard() { tape_record_discard(); }

std::string app_tape_play_stop() {
  if (!machine_tape_inserted()) return "No tape";
  return machine_tape_toggle_play() ? "Tape playing" : "Tape stopped";
}

std::string app_tape_rewind() {
  if (!machine_tape_inserted()) return "No tape";
  machine_tape_rewind();
  return "Tape rewound";
}

std::string app_type_clipboard() {
  const std::vector<KeyStroke> strokes = strokes_of(platform_clipboard_text(), false);
  if (strokes.empty()) return "Nothing to type";
  typing_start(strokes, typing.poll + kClipboardDelay);
  return "Typing " + std::to_string(strokes.size()) +
         (strokes.size() == 1 ? " character" : " characters");
}

std::string app_tape_load_line() {
  if (!machine_tape_inserted() || !machine_tape_playing()) return "";
  const auto clock = [](uint64_t t) {
    const uint64_t s = t / kTapeClockHz;
    char text[24];
    std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(s / 60),
                  static_cast<unsigned long long>(s % 60));
    return std::string(text);
  };
  return "Tape " + clock(machine_tape_position()) + " / " + clock(machine_tape_length());
}
