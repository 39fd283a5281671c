// Typing: a text decoded from UTF-8 into key strokes, and the strokes laid
// on the keyboard matrix poll by poll.
#include "app/typing.h"

#include <cstdio>

Typing typing;

namespace {

constexpr uint8_t kShiftRow = 6;
constexpr uint16_t kShiftLine = 0x0800;
constexpr int kStrokePolls = kTypedHoldPolls + kTypedReleasePolls;
constexpr uint32_t kReplacement = 0xFFFD;  // a byte that is not UTF-8
constexpr uint32_t kByteOrderMark = 0xFEFF;

// The code point at text[*i], moving *i past it.
uint32_t next_code(const std::string& text, size_t* i) {
  const auto byte = [&](size_t at) { return static_cast<uint8_t>(text[at]); };
  const uint32_t b = byte(*i);
  *i += 1;
  int more = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
  if (b >= 0x80 && more == 0) return kReplacement;
  uint32_t code = more == 0 ? b : b & (0x3F >> more);
  for (; more > 0; --more) {
    if (*i >= text.size() || (byte(*i) & 0xC0) != 0x80) return kReplacement;
    code = code << 6 | (byte(*i) & 0x3F);
    *i += 1;
  }
  return code;
}

}  // namespace

TypedText typing_parse(const std::string& utf8, bool escapes) {
  TypedText out;
  for (size_t i = 0; i < utf8.size();) {
    uint32_t code = next_code(utf8, &i);
    if (escapes && code == '\\' && i < utf8.size() && utf8[i] == 'n') {
      code = '\n';
      i += 1;
    } else if (code == '\r' && i < utf8.size() && utf8[i] == '\n') {
      continue;  // the '\n' that follows is the Return
    } else if (code == kByteOrderMark) {
      continue;  // an editor's mark, not text
    }
    KeyStroke stroke;
    if (typing_stroke_for(code, &stroke)) {
      out.strokes.push_back(stroke);
      continue;
    }
    bool counted = false;
    for (auto& m : out.missing) {
      if (m.first == code) {
        m.second += 1;
        counted = true;
      }
    }
    if (!counted) out.missing.emplace_back(code, 1);
  }
  return out;
}

std::string typing_missing_line(uint32_t code, int count) {
  char name[16];
  if (code > ' ' && code < 0x7F) {
    std::snprintf(name, sizeof name, "'%c'", static_cast<char>(code));
  } else {
    std::snprintf(name, sizeof name, "U+%04X", code);
  }
  std::string line = std::string("the SC-3000 keyboard has no key for ") + name + "; skipped";
  if (count > 1) line += " " + std::to_string(count) + " times";
  return line;
}

void typing_press(const std::vector<KeyStroke>& strokes, int64_t start, int64_t k,
                  uint16_t rows[8]) {
  if (k < start) return;
  const int64_t i = (k - start) / kStrokePolls;
  if (i >= static_cast<int64_t>(strokes.size())) return;
  if ((k - start) % kStrokePolls >= kTypedHoldPolls) return;
  const KeyStroke& s = strokes[static_cast<size_t>(i)];
  rows[s.row] &= static_cast<uint16_t>(~s.mask);
  if (s.shift) rows[kShiftRow] &= static_cast<uint16_t>(~kShiftLine);
}

int typing_busy() {
  return typing.poll < typing.start + static_cast<int64_t>(typing.strokes.size()) * kStrokePolls
             ? 1
             : 0;
}

void typing_start(const std::vector<KeyStroke>& strokes, int64_t at) {
  if (typing_busy()) {
    typing.strokes.insert(typing.strokes.end(), strokes.begin(), strokes.end());
    return;
  }
  typing.strokes = strokes;
  typing.start = at;
}

void typing_poll(uint16_t rows[8]) {
  if (!typing.strokes.empty()) typing_press(typing.strokes, typing.start, typing.poll, rows);
  typing.poll += 1;
}
