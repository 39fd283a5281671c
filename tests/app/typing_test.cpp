// Typing: characters as the keys whose legends show them (Shift for the
// upper legend), texts decoded from UTF-8 with their escapes and line ends,
// and the keys pressed and released poll by poll.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/typing.h"

namespace {

// The SC-3000 keyboard by the matrix: each key's place, its legend and the
// legend above it (' ' where there is none), as the key tops show them.
struct Key {
  uint8_t row;
  uint16_t mask;
  const char* legends;  // UTF-8: the key's character, then the shifted one
};
const Key kKeyboard[] = {
    {0, 0x001, "1!"}, {1, 0x001, "2\""}, {2, 0x001, "3#"}, {3, 0x001, "4$"}, {4, 0x001, "5%"},
    {5, 0x001, "6&"}, {6, 0x001, "7'"}, {0, 0x100, "8("}, {1, 0x100, "9)"}, {2, 0x100, "0 "},
    {3, 0x100, "-="}, {4, 0x100, "^~"}, {5, 0x100, "¥|"}, {3, 0x080, "@`"}, {4, 0x080, "[{"},
    {2, 0x040, ";+"}, {3, 0x040, ":*"}, {4, 0x040, "]}"}, {0, 0x020, ",<"}, {1, 0x020, ".>"},
    {2, 0x020, "/?"}, {3, 0x020, "π_"}, {1, 0x010, "  "}, {5, 0x040, "\n "},
    {0, 0x002, "Q "}, {1, 0x002, "W "}, {2, 0x002, "E "}, {3, 0x002, "R "}, {4, 0x002, "T "},
    {5, 0x002, "Y "}, {6, 0x002, "U "}, {0, 0x080, "I "}, {1, 0x080, "O "}, {2, 0x080, "P "},
    {0, 0x004, "A "}, {1, 0x004, "S "}, {2, 0x004, "D "}, {3, 0x004, "F "}, {4, 0x004, "G "},
    {5, 0x004, "H "}, {6, 0x004, "J "}, {0, 0x040, "K "}, {1, 0x040, "L "}, {0, 0x008, "Z "},
    {1, 0x008, "X "}, {2, 0x008, "C "}, {3, 0x008, "V "}, {4, 0x008, "B "}, {5, 0x008, "N "},
    {6, 0x008, "M "},
};

std::tuple<uint8_t, uint16_t, uint8_t> as_tuple(const KeyStroke& s) {
  return {s.row, s.mask, s.shift};
}

// Every legend types its key, Shift held for the upper one; letters in
// either case; a backslash is the yen key; CR LF, CR and LF are Return.
TEST(Typing, EachLegendTypesItsKey) {
  std::string text;
  std::vector<std::tuple<uint8_t, uint16_t, uint8_t>> want;
  for (const Key& k : kKeyboard) {
    std::string legends = k.legends;
    const size_t first = (static_cast<uint8_t>(legends[0]) & 0x80) ? 2 : 1;
    const std::string plain = legends.substr(0, first);
    const std::string shifted = legends.substr(first);
    text += plain;
    want.emplace_back(k.row, k.mask, 0);
    if (shifted != " ") {
      text += shifted;
      want.emplace_back(k.row, k.mask, 1);
    }
    if (plain[0] >= 'A' && plain[0] <= 'Z') {
      text += static_cast<char>(plain[0] - 'A' + 'a');
      want.emplace_back(k.row, k.mask, 0);
    }
  }
  text += "\\\r\n\r";  // the LF on its own is in the table
  want.emplace_back(5, 0x100, 0);
  want.emplace_back(5, 0x040, 0);
  want.emplace_back(5, 0x040, 0);
  const TypedText typed = typing_parse(text, false);
  std::vector<std::tuple<uint8_t, uint16_t, uint8_t>> got;
  for (const KeyStroke& s : typed.strokes) got.push_back(as_tuple(s));
  EXPECT_EQ(got, want);
  EXPECT_TRUE(typed.missing.empty());
}

// With escapes the two characters \n are Return; characters without a key
// are listed once each, in the order met, with their counts, and named.
TEST(Typing, EscapesAndCharactersWithoutKeys) {
  TypedText t = typing_parse("\xEF\xBB\xBF" "A\\nB\tC\t\xE2\x82\xAC\\\xC3", true);
  std::vector<std::tuple<uint8_t, uint16_t, uint8_t>> got;
  for (const KeyStroke& s : t.strokes) got.push_back(as_tuple(s));
  EXPECT_EQ(got, (std::vector<std::tuple<uint8_t, uint16_t, uint8_t>>{
                     {0, 0x004, 0}, {5, 0x040, 0}, {4, 0x008, 0}, {2, 0x008, 0}, {5, 0x100, 0}}));
  EXPECT_EQ(t.missing, (std::vector<std::pair<uint32_t, int>>{{'\t', 2}, {0x20AC, 1}, {0xFFFD, 1}}));
  EXPECT_EQ(typing_missing_line('\t', 2), "the SC-3000 keyboard has no key for U+0009; skipped 2 times");
  EXPECT_EQ(typing_missing_line(0x20AC, 1), "the SC-3000 keyboard has no key for U+20AC; skipped");
  EXPECT_EQ(typing_parse("\\n", false).strokes.size(), 2u) << "without escapes: yen, N";
}

// Each stroke is held three polls and released three; Shift goes down only
// with the strokes that need it. A text started while another is being
// typed follows it.
TEST(Typing, KeysGoDownAndUpPollByPoll) {
  const std::vector<KeyStroke> strokes = typing_parse("a!", false).strokes;
  std::string seen;
  for (int64_t k = 98; k < 114; ++k) {
    uint16_t rows[8] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    typing_press(strokes, 100, k, rows);
    seen += rows[0] == 0xFFFB ? 'a' : rows[0] == 0xFFFE ? '1' : rows[0] == 0xFFFF ? '.' : '?';
    seen += rows[6] == 0xF7FF ? 'S' : rows[6] == 0xFFFF ? '.' : '?';
  }
  EXPECT_EQ(seen, "....a.a.a.......1S1S1S..........");

  Typing saved = std::exchange(typing, Typing{});
  typing.poll = 50;
  typing_start(strokes, 52);
  typing.poll = 55;
  typing_start(typing_parse("Z", false).strokes, 70);  // follows at 52 + 12
  EXPECT_EQ(std::tuple(typing.start, typing.strokes.size(), typing_busy()), std::tuple(52, 3u, 1));
  typing.poll = 52 + 18;
  EXPECT_EQ(typing_busy(), 0);
  typing_start(strokes, 80);
  EXPECT_EQ(std::tuple(typing.start, typing.strokes.size()), std::tuple(80, 2u));
  uint16_t rows[8] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
  typing.poll = 80;
  typing_poll(rows);
  EXPECT_EQ(std::pair(rows[0], typing.poll), std::pair(uint16_t{0xFFFB}, int64_t{81}));
  typing = saved;
}

}  // namespace
