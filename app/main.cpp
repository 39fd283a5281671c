// QUAV's entry point: the processor test, our own options, then the run.
#include <cstdio>
#include <string>

#include "app/options.h"
#include "app/run.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  // The scanline filters are written for a processor with MMX; without it
  // the program ends at once, before anything else.
  if (!platform_has_mmx()) return -2;
  RunOptions options;
  std::string error;
  if (!app_parse_options(argc, argv, &options, &error)) {
    std::fprintf(stderr, "quav: %s\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(app_usage(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("quav %s\n", QUAV_VERSION);
    return 0;
  }
  return app_main(options);
}
