// The cassette deck and the cassette interface: the tape's level at the
// machine's time for port B, its position as the shell plays, stops and
// rewinds it, and the recording of port C bit 4 as 44,100 Hz samples.
#include "bus/tape.h"

#include <utility>

TapeState tape;

namespace {

constexpr uint64_t kWordBits = 64;
constexpr int64_t kOutAmplitude = 24576;  // the positive level; the negative is its opposite

// The sample value of a span whose part `high` (of kTapeClockHz) was at the
// positive level: the mean level, rounded to the nearest step.
int16_t mean_level(uint64_t high) {
  const int64_t span = kTapeClockHz;
  const int64_t num = kOutAmplitude * (2 * static_cast<int64_t>(high) - span);
  return static_cast<int16_t>((num >= 0 ? num + span / 2 : num - span / 2) / span);
}

}  // namespace

void tape_insert(TapeLevels levels) {
  tape.levels = std::move(levels);
  tape.inserted = 1;
  tape.playing = 1;
  tape.position = 0;
  tape.play_start = tape.clock;
}

void tape_eject() {
  tape.levels = TapeLevels{};
  tape.inserted = 0;
  tape.playing = 0;
  tape.position = 0;
}

uint64_t tape_length() {
  if (tape.levels.rate == 0) return 0;
  return tape.levels.count * kTapeClockHz / tape.levels.rate;
}

uint64_t tape_position() {
  const uint64_t at = tape.playing ? tape.position + (tape.clock - tape.play_start) : tape.position;
  const uint64_t length = tape_length();
  return at < length ? at : length;
}

uint32_t tape_toggle_play() {
  if (tape.inserted == 0) return 0;
  if (tape.playing) {
    tape.position = tape_position();
    tape.playing = 0;
  } else {
    if (tape_position() >= tape_length()) tape.position = 0;
    tape.play_start = tape.clock;
    tape.playing = 1;
  }
  return tape.playing;
}

void tape_rewind() {
  tape.position = 0;
  tape.play_start = tape.clock;
}

uint32_t tape_level_at(const TapeLevels& levels, uint64_t t) {
  const uint64_t i = t * levels.rate / kTapeClockHz;
  if (i >= levels.count) return 0;
  return static_cast<uint32_t>(levels.bits[i / kWordBits] >> (i % kWordBits)) & 1;
}

uint8_t tape_port_b(uint8_t b) {
  uint32_t level = 0;
  if (tape.playing) {
    level = tape_level_at(tape.levels, tape.position + tape_now() - tape.play_start);
  }
  return static_cast<uint8_t>((b & ~kCassetteInBit) | (level ? kCassetteInBit : 0));
}

void tape_record_until(TapeRecorder& r, uint64_t t) {
  const uint64_t to = t * kTapeOutRate;
  for (;;) {
    const uint64_t end = (r.sample + 1) * kTapeClockHz;
    const uint64_t upto = to < end ? to : end;
    if (upto > r.mark) {
      if (r.level) r.high += upto - r.mark;
      r.mark = upto;
    }
    if (to < end) return;
    r.pending.push_back(mean_level(r.high));
    r.sample += 1;
    r.high = 0;
  }
}

void tape_record_start(uint32_t level) {
  TapeRecorder& r = tape.out;
  r = TapeRecorder{};
  r.recording = 1;
  r.level = level;
  r.mark = tape.clock * kTapeOutRate;
  r.sample = r.mark / kTapeClockHz;
  r.high = level ? r.mark - r.sample * kTapeClockHz : 0;
}

void tape_record_stop() {
  TapeRecorder& r = tape.out;
  if (!r.recording) return;
  tape_record_until(r, tape.clock);
  // The sample under way is made whole at the level the output ends on.
  if (r.mark > r.sample * kTapeClockHz) {
    tape_record_until(r, ((r.sample + 1) * kTapeClockHz + kTapeOutRate - 1) / kTapeOutRate);
  }
  r.recording = 0;
}

void tape_record_level(uint64_t t, uint32_t level) {
  tape_record_until(tape.out, t);
  tape.out.level = level;
}
