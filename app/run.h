// The program's run from its options to its exit code: the machine's token
// scan, the window or headless backend, start-up, the message loop or the
// headless frame loop, and shutdown.
#pragma once

#include "app/options.h"

int app_main(const RunOptions& options);
