// On-screen text. Messages, the help page and the about page share one block
// of up to seven 42-character lines, drawn at x = 18 so that its last line
// ends at row 215 of the frame surface, black (colour 1) on light green
// (colour 3), for a number of frames. Glyphs are 6 x 8 cells of OsdFont,
// drawn opaque from the VDP's ready-made pattern runs, so the text has
// exactly the machine's colours. Codes 0-31 have no glyph and draw as blank
// cells; nothing is clipped, wrapped or interpreted.
#include "app/osd.h"

#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "display/video.h"
#include "machine/machine.h"

char osd_lines[kOsdLines][kOsdLineBytes] = {};
int32_t osd_line_count = 1;
int32_t osd_timer = 0;

namespace {

constexpr int kFirstCode = 32;
constexpr int kGlyphCount = 224;
constexpr int kGlyphRows = 8;
constexpr int kCellWidth = 6;
constexpr int kRunPixels = 8;
constexpr int kBlockX = 18;
constexpr int kBlockBottom = 216;  // the block's last row is 215
constexpr int kFrameSurface = 2;
constexpr int kTextColour = 1;     // black
constexpr int kPaperColour = 3;    // light green
constexpr int kPageDelay = 10;
constexpr int kHelpLines = 5;
constexpr int kHelpFrames = 180;
constexpr int kAboutLines = 7;
constexpr int kAboutFrames = 140;

constexpr const char* kHelpPage[kHelpLines] = {
    "F1  HELP        F2 MENU      F3 HARD RESET",
    "F4  JOY/KEYB    F5 BLITMODE  F6 SPR LIMIT ",
    "F7  VGM ON/OFF  F8 SCRNSHOT  F9 RES SWITCH",
    "F10 QUIT        F11 VID/SYS  F12 ABOUT    ",
    "INS SW RESET    ESC MENU OFF              ",
};

constexpr const char* kAboutTitle = "* QUAV " QUAV_VERSION " - by the QUAV team 2026 *";
constexpr const char* kAboutCredit = "SC-3000 emulation written by the QUAV team";
constexpr const char* kAboutKeys = "    press F1 for HELP and F2 for MENU     ";

// `text` centred in a line of 42 characters, spaces either side.
void set_centred_line(int index, const char* text) {
  char line[kOsdLineChars + 1];
  const int length = static_cast<int>(std::strlen(text));
  const int left = length < kOsdLineChars ? (kOsdLineChars - length) / 2 : 0;
  std::snprintf(line, sizeof line, "%*s%s%*s", left, "", text,
                kOsdLineChars - left - length > 0 ? kOsdLineChars - left - length : 0, "");
  osd_set_line(index, line);
}

}  // namespace

void osd_set_line(int index, const char* text) {
  if (index < 0 || index >= kOsdLines) return;
  char* line = osd_lines[index];
  std::memset(line, 0, kOsdLineBytes);
  for (int i = 0; text && i < kOsdLineChars && text[i] != '\0'; ++i) line[i] = text[i];
}

void osd_show(int lines, int frames) {
  osd_line_count = lines;
  osd_timer = frames;
}

void osd_show_long_line(const char* text, int frames) {
  const size_t length = std::strlen(text);
  int lines = 0;
  for (size_t at = 0; at < length && lines < kOsdLines; at += kOsdLineChars) {
    osd_set_line(lines++, text + at);
  }
  osd_show(lines, frames);
}

void osd_tick() {
  if (osd_timer > 0) osd_timer -= 1;
}

void osd_draw_messages() {
  if (osd_timer <= 0) return;
  const int count = osd_line_count < kOsdLines ? osd_line_count : kOsdLines;
  const int top = kBlockBottom - kGlyphRows * count;
  for (int i = 0; i < count; ++i) {
    osd_draw_text(kBlockX, top + kGlyphRows * i, osd_lines[i], kTextColour, kPaperColour);
  }
}

void osd_draw_text(int x, int y, const char* text, int foreground, int background) {
  for (const char* c = text; *c != '\0'; ++c) {
    osd_draw_glyph(x, y, static_cast<unsigned char>(*c), foreground, background);
    x += kCellWidth;
  }
}

void osd_draw_glyph(int x, int y, int code, int foreground, int background) {
  const uint16_t* runs = machine_pattern_runs(foreground, background);
  auto* dst = reinterpret_cast<uint8_t*>(video_pixel_address(kFrameSurface, x, y));
  if (!runs || !dst) return;
  machine_picture_overwritten(y, kGlyphRows);  // the VDP draws these rows again on the next frame
  const unsigned glyph = static_cast<unsigned>(code - kFirstCode) & 0xFF;
  for (int row = 0; row < kGlyphRows; ++row) {
    const uint8_t bits = glyph < kGlyphCount ? OsdFont[glyph * kGlyphRows + row] : 0;
    std::memcpy(dst, runs + bits * kRunPixels, kCellWidth * sizeof(uint16_t));
    dst += display.pitch[kFrameSurface];
  }
}

void osd_show_help() {
  if (key_delay != 0) return;
  key_delay = kPageDelay;
  for (int i = 0; i < kHelpLines; ++i) osd_set_line(i, kHelpPage[i]);
  osd_show(kHelpLines, kHelpFrames);
}

void osd_show_about() {
  if (key_delay != 0) return;
  key_delay = kPageDelay;
  set_centred_line(0, "");
  set_centred_line(1, kAboutTitle);
  set_centred_line(2, "");
  set_centred_line(3, kAboutCredit);
  set_centred_line(4, "");
  osd_set_line(5, kAboutKeys);
  set_centred_line(6, "");
  osd_show(kAboutLines, kAboutFrames);
}
