// The machine's files in the window and headless runs: state files and the
// VGM log, read and written by the one file policy (a file read is checked
// before it is used; a file written goes through a temporary file renamed
// over it when complete; each failure is one line naming the file).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A state file's bytes; false with the reason (missing, a directory,
// unreadable, too large, compressed by RetroArch) in `why`. A state that
// RetroArch saved from the libretro core comes in RetroArch's container; its
// bytes are taken out of it. Nothing is checked beyond reading.
bool state_read_file(const std::string& path, std::vector<uint8_t>* bytes, std::string* why);
// Reads, checks and loads a state file; false with the reason in `why`, and
// then the machine is exactly as it was.
bool state_load_file(const std::string& path, std::string* why);
// Writes the machine's state to `path`; false with the reason in `why`. The
// failure is reported on stderr by the writer, in one line.
bool state_save_file(const std::string& path, std::string* why);
// Ends the VGM log and writes it to file_name if one is active. 0 when the
// file could not be written (reported in one line; the log is discarded),
// else 1.
int vgm_stop(const char* file_name);
