// The machine's own command line. The token table holds at most 16 tokens;
// further tokens are never looked at. Option words are compared exactly, case
// included; an option whose value tokens are missing is skipped like any
// unknown token, and the scan goes on with the next token. A later
// occurrence of an option overrides an earlier one.
#include "app/command_line.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* command_tokens[kTokenSlots];
int32_t command_token_count = 0;

namespace {

constexpr int kCopyLimit = 254;
char copy_buffer[256];

void clear_tokens() {
  for (const char*& slot : command_tokens) slot = nullptr;
  command_token_count = 0;
}

bool names_a_file(const char* path) {
  struct stat st;
  return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

void skip(const char* token) {
  std::fprintf(stderr, "quav: ignoring argument '%s'\n", token);
}

}  // namespace

void app_parse_command_line(const char* text) {
  clear_tokens();
  if (!text) return;
  std::strncpy(copy_buffer, text, kCopyLimit);
  copy_buffer[kCopyLimit] = '\0';
  for (char* token = std::strtok(copy_buffer, " \t");
       token && command_token_count < kMaxTokens; token = std::strtok(nullptr, " \t")) {
    command_tokens[command_token_count++] = token;
  }
}

void app_set_command_tokens(int count, const char* const* tokens) {
  clear_tokens();
  for (int i = 0; i < count && command_token_count < kMaxTokens; ++i) {
    command_tokens[command_token_count++] = tokens[i];
  }
}

int32_t app_parse_number(const char* text) {
  const long value = std::strtol(text, nullptr, 10);
  // Clamp like a 32-bit long would: out-of-range values saturate.
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

int app_list_requested() {
  return command_token_count > 0 && std::strcmp(command_tokens[0], "/list") == 0;
}

StartOptions app_scan_options() {
  StartOptions options;
  // Slots past the last token are null, so looking one or two ahead is safe.
  for (int i = 0; i < command_token_count;) {
    const char* token = command_tokens[i];
    const char* next = command_tokens[i + 1];
    if (std::strcmp(token, "/game") == 0 && next) {
      options.game = app_parse_number(next);
      i += 2;
    } else if (std::strcmp(token, "/blit") == 0 && next) {
      const int32_t mode = app_parse_number(next);
      if (mode >= 0 && mode <= 6) {
        options.blit_mode = mode;
      } else {
        std::fprintf(stderr, "quav: /blit %s is not a blit mode (0-6); ignored\n", next);
      }
      i += 2;
    } else if (std::strcmp(token, "/res") == 0 && next && command_tokens[i + 2]) {
      options.width = app_parse_number(next);
      options.height = app_parse_number(command_tokens[i + 2]);
      i += 3;
    } else if (std::strcmp(token, "/file") == 0 && next) {
      options.file_name = next;
      options.file_is_image = false;
      i += 2;
    } else if (names_a_file(token)) {
      options.file_name = token;
      options.file_is_image = true;
      i += 1;
    } else {
      skip(token);
      i += 1;
    }
  }
  return options;
}
