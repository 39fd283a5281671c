// Files QUAV reads and writes, under one policy.
//
// A file written (screenshot, VGM, WAV, game list, key recording, state)
// goes to a temporary file in the target's own folder and is renamed over
// the target only when it is complete, so an existing file is never left
// half-written and a failed write leaves nothing behind. Each failure is
// reported at once as one line on stderr naming the file and the reason.
//
// A file read is checked before it is used: missing, a directory,
// unreadable. The reason comes back to the caller, which knows what the
// file was for and reports it in its own words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// A file being written. Bytes go to `temp_path` until output_commit.
struct OutputFile {
  std::FILE* f = nullptr;
  std::string path;       // the target
  std::string temp_path;  // beside the target
  int error = 0;          // errno of the first failed write; 0 while all is well
};

// Creates the temporary file beside `path`. 1, or 0 with the failure reported
// (and its errno in `error`).
int output_open(OutputFile* out, const char* path);
// Appends bytes. A failure is kept and reported at output_commit.
void output_write(OutputFile* out, const void* data, size_t size);
// Overwrites bytes at `offset` from the start (a header completed at the end).
void output_write_at(OutputFile* out, long offset, const void* data, size_t size);
// Closes the temporary file and renames it over the target. 1, or 0 with
// the failure reported and the temporary file removed.
int output_commit(OutputFile* out);
// Drops the temporary file; the target is left as it was.
void output_discard(OutputFile* out);
// A whole file in one call: open, write, commit.
int output_write_file(const char* path, const void* data, size_t size);

// Reads the file at `path` whole, at most `limit` bytes. *longer (may be
// null) tells whether more bytes followed. 1, or 0 with the reason in *why
// ("No such file or directory", "Is a directory", ...).
int file_read_checked(const char* path, size_t limit, std::vector<uint8_t>* bytes, bool* longer,
                      std::string* why);
