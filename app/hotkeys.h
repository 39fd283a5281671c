// The hotkeys: ESC, F1-F12, Shift/Ctrl+F1-F4, Shift+F5-F7 and Pause/Break,
// read once per idle pass, and their actions.
#pragma once

// Scans the hotkeys, then runs the pacing step.
void app_idle_step();
void app_set_blit_mode(int mode);

// The actions behind F4-F9 and F11. Each acts only while the shared key
// delay is 0, sets it first, and shows its message.
void app_toggle_joystick();
void app_next_blit_mode();
void app_toggle_sprite_limit();
void app_toggle_vgm();
void app_screenshot();
void app_next_resolution();
void app_toggle_memory();
// Shift+F5 (play or stop the tape), Shift+F6 (rewind it), Shift+F7 (type
// the clipboard), guarded and shown as the others.
void app_tape_play_key();
void app_tape_rewind_key();
void app_type_clipboard_key();
// Shift+F1-F4 (save) and Ctrl+F1-F4 (load) state slot 1-4; Pause/Break.
void app_state_slot_key(int slot, bool save);
void app_toggle_pause();
