// The audio stream: 882 samples per frame from the PSG, staged for three
// frames and written into the host's looping buffer by its play position.
#pragma once

#include <cstdint>

void snd_init();
int snd_open(int rate, int stereo, int chunk_ms);
void snd_start();
void snd_stop();
void snd_close();
void snd_frame_begin();
void snd_line_done();
void snd_frame_end(int deliver);
