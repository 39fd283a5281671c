// Typing a text, as the parser reads it: escapes, line ends, a byte-order
// mark, a backslash, and characters without a key. Every key of the keyboard,
// Shift and the pace are checked end to end through our keyboard-echo
// program (typing_session.py).
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/typing.h"

namespace {

using Strokes = std::vector<std::tuple<uint8_t, uint16_t, uint8_t>>;

Strokes strokes_of(const TypedText& t) {
  Strokes out;
  for (const KeyStroke& s : t.strokes) out.emplace_back(s.row, s.mask, s.shift);
  return out;
}

// With escapes the two characters \n are Return, without them a backslash
// (the yen key) and N; CR LF and CR alone are Return. Characters without a
// key, invalid UTF-8 among them, are listed once each in the order met, with
// their counts, and named.
TEST(Typing, EscapesLineEndsAndCharactersWithoutKeys) {
  constexpr std::tuple<uint8_t, uint16_t, uint8_t> a{0, 0x004, 0}, b{4, 0x008, 0}, c{2, 0x008, 0},
      n{5, 0x008, 0}, yen{5, 0x100, 0}, ret{5, 0x040, 0};
  TypedText t = typing_parse("\xEF\xBB\xBF" "A\\nB\tC\t\xE2\x82\xAC\\\xC3\r\n\r", true);
  EXPECT_EQ(strokes_of(t), (Strokes{a, ret, b, c, yen, ret, ret}));
  EXPECT_EQ(t.missing, (std::vector<std::pair<uint32_t, int>>{{'\t', 2}, {0x20AC, 1}, {0xFFFD, 1}}));
  EXPECT_EQ(typing_missing_line('\t', 2), "the SC-3000 keyboard has no key for U+0009; skipped 2 times");
  EXPECT_EQ(typing_missing_line(0x20AC, 1), "the SC-3000 keyboard has no key for U+20AC; skipped");
  EXPECT_EQ(strokes_of(typing_parse("\\n", false)), (Strokes{yen, n}));
}

}  // namespace
