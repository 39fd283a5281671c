// QUAV's entry point. (Start-up, the command line and the message loop are
// being written; this opens the headless machine and runs a few frames.)
#include "app/app.h"
#include "platform/platform.h"

int main() {
  platform_init(PlatformBackend::Headless, PlatformOptions{});
  app_setup_machine();
  for (int i = 0; i < 10; ++i) app_run_frame(1, 1);
  app_shutdown();
  platform_quit();
  return 0;
}
