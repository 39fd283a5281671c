// The shell's side of the cassette deck and of typing: --tape, --tape-out,
// --type, --type-file and --type-at at start-up, the recording finished at
// the end, Shift+F5 (play or stop), Shift+F6 (rewind) and Shift+F7 (type the
// clipboard) in the window, and the tape's line in the load display.
#pragma once

#include <string>

#include "app/options.h"

// Before anything is set up: reads the tape and the texts to type (a
// character without a key is named in one line and skipped), then opens
// the recording. 1, or 0 when a file cannot be read or the recording
// cannot be started: one line on stderr, also returned in *line; what could
// be set up stays (a headless run stops; the window runs on and shows it).
int app_tape_setup(const RunOptions& options, std::string* line);
// Right before the first frame: the recording starts at the output's level.
void app_tape_begin();
// After a pacing step's frames: the recorded samples go to the file once
// enough have gathered.
void app_tape_keep_up();
// After the last frame: the recording is completed. 1, or 0 when it could
// not be written (reported).
int app_tape_finish();
// Drops a recording that was started, writing nothing.
void app_tape_discard();

// The actions of the window's keys, each returning its message:
// play or stop ("Tape playing", "Tape stopped", "No tape"), rewind ("Tape
// rewound", "No tape"), type the clipboard ("Typing 12 characters",
// "Nothing to type"; a character without a key is named on stderr).
std::string app_tape_play_stop();
std::string app_tape_rewind();
std::string app_type_clipboard();

// The load display's line for the tape while it plays, e.g.
// "Tape 0:12 / 3:45"; empty while no tape plays.
std::string app_tape_load_line();
