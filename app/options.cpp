// Our own GNU-style options. Each takes its value from the next argument or
// after '=' (--frames=600). Anything that does not start with "--" is left
// for the machine's token table, in order.
#include "app/options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "app/host_input.h"

namespace {

bool parse_int(const std::string& text, long low, long high, int* out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < low || value > high) return false;
  *out = static_cast<int>(value);
  return true;
}

// KEY@FROM-TO, e.g. RETURN@10-12.
bool parse_hold(const std::string& text, KeyHold* hold, std::string* why) {
  const size_t at = text.rfind('@');
  const size_t dash = text.find('-', at == std::string::npos ? 0 : at);
  if (at == std::string::npos || at == 0 || dash == std::string::npos) {
    *why = "expected KEY@FROM-TO";
    return false;
  }
  const std::string key = text.substr(0, at);
  hold->code = input_key_code(key.c_str());
  if (hold->code < 0) {
    *why = "unknown key '" + key + "'";
    return false;
  }
  if (!parse_int(text.substr(at + 1, dash - at - 1), 0, INT_MAX, &hold->from) ||
      !parse_int(text.substr(dash + 1), 0, INT_MAX, &hold->to)) {
    *why = "FROM and TO must be frame numbers";
    return false;
  }
  if (hold->to <= hold->from) {
    *why = "TO must be after FROM";
    return false;
  }
  return true;
}

}  // namespace

const char* app_usage() {
  return
      "Usage: quav [OPTION]... [IMAGE] [/file PATH] [/game N] [/blit N] [/res W H] [/list]\n"
      "Emulates the Sega SC-3000 home computer.\n"
      "\n"
      "The machine's own options (each value is a separate argument):\n"
      "  /list            write the library to gamelist.txt and exit (first argument only)\n"
      "  /file PATH       run the cartridge image PATH (up to 32 KB, the flat map)\n"
      "  IMAGE            a bare path naming an existing file: run that cartridge image\n"
      "                   under the memory map --mapper gives (up to 4 MB), with the\n"
      "                   PPI as the SC-3000's 8255 powers on (joystick 1 selected)\n"
      "  /game N          run library entry N (0-33) at start\n"
      "  /blit N          start in blit mode N (0-6)\n"
      "  /res W H         start in the resolution W x H if it is available\n"
      "\n"
      "Options:\n"
      "  --windowed       open a window instead of full-screen\n"
      "  --roms DIR       look for library images in DIR first\n"
      "  --mapper NAME    the memory map of a bare IMAGE path (default auto):\n"
      "                     rom    up to 48 KB of ROM at 0x0000-0xBFFF, RAM from 0xC000\n"
      "                     sega   16 KB banks switched by writes to 0xFFFD-0xFFFF,\n"
      "                            RAM from 0xC000 (images up to 4 MB)\n"
      "                     ram8k  up to 32 KB of ROM, RAM at 0x2000-0x3FFF and from 0x8000\n"
      "                     auto   by size: up to 32 KB as /file, up to 48 KB rom, above sega\n"
      "                   /file and the library always use the flat map\n"
      "  --list           print the library: index, title, file name, found or missing\n"
      "  --show-load      show the emulation load (as holding Ctrl at start does)\n"
      "  --ntsc           run the NTSC machine: 262 lines a frame, 60 frames a second\n"
      "                   (the default is the 50 Hz machine: 312 lines, 50 a second)\n"
      "  --res W H        as /res, checked strictly\n"
      "  --blit N         as /blit, checked strictly\n"
      "  --help           show this help and exit\n"
      "  --version        show the version and exit\n"
      "\n"
      "Headless runs (no window, no sound card; deterministic output):\n"
      "  --headless       run without window or sound, as fast as the host allows\n"
      "  --frames N       run N frames (default 300), one per pacing step\n"
      "  --shot PATH      after the last frame, save the screenshot (BMP) to PATH\n"
      "  --present-shot PATH  save the presented back buffer (24-bit BMP) to PATH\n"
      "  --vgm PATH       log the sound chip from the first frame and write it to PATH\n"
      "  --wav PATH       write the audio as a 16-bit mono 44,100 Hz WAV file\n"
      "  --hold KEY@FROM-TO  hold host key KEY (a DirectInput name without DIK_, e.g.\n"
      "                   A, RETURN, LSHIFT, UP, F2) from frame FROM up to frame TO;\n"
      "                   repeatable\n"
      "  --load-state PATH  before the first frame, replace the machine by the state\n"
      "                   saved in PATH, on the machine (50 Hz or NTSC) it was saved\n"
      "                   from (a state that cannot be loaded ends the run)\n"
      "  --save-state PATH  after the last frame, save the machine's state to PATH\n"
      "\n"
      "In the window, Shift+F1-F4 save the machine into state slots 1-4 and\n"
      "Ctrl+F1-F4 load them ($XDG_STATE_HOME/quav, ~/.local/state/quav); Pause/Break\n"
      "pauses and resumes.\n"
      "\n"
      "In the window the sound reaches the sound card about 30 ms after its frame is\n"
      "made; while it plays, the frames are paced by the card's clock (50 or 60 to\n"
      "its second), so the pitch is the machine's. Starts, pauses, loads, a host too\n"
      "busy to keep up and quitting fade the sound instead of cutting it.\n"
      "\n"
      "Cassette tape and typing (in the window or headless):\n"
      "  --tape PATH      play the WAV file PATH as the cassette from the first frame\n"
      "                   (PCM, 8 or 16 bits, mono or the first channel, any rate)\n"
      "  --tape-out PATH  record the cassette output of the whole run to PATH as a\n"
      "                   16-bit mono 44,100 Hz WAV file\n"
      "  --type TEXT      type TEXT on the SC-3000 keyboard, \\n for Return: each key\n"
      "                   (with Shift where its legend needs it) held 3 frames and\n"
      "                   released 3; a character without a key is named and skipped\n"
      "  --type-file PATH type the text of PATH (a BASIC listing) the same way\n"
      "  --type-at N      start typing at frame N (default 100); texts follow each\n"
      "                   other in the order given\n"
      "In the window, Shift+F5 plays or stops the tape, Shift+F6 rewinds it and\n"
      "Shift+F7 types the clipboard's text. To load a program into BASIC, type\n"
      "LOAD and press Return, then Shift+F6 to start the tape from its beginning;\n"
      "SAVE writes to --tape-out.\n"
      "\n"
      "Key recordings (in the window or headless):\n"
      "  --record PATH    write the keys as the machine saw them to PATH, one line per\n"
      "                   change: frame, key, down or up (\"120 RETURN down\")\n"
      "  --replay PATH    take the keys from such a file instead of the keyboard (the\n"
      "                   gamepad is not read); a headless replay repeats its run exactly\n"
      "\n"
      "Images of the library are looked up in --roms DIR, $QUAV_ROMS, ./roms and\n"
      "$XDG_DATA_HOME/quav/roms (~/.local/share/quav/roms), by title: star_jacker.sc ...\n"
      "Every file is written to a temporary file beside it and renamed into place when\n"
      "complete. Exit status: 0; 1 when a headless output file cannot be written, or the\n"
      "file given to --load-state, --replay, --tape or --type-file cannot be read; 2 for\n"
      "a usage error.\n";
}

int app_parse_options(int argc, const char* const* argv, RunOptions* options, std::string* error) {
  RunOptions& o = *options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--", 0) != 0 || arg == "--") {
      o.rest.push_back(arg);
      continue;
    }
    std::string inline_value;
    bool has_inline = false;
    const size_t eq = arg.find('=');
    if (eq != std::string::npos) {
      inline_value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      has_inline = true;
    }
    // Takes the option's next value, from "=VALUE" or the next argument.
    auto value = [&](std::string* out) {
      if (has_inline) {
        *out = inline_value;
        has_inline = false;
        return true;
      }
      if (i + 1 >= argc) {
        *error = arg + " needs a value";
        return false;
      }
      *out = argv[++i];
      return true;
    };
    auto flag = [&](bool* out) {
      if (has_inline) {
        *error = arg + " takes no value";
        return false;
      }
      *out = true;
      return true;
    };
    std::string v;
    if (arg == "--help") {
      if (!flag(&o.help)) return 0;
    } else if (arg == "--version") {
      if (!flag(&o.version)) return 0;
    } else if (arg == "--windowed") {
      if (!flag(&o.windowed)) return 0;
    } else if (arg == "--list") {
      if (!flag(&o.list)) return 0;
    } else if (arg == "--show-load") {
      if (!flag(&o.show_load)) return 0;
    } else if (arg == "--ntsc") {
      if (!flag(&o.ntsc)) return 0;
    } else if (arg == "--headless") {
      if (!flag(&o.headless)) return 0;
    } else if (arg == "--frames") {
      if (!value(&v)) return 0;
      if (!parse_int(v, 1, INT_MAX, &o.frames)) {
        *error = "--frames: '" + v + "' is not a positive number of frames";
        return 0;
      }
      o.frames_given = true;
    } else if (arg == "--blit") {
      if (!value(&v)) return 0;
      if (!parse_int(v, 0, 6, &o.blit_mode)) {
        *error = "--blit: '" + v + "' is not a blit mode (0-6)";
        return 0;
      }
    } else if (arg == "--res") {
      std::string w, h;
      if (!value(&w)) return 0;
      if (!value(&h)) return 0;
      if (!parse_int(w, 1, 100000, &o.width) || !parse_int(h, 1, 100000, &o.height)) {
        *error = "--res: '" + w + " " + h + "' is not a width and height";
        return 0;
      }
    } else if (arg == "--mapper") {
      if (!value(&v)) return 0;
      if (!cart_parse_mapper(v.c_str(), &o.mapper)) {
        *error = "--mapper: '" + v + "' is not a memory map (rom, sega, ram8k, auto)";
        return 0;
      }
    } else if (arg == "--roms" || arg == "--shot" || arg == "--present-shot" || arg == "--vgm" ||
               arg == "--wav" || arg == "--save-state" || arg == "--load-state" ||
               arg == "--record" || arg == "--replay" || arg == "--tape" ||
               arg == "--tape-out") {
      if (!value(&v)) return 0;
      if (v.empty()) {
        *error = arg + " needs a non-empty path";
        return 0;
      }
      std::string* target = arg == "--roms"           ? &o.roms
                            : arg == "--shot"         ? &o.shot
                            : arg == "--present-shot" ? &o.present_shot
                            : arg == "--vgm"          ? &o.vgm
                            : arg == "--wav"          ? &o.wav
                            : arg == "--save-state"   ? &o.save_state
                            : arg == "--load-state"   ? &o.load_state
                            : arg == "--record"       ? &o.record
                            : arg == "--tape"         ? &o.tape
                            : arg == "--tape-out"     ? &o.tape_out
                                                      : &o.replay;
      *target = v;
    } else if (arg == "--type" || arg == "--type-file") {
      if (!value(&v)) return 0;
      if (arg == "--type-file" && v.empty()) {
        *error = arg + " needs a non-empty path";
        return 0;
      }
      o.type.push_back(TypedSource{arg == "--type-file", v});
    } else if (arg == "--type-at") {
      if (!value(&v)) return 0;
      if (!parse_int(v, 0, INT_MAX, &o.type_at)) {
        *error = "--type-at: '" + v + "' is not a frame number";
        return 0;
      }
    } else if (arg == "--hold") {
      if (!value(&v)) return 0;
      KeyHold hold{};
      std::string why;
      if (!parse_hold(v, &hold, &why)) {
        *error = "--hold: '" + v + "': " + why;
        return 0;
      }
      o.holds.push_back(hold);
    } else {
      *error = "unknown option " + arg + " (see --help)";
      return 0;
    }
  }
  if (!o.replay.empty() && (!o.record.empty() || !o.holds.empty())) {
    *error = std::string("--replay cannot be combined with ") +
             (o.record.empty() ? "--hold" : "--record");
    return 0;
  }
  if (!o.headless) {
    const char* headless_only = !o.shot.empty()           ? "--shot"
                                : !o.present_shot.empty() ? "--present-shot"
                                : !o.vgm.empty()          ? "--vgm"
                                : !o.wav.empty()          ? "--wav"
                                : !o.save_state.empty()   ? "--save-state"
                                : !o.load_state.empty()   ? "--load-state"
                                : !o.holds.empty()        ? "--hold"
                                : o.frames_given          ? "--frames"
                                                          : nullptr;
    if (headless_only) {
      *error = std::string(headless_only) + " needs --headless";
      return 0;
    }
  }
  return 1;
}
