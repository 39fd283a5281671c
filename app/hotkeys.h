// The hotkeys: ESC and F1-F12 read once per idle pass, and their actions.
#pragma once

// Scans the hotkeys, then runs the pacing step.
void app_idle_step();
void app_set_blit_mode(int mode);
