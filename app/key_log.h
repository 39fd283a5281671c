// Recording and replaying the host keys as the machine saw them.
//
// A recording is a text file with one line per change of a key: the frame
// (counted from 0, the run's first frame), the key's name as --hold takes
// it, and "down" or "up", e.g. "120 RETURN down". Blank lines and lines
// starting with '#' are skipped. While recording or replaying, the keys are
// taken once per pacing pass, and every key question of that pass (the
// hotkeys, the emulated keyboard) is answered from that one view; a replay's
// view stands in for the keyboard, and the gamepad is not read.
//
// Headless, a pass is one frame and its number is the frame's, as --hold
// counts them, so a replay repeats its recorded run exactly. In the window a
// frame may see several passes (or none, as when the machine is paused): a
// change is recorded with the number of frames run so far, and a replay
// applies the changes due one view at a time, so that a key pressed and
// released within one frame is still seen pressed for one pass.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

enum class KeyLogMode { Off, Record, Replay };

struct KeyChange {
  int32_t frame;
  uint8_t code;  // DirectInput key code
  uint8_t down;  // 1 down, 0 up
};

struct KeyLog {
  KeyLogMode mode = KeyLogMode::Off;
  OutputFile out;                  // Record: the file being written
  std::vector<KeyChange> changes;  // Replay: the whole file, in order
  size_t next = 0;                 // Replay: the first change not yet applied
  uint8_t view[256] = {};          // the keys in force, bit 7 = down
};

extern KeyLog key_log;

// Starts a recording into `path` (its temporary file is created now).
// 1, or 0 with the failure reported in one line, returned in *line too.
int key_log_record(const char* path, std::string* line);
// Reads and checks the whole replay file. 1, or 0 with one line on stderr
// naming the file and the reason (returned in *line too); nothing changes.
int key_log_replay(const char* path, std::string* line);
// A pacing pass at `frame` begins: the view is taken from the host's keys
// (recording) or advanced through the changes due (replay) and put in force.
void key_log_pass(int32_t frame);
// Ends the recording or replay; a recording is completed and renamed into
// place. 1, or 0 when the recording could not be written (reported).
int key_log_finish();

// The text of a replay file as changes. 1, or 0 with the reason in *why
// ("line 3: unknown key 'FOO'").
int key_log_parse(const std::string& text, std::vector<KeyChange>* changes, std::string* why);
