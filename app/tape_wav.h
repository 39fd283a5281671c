// Tapes as WAV files. A tape played is read whole into the levels the
// machine sees (PCM, 8 or 16 bits, mono or the first channel of more, any
// rate); the recorded cassette output is written as 16-bit mono PCM at
// 44,100 Hz, through a temporary file renamed into place when complete.
#pragma once

#include <cstdint>
#include <string>

#include "machine/cassette.h"
#include "platform/file_io.h"

// Reads the WAV file at `path`. 1, or 0 with the reason in *why ("No such
// file or directory", "not a WAV file", "cut short inside its header", ...)
// and `levels` untouched. A data chunk that runs past the end of the file
// plays what is there, and *note says so; otherwise *note is left empty. A
// data chunk's size of 0 or 0xFFFFFFFF (a writer that streamed the file)
// means the rest of the file.
int tape_wav_read(const char* path, TapeLevels* levels, std::string* why, std::string* note);

// The file the cassette output is recorded into.
struct TapeOutFile {
  OutputFile file;
  uint32_t data_bytes = 0;
  uint32_t full = 0;  // 1 once the WAV file could hold no more
};
extern TapeOutFile tape_out_file;

// Opens the file the recording goes to. 1, or 0 with the failure reported
// in one line (its errno in tape_out_file.file.error).
int tape_record_open(const char* path);
// Writes the samples the machine has recorded so far to the file.
void tape_record_flush();
// Ends the recording at the machine's time now: the samples written, the
// file completed and renamed into place. 1 (also when none was open), or 0
// with the failure reported in one line.
int tape_record_close();
// Drops the file, writing nothing.
void tape_record_discard();
