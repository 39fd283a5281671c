// The machine's own command line: a table of at most 16 tokens and the scan
// of its option words "/list", "/game", "/blit", "/res" and "/file".
#pragma once

#include <cstdint>
#include <string>

constexpr int kTokenSlots = 64;
constexpr int kMaxTokens = 16;

// The token table: at most kMaxTokens filled, the rest null.
extern const char* command_tokens[kTokenSlots];
extern int32_t command_token_count;

// Splits a command-line text at spaces and tabs (at most 254 characters are
// looked at). A null text leaves the table empty.
void app_parse_command_line(const char* text);
// Fills the table from arguments that are already split (argv): each one is
// one token, so a path may hold spaces. The strings must outlive the table.
void app_set_command_tokens(int count, const char* const* tokens);
// Base-10 conversion as strtol does it: leading space and a sign accepted,
// stops at the first non-digit, no digits gives 0.
int32_t app_parse_number(const char* text);

// What the scan found. The file name " " means that no file was given.
struct StartOptions {
  std::string file_name = " ";
  bool file_is_image = false;  // named by a bare path, not by "/file"
  int32_t blit_mode = -1;
  int32_t width = -1;
  int32_t height = -1;
  int32_t game = -1;
};

// 1 when the first token is exactly "/list".
int app_list_requested();
// Scans the tokens from the first. Tokens that are none of the option words
// (or an option word whose values are missing) are skipped with one line on
// stderr, except that a token naming an existing file is taken as the
// image (file_is_image set).
StartOptions app_scan_options();
