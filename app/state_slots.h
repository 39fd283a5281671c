// The window's state slots and pause. Shift+F1-F4 save the machine into
// slots 1-4 and Ctrl+F1-F4 load them; a slot is the file
// "<running name>-<slot>.state" in $XDG_STATE_HOME/quav/ (default
// ~/.local/state/quav/, made when missing). Pause/Break stops the frames,
// silences the sound and shows "Paused" until it is pressed again.
#pragma once

#include <string>

constexpr int kStateSlots = 4;

// The slots' folder; empty when neither $XDG_STATE_HOME nor $HOME is set.
std::string state_slot_dir();
std::string state_slot_path(int slot);
// Each shows its one-line message: "State 2 saved", "State 3 loaded",
// "No state 4", or the slot and the reason it failed (also on stderr).
void app_save_slot(int slot);
void app_load_slot(int slot);
// What a loaded state ends, as loading an image does: the logo time.
void app_state_loaded();

void app_set_paused(int paused);
// A frame while paused: the picture kept at the pause goes back into the
// frame surface and "Paused" stays shown under any other message.
void app_paused_frame();
