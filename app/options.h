// Our own GNU-style options (--help, --headless, --frames, ...). They are
// taken out of the arguments first; what is left forms the machine's own
// token table. Values are checked strictly: a bad one is a usage error.
#pragma once

#include <string>
#include <vector>

#include "machine/machine.h"

struct KeyHold {
  int code;  // DirectInput key code
  int from;  // first frame held
  int to;    // first frame released again
};

// One text to type: --type TEXT (with \n for Return) or --type-file PATH.
struct TypedSource {
  bool file;
  std::string value;
};

struct RunOptions {
  bool help = false;
  bool version = false;
  bool windowed = false;
  bool list = false;
  bool show_load = false;
  bool ntsc = false;  // the 60 Hz NTSC machine instead of the 50 Hz one
  bool headless = false;
  int frames = 300;
  bool frames_given = false;
  std::string roms;
  std::string shot;
  std::string present_shot;
  std::string vgm;
  std::string wav;
  std::string save_state;
  std::string load_state;
  std::string record;  // the keys as the machine saw them, written here
  std::string replay;  // keys read from here instead of the keyboard
  std::vector<KeyHold> holds;
  std::string tape;      // the WAV file played as the cassette
  std::string tape_out;  // the cassette output recorded here
  std::vector<TypedSource> type;  // typed one after another, in order
  int type_at = 100;     // the frame typing starts at
  int width = -1;
  int height = -1;
  int blit_mode = -1;
  MapperChoice mapper = MapperChoice::Auto;  // for an IMAGE named by a bare path
  std::vector<std::string> rest;  // the machine's own tokens, in order
};

// Fills `options` from argv[1..argc). Returns 1, or 0 with the reason in
// `error` (one line, no trailing newline).
int app_parse_options(int argc, const char* const* argv, RunOptions* options, std::string* error);

// The text of --help.
const char* app_usage();
