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

TEST(TokenTable, SplitsAtSpacesAndTabsKeepingSixteenOf254Characters) {
  app_parse_command_line(" a\tb  c ");
  ASSERT_EQ(command_token_count, 3);
  EXPECT_STREQ(command_tokens[2], "c");
  EXPECT_EQ(command_tokens[3], nullptr);

  std::string many;
  for (int i = 0; i < 16; ++i) many += "x ";
  EXPECT_EQ(scan((many + "/blit 5").c_str()).blit_mode, -1);  // the 17th token is not looked at
  EXPECT_EQ(command_token_count, 16);

  app_parse_command_line((std::string(250, 'x') + " /blit 3").c_str());
  EXPECT_STREQ(command_tokens[1], "/bl");  // cut after 254 characters
  app_parse_command_line(nullptr);
  EXPECT_EQ(command_token_count, 0);
}

TEST(OptionScan, EachOptionAndItsEdgeCases) {
  struct Case {
    const char* text;
    int blit, width, height, game;
    const char* file;
  };
  const Case cases[] = {
      {"/blit 6", 6, -1, -1, -1, " "},
      {"/blit 7", -1, -1, -1, -1, " "},
      {"/blit -1", -1, -1, -1, -1, " "},
      {"/blit 3x", 3, -1, -1, -1, " "},  // conversion stops at the first non-digit
      {"/blit3", -1, -1, -1, -1, " "},   // digits attached: an unknown token
      {"/res 800 600", -1, 800, 600, -1, " "},
      {"/blit 2 /res 800", 2, -1, -1, -1, " "},  // a lone value: "/res" skipped, "800" too
      {"/res /blit 4", -1, 0, 4, -1, " "},       // "/res" takes two tokens whatever they are
      {"hello /file", -1, -1, -1, -1, " "},
      {"/game 12", -1, -1, -1, 12, " "},
      {"/blit 1 /res 640 480 /game 3 /blit 4 /res 512 384 /game 9", 4, 512, 384, 9, " "},
      {"/file a.sc /file b.sc", -1, -1, -1, -1, "b.sc"},
  };
  for (const Case& c : cases) {
    const StartOptions o = scan(c.text);
    EXPECT_EQ(o.blit_mode, c.blit) << c.text;
    EXPECT_EQ(o.width, c.width) << c.text;
    EXPECT_EQ(o.height, c.height) << c.text;
    EXPECT_EQ(o.game, c.game) << c.text;
    EXPECT_EQ(o.file_name, c.file) << c.text;
  }
}

TEST(OptionScan, ListOnlyAsFirstTokenAndABareFileIsTheFile) {
  for (const char* text : {"/list", "/list /blit 2"}) {
    app_parse_command_line(text);
    EXPECT_EQ(app_list_requested(), 1) << text;
  }
  for (const char* text : {"/blit 2 /list", "/LIST", ""}) {
    app_parse_command_line(text);
    EXPECT_EQ(app_list_requested(), 0) << text;
  }
  const std::string path = testing::TempDir() + "quav bare image.sc";
  std::fclose(std::fopen(path.c_str(), "wb"));
  const char* tokens[] = {path.c_str(), "/blit", "2"};
  app_set_command_tokens(3, tokens);
  const StartOptions o = app_scan_options();
  EXPECT_EQ(o.file_name, path);  // one argv token, spaces and all
  EXPECT_EQ(o.blit_mode, 2);
  std::remove(path.c_str());
}

int parse(std::vector<const char*> args, RunOptions* o, std::string* error) {
  args.insert(args.begin(), "quav");
  return app_parse_options(static_cast<int>(args.size()), args.data(), o, error);
}

TEST(GnuOptions, TakesOutOurOptionsAndLeavesTheTokensInOrder) {
  RunOptions o;
  std::string error;
  ASSERT_EQ(parse({"/blit", "--headless", "3", "--frames", "600", "--shot=s.bmp", "--res", "800",
                   "600", "--hold", "RETURN@10-12", "/file", "g.sc"},
                  &o, &error),
            1)
      << error;
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.frames, 600);
  EXPECT_EQ(o.shot, "s.bmp");
  EXPECT_EQ(o.width * 10000 + o.height, 8000600);
  ASSERT_EQ(o.holds.size(), 1u);
  EXPECT_EQ(o.holds[0].code, 0x1C);
  EXPECT_EQ(o.holds[0].from * 100 + o.holds[0].to, 1012);
  EXPECT_EQ(o.rest, (std::vector<std::string>{"/blit", "3", "/file", "g.sc"}));
}

}  // namespace
