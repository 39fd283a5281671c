// The machine's own token table and option scan, and our GNU options.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/options.h"

namespace {

StartOptions scan(const char* text) {
  app_parse_command_line(text);
  return app_scan_options();
}

TEST(TokenTable, SplitsAtSpacesAndTabsAndKeepsAtMostSixteen) {
  app_parse_command_line(" a\tb  c ");
  ASSERT_EQ(command_token_count, 3);
  EXPECT_STREQ(command_tokens[0], "a");
  EXPECT_STREQ(command_tokens[2], "c");
  EXPECT_EQ(command_tokens[3], nullptr);

  std::string many;
  for (int i = 0; i < 17; ++i) many += "t" + std::to_string(i) + " ";
  app_parse_command_line(many.c_str());
  EXPECT_EQ(command_token_count, 16);
  EXPECT_STREQ(command_tokens[15], "t15");
  EXPECT_EQ(command_tokens[16], nullptr);

  app_parse_command_line(nullptr);
  EXPECT_EQ(command_token_count, 0);
}

TEST(TokenTable, LooksAtNoMoreThan254Characters) {
  std::string text(250, 'x');
  text += " /blit 3";
  app_parse_command_line(text.c_str());
  ASSERT_EQ(command_token_count, 2);
  EXPECT_STREQ(command_tokens[1], "/bl");  // cut after 254 characters
}

TEST(TokenTable, SeventeenthTokenIsNeverScanned) {
  std::string text;
  for (int i = 0; i < 16; ++i) text += "x ";
  text += "/blit 5";
  EXPECT_EQ(scan(text.c_str()).blit_mode, -1);
}

TEST(OptionScan, ListOnlyAsFirstToken) {
  app_parse_command_line("/list");
  EXPECT_EQ(app_list_requested(), 1);
  app_parse_command_line("/blit 2 /list");
  EXPECT_EQ(app_list_requested(), 0);
  app_parse_command_line("/LIST");
  EXPECT_EQ(app_list_requested(), 0);
  app_parse_command_line("");
  EXPECT_EQ(app_list_requested(), 0);
}

TEST(OptionScan, BlitAcceptsZeroToSixOnly) {
  EXPECT_EQ(scan("/blit 6").blit_mode, 6);
  EXPECT_EQ(scan("/blit 0").blit_mode, 0);
  EXPECT_EQ(scan("/blit 7").blit_mode, -1);
  EXPECT_EQ(scan("/blit -1").blit_mode, -1);
  EXPECT_EQ(scan("/blit 3x").blit_mode, 3);  // conversion stops at the first non-digit
  EXPECT_EQ(scan("/blit3").blit_mode, -1);   // digits attached: an unknown token
}

TEST(OptionScan, ResNeedsBothValues) {
  StartOptions o = scan("/res 800 600");
  EXPECT_EQ(o.width, 800);
  EXPECT_EQ(o.height, 600);
  // A lone value as the last token: "/res" is skipped and "800" scanned as
  // an unknown token.
  o = scan("/blit 2 /res 800");
  EXPECT_EQ(o.width, -1);
  EXPECT_EQ(o.height, -1);
  EXPECT_EQ(o.blit_mode, 2);
  // "/res" consumes its two values even when they look like options.
  o = scan("/res /blit 4");
  EXPECT_EQ(o.blit_mode, -1);
  EXPECT_EQ(o.width, 0);
  EXPECT_EQ(o.height, 4);
}

TEST(OptionScan, LaterOptionsOverrideEarlierOnes) {
  StartOptions o = scan("/blit 1 /res 640 480 /game 3 /blit 4 /res 512 384 /game 9");
  EXPECT_EQ(command_token_count, 14);
  EXPECT_EQ(o.blit_mode, 4);
  EXPECT_EQ(o.width, 512);
  EXPECT_EQ(o.height, 384);
  EXPECT_EQ(o.game, 9);
  EXPECT_EQ(scan("/file a.sc /file b.sc").file_name, "b.sc");
}

TEST(OptionScan, UnknownAndIncompleteTokensAreSkipped) {
  StartOptions o = scan("hello /file");
  EXPECT_EQ(o.file_name, " ");
  o = scan("/game");
  EXPECT_EQ(o.game, -1);
  o = scan("/blit /file x.sc");  // "/blit" takes "/file" as its value (0)
  EXPECT_EQ(o.blit_mode, 0);
  EXPECT_EQ(o.file_name, " ");
}

TEST(OptionScan, BareArgumentNamingAFileIsTheFile) {
  const std::string path = testing::TempDir() + "quav bare image.sc";
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  const char* tokens[] = {path.c_str(), "/blit", "2"};
  app_set_command_tokens(3, tokens);
  StartOptions o = app_scan_options();
  EXPECT_EQ(o.file_name, path);  // one argv token, spaces and all
  EXPECT_EQ(o.blit_mode, 2);
  std::remove(path.c_str());
}

TEST(ParseNumber, BehavesLikeStrtol) {
  EXPECT_EQ(app_parse_number("  -12"), -12);
  EXPECT_EQ(app_parse_number("+7z"), 7);
  EXPECT_EQ(app_parse_number("z7"), 0);
  EXPECT_EQ(app_parse_number(""), 0);
}

// ---- our GNU options ----

int parse(std::vector<const char*> args, RunOptions* o, std::string* error) {
  args.insert(args.begin(), "quav");
  return app_parse_options(static_cast<int>(args.size()), args.data(), o, error);
}

TEST(GnuOptions, TakesOutOurOptionsAndLeavesTheTokensInOrder) {
  RunOptions o;
  std::string error;
  ASSERT_EQ(parse({"/blit", "--headless", "3", "--frames", "600", "--shot=s.bmp", "/file", "g.sc"},
                  &o, &error),
            1)
      << error;
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.frames, 600);
  EXPECT_EQ(o.shot, "s.bmp");
  EXPECT_EQ(o.rest, (std::vector<std::string>{"/blit", "3", "/file", "g.sc"}));
}

TEST(GnuOptions, BadValuesAreUsageErrorsWithAReason) {
  const std::vector<std::vector<const char*>> bad = {
      {"--frames", "0"},       {"--frames", "12x"},  {"--frames"},
      {"--blit", "7"},         {"--blit", "-1"},     {"--res", "640"},
      {"--res", "a", "480"},   {"--bogus"},          {"--help=yes"},
      {"--shot", "x.bmp"},     {"--headless", "--roms", ""},
      {"--headless", "--frames", "99999999999"},
  };
  for (const auto& args : bad) {
    RunOptions o;
    std::string error;
    EXPECT_EQ(parse(args, &o, &error), 0) << args[0];
    EXPECT_FALSE(error.empty()) << args[0];
    EXPECT_EQ(error.find('\n'), std::string::npos);
  }
}

TEST(GnuOptions, ResAndBlitAreChecked) {
  RunOptions o;
  std::string error;
  ASSERT_EQ(parse({"--res", "800", "600", "--blit", "6"}, &o, &error), 1) << error;
  EXPECT_EQ(o.width, 800);
  EXPECT_EQ(o.height, 600);
  EXPECT_EQ(o.blit_mode, 6);
}

}  // namespace
