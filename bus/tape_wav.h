// Tapes as WAV files. A tape played is read whole into the levels the
// machine sees (PCM, 8 or 16 bits, mono or the first channel of more, any
// rate); the recorded cassette output is written as 16-bit mono PCM at
// 44,100 Hz, through a temporary file renamed into place when complete.
#pragma once

#include <cstdint>
#include <string>

#include "bus/tape.h"

constexpr uint32_t kTapeOutRate = 44100;

// Reads the WAV file at `path`. 1, or 0 with the reason in *why ("No such
// file or directory", "not a WAV file", "cut short inside its header", ...)
// and `levels` untouched. A data chunk that runs past the end of the file
// plays what is there, and *note says so; otherwise *note is left empty. A
// data chunk's size of 0 or 0xFFFFFFFF (a writer that streamed the file)
// means the rest of the file.
int tape_wav_read(const char* path, TapeLevels* levels, std::string* why, std::string* note);

// Starts recording the cassette output into `path` from the machine's time
// now, at `level`. 1, or 0 with the failure reported in one line.
int tape_record_open(const char* path, uint32_t level);
// Writes the samples made so far to the file (the recorder's own buffer
// when no file is open is simply emptied).
void tape_record_flush(TapeRecorder& r);
// Ends the recording at the machine's time `t`: the last sample is made
// whole at the level then, the file completed and renamed into place. 1, or
// 0 with the failure reported in one line.
int tape_record_close(uint64_t t);
