// The cassette: WAV tapes read into levels (the channel and the sign read,
// other chunks, damage), the level the machine reads at a T-state, port B
// bit 7 in every row, play, stop and rewind; the output recorded from every
// change of port C bit 4, and the file written. Our tape programs run end to
// end in tape_session.py.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "bus/ppi.h"
#include "bus/tape.h"
#include "app/tape_wav.h"
#include "platform/wav_header.h"

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kClock = kTapeClockHz;

// A scratch folder of its own for each test.
class TapeFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("quav_tape_" + std::to_string(getpid()));
    fs::create_directories(dir_);
    saved_ppi_ = std::exchange(ppi, PpiState{});
    tape_eject();
    tape.clock = 0;
    tape.out = TapeRecorder{};
  }
  void TearDown() override {
    tape_record_discard();
    tape.out = TapeRecorder{};
    tape_eject();
    tape.clock = 0;
    ppi = saved_ppi_;
    fs::remove_all(dir_);
  }
  std::string path(const char* name) const { return (dir_ / name).string(); }
  // A PCM WAV file: `frames` frames whose first channel is sample(i) (the
  // others hold the opposite, so that only the first one can be what is read).
  std::string wav(const char* name, uint32_t rate, uint32_t bits, uint32_t channels,
                  uint32_t frames, const std::function<int(uint32_t)>& sample) {
    std::vector<uint8_t> data;
    for (uint32_t i = 0; i < frames; ++i) {
      for (uint32_t c = 0; c < channels; ++c) {
        const int v = c == 0 ? sample(i) : -sample(i);
        if (bits == 8) {
          data.push_back(static_cast<uint8_t>(128 + v / 256));
        } else {
          data.push_back(static_cast<uint8_t>(v));
          data.push_back(static_cast<uint8_t>(v >> 8));
        }
      }
    }
    uint8_t h[kWavHeaderBytes];
    wav_pcm_header(h, rate, channels, bits, static_cast<uint32_t>(data.size()));
    return bytes(name, std::vector<uint8_t>(h, h + sizeof h), data);
  }
  std::string bytes(const char* name, std::vector<uint8_t> head, const std::vector<uint8_t>& rest) {
    head.insert(head.end(), rest.begin(), rest.end());
    std::ofstream(path(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
    return path(name);
  }
  fs::path dir_;
  PpiState saved_ppi_;
};

// A square wave of `period` samples, high first, at a level of 8000.
std::function<int(uint32_t)> square(uint32_t period) {
  return [period](uint32_t i) { return i % period < period / 2 ? 8000 : -8000; };
}

std::vector<uint32_t> levels_of(const TapeLevels& t) {
  std::vector<uint32_t> out;
  for (uint64_t i = 0; i < t.count; ++i) out.push_back((t.bits[i / 64] >> (i % 64)) & 1);
  return out;
}

using TapeWav = TapeFiles;

// 1 above zero, 0 at or below; 8-bit samples are unsigned around 128, and
// of stereo only the first channel counts (the other holds the opposite).
// The formats and rates in use are read end to end (tape_session.py formats).
TEST_F(TapeWav, ReadsTheFirstChannelAboveZero) {
  const int values[] = {0, 1, -1, 255, -256, 256};
  for (uint32_t bits : {8u, 16u}) {
    const std::string file = wav("z.wav", 8000, bits, 2, 6, [&](uint32_t i) { return values[i]; });
    TapeLevels t;
    std::string why, note;
    ASSERT_TRUE(tape_wav_read(file.c_str(), &t, &why, &note));
    const std::vector<uint32_t> want = bits == 8 ? std::vector<uint32_t>{0, 0, 0, 0, 0, 1}
                                                 : std::vector<uint32_t>{0, 1, 0, 1, 0, 1};
    EXPECT_EQ(levels_of(t), want) << bits << " bits";
  }
}

// Other chunks before the data (odd lengths padded), an extensible format
// chunk, a data chunk that claims more than the file holds, and the sizes
// a writer that streamed the file leaves.
TEST_F(TapeWav, SkipsOtherChunksAndPlaysWhatACutFileHolds) {
  std::vector<uint8_t> head = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                               'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0,
                               'f', 'm', 't', ' ', 40, 0, 0, 0};
  const uint8_t format[40] = {0xFE, 0xFF, 1, 0, 0x80, 0x25, 0, 0, 0x80, 0x25, 0, 0, 1, 0, 8, 0,
                              22, 0, 8, 0, 4, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0x10, 0,
                              0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
  head.insert(head.end(), format, format + sizeof format);
  const uint8_t data[8] = {'d', 'a', 't', 'a', 200, 0, 0, 0};  // 200 samples claimed
  head.insert(head.end(), data, data + sizeof data);
  const std::string file = bytes("x.wav", head, {0x90, 0x70, 0x90, 0x90, 0x10});
  TapeLevels t;
  std::string why, note;
  ASSERT_TRUE(tape_wav_read(file.c_str(), &t, &why, &note)) << why;
  EXPECT_EQ(std::tuple(t.rate, levels_of(t), note),
            std::tuple(9600u, std::vector<uint32_t>{1, 0, 1, 1, 0},
                       std::string("cut short; playing the 0.0 seconds it holds")));
  // A streamed file's data size, 0 or all ones: the rest of the file, no note.
  for (uint8_t fill : {0x00, 0xFF}) {
    std::fill(head.end() - 4, head.end(), fill);
    ASSERT_TRUE(tape_wav_read(bytes("s.wav", head, {0x90, 0x70, 0x90}).c_str(), &t, &why, &note));
    EXPECT_EQ(std::tuple(levels_of(t), note), std::tuple(std::vector<uint32_t>{1, 0, 1}, ""));
  }
}

// Each file that cannot be a tape gets its reason, and nothing is read (a
// missing file, a folder, text and a cut header also end to end, in
// tape_session.py damaged).
TEST_F(TapeWav, RefusesWhatIsNotATape) {
  const std::string good = wav("good.wav", 9600, 8, 1, 100, square(8));
  std::ifstream in(good, std::ios::binary);
  const std::vector<uint8_t> whole((std::istreambuf_iterator<char>(in)), {});
  const auto cut = [&](const char* name, size_t n) {
    return bytes(name, std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(n)), {});
  };
  auto with = [&](const char* name, size_t at, std::vector<uint8_t> patch) {
    std::vector<uint8_t> b = whole;
    std::copy(patch.begin(), patch.end(), b.begin() + static_cast<long>(at));
    return bytes(name, b, {});
  };
  const std::pair<std::string, std::string> cases[] = {
      {bytes("empty.wav", {}, {}), "not a WAV file"},
      {cut("riff.wav", 6), "cut short inside its header"},
      {cut("data.wav", 40), "cut short inside its header"},
      {cut("nodata.wav", 44), "holds no samples"},
      {with("float.wav", 20, {3, 0}), "its samples are floating point (QUAV plays 8- and 16-bit PCM)"},
      {with("adpcm.wav", 20, {2, 0}), "not PCM (format 2)"},
      {with("b24.wav", 34, {24, 0}), "24-bit samples (QUAV plays 8- and 16-bit PCM)"},
      {with("mono0.wav", 22, {0, 0}), "damaged (its format chunk holds impossible values)"},
      {with("nofmt.wav", 12, {'j', 'u', 'n', 'k'}), "damaged (no format chunk before its data)"},
  };
  for (const auto& [file, reason] : cases) {
    TapeLevels t;
    t.rate = 123;
    std::string why, note;
    EXPECT_FALSE(tape_wav_read(file.c_str(), &t, &why, &note)) << file;
    EXPECT_EQ(std::tuple(why, t.rate), std::tuple(reason, 123u)) << file;
  }
}

using TapeDeck = TapeFiles;

// Sample i of a tape plays from T-state ceil(i x clock / rate): the level
// at the T-state before an edge is the old one, at the edge the new one.
TEST_F(TapeDeck, TheLevelChangesAtTheTStateOfEachEdge) {
  for (uint32_t rate : {9600u, 44100u, 48000u}) {
    TapeLevels t;
    std::string why, note;
    ASSERT_TRUE(tape_wav_read(wav("e.wav", rate, 16, 1, 200, square(14)).c_str(), &t, &why, &note));
    for (uint64_t edge = 7; edge < 200; edge += 7) {
      const uint64_t at = (edge * kClock + rate - 1) / rate;
      const uint32_t now = edge % 14 == 0 ? 1 : 0;
      EXPECT_EQ(std::pair(tape_level_at(t, at - 1), tape_level_at(t, at)), std::pair(1 - now, now))
          << rate << " Hz, sample " << edge;
    }
    EXPECT_EQ(tape_level_at(t, 200 * kClock / rate + 1), 0u) << "past the end";
  }
}

// Bit 7 of port B is the tape in every row, the joystick row included;
// stopped, the tape reads 0; without one, port B reads as before. Play and
// stop keep the position; rewind goes back to the start.
TEST_F(TapeDeck, PortBReadsTheTapeWhilePlayingAndTheDeckKeepsItsPlace) {
  for (uint16_t& row : ppi.key_rows) row = 0xFFFF;
  ppi.joystick2 = 0x04;
  TapeLevels t;
  std::string why, note;
  ASSERT_TRUE(tape_wav_read(wav("p.wav", 8000, 8, 1, 8000, square(100)).c_str(), &t, &why, &note));
  const auto port_b = [](uint32_t row) {
    ppi_write_port_c(static_cast<uint8_t>(row));
    return ppi_read_port_b();
  };
  EXPECT_EQ(std::pair(port_b(0), port_b(7)), std::pair(uint8_t{0xFF}, uint8_t{0x3E})) << "no tape";
  tape_insert(t);
  tape.clock = 10 * kClock / 8000;  // sample 10: high
  EXPECT_EQ(std::pair(port_b(3), port_b(7)), std::pair(uint8_t{0xFF}, uint8_t{0xBE}));
  tape.clock = 60 * kClock / 8000 + 1;  // sample 60: low
  EXPECT_EQ(std::pair(port_b(3), port_b(7)), std::pair(uint8_t{0x7F}, uint8_t{0x3E}));

  tape.clock = 130 * kClock / 8000 + 1;
  EXPECT_EQ(tape_toggle_play(), 0u);
  tape.clock += kClock;  // a second later the tape is still at sample 130: high
  EXPECT_EQ(std::pair(tape_position(), port_b(0)), std::pair(130 * kClock / 8000 + 1, uint8_t{0x7F}))
      << "stopped, it reads 0";
  EXPECT_EQ(tape_toggle_play(), 1u);
  EXPECT_EQ(port_b(0), 0xFF);
  tape.clock += 40 * kClock / 8000;  // sample 170: low
  EXPECT_EQ(port_b(0), 0x7F);
  tape_rewind();
  EXPECT_EQ(std::tuple(tape_position(), tape.playing, port_b(0)), std::tuple(uint64_t{0}, 1u, uint8_t{0xFF}));
  tape.clock += 2 * kClock;  // past the end: 0, and play starts again from the start
  EXPECT_EQ(std::pair(tape_position(), port_b(0)), std::pair(tape_length(), uint8_t{0x7F}));
  tape_toggle_play();
  tape_toggle_play();
  EXPECT_EQ(std::pair(tape_position(), port_b(0)), std::pair(uint64_t{0}, uint8_t{0xFF}));
}

using TapeOut = TapeFiles;

// Port C writes, the 8255's bit set/reset and mode set, and its power-on:
// each change of bit 4 is stamped at the machine's time; other bits are not.
// The file is a 16-bit mono 44,100 Hz WAV whose last sample is completed.
TEST_F(TapeOut, EveryChangeOfPortCBit4IsRecordedAndTheFileWritten) {
  ASSERT_TRUE(tape_record_open(path("out.wav").c_str()));
  tape_record_start(0);
  const auto at = [](uint64_t t, auto change) {
    tape.clock = t;
    change();
  };
  at(441, [] { ppi_write_port_c(0x17); });  // high at 441 T-states: 5.43 samples in
  at(1000, [] { ppi_write_port_c(0x12); });  // bit 4 unchanged
  at(1623, [] { ppi_power_on_8255(); });  // 0xFF: still high
  at(2435, [] { ppi_write_control(0x08); });  // reset bit 4: low at 29.9998 samples
  at(3247, [] { ppi_write_control(0x09); });  // set bit 4: high at 40.003 samples
  at(4058, [] { ppi_write_control(0x80); });  // mode set: low at 49.995 samples
  at(4100, [] { ppi_write_port_c(0x00); });
  tape.clock = 4870;
  ASSERT_TRUE(tape_record_close());  // 59.998 samples: 60 made
  std::ifstream in(path("out.wav"), std::ios::binary);
  const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), {});
  uint8_t h[kWavHeaderBytes];
  wav_pcm_header(h, 44100, 1, 16, 120);
  ASSERT_EQ(b.size(), sizeof h + 120);
  EXPECT_TRUE(std::equal(h, h + sizeof h, b.begin()));
  std::string levels;
  for (size_t i = 0; i < 60; ++i) {
    const int16_t v = static_cast<int16_t>(b[44 + 2 * i] | b[45 + 2 * i] << 8);
    levels += v == 24576 ? 'H' : v == -24576 ? 'L' : 'x';
  }
  EXPECT_EQ(levels, std::string(5, 'L') + "x" + std::string(23, 'H') + "x" + std::string(10, 'L') +
                        "x" + std::string(8, 'H') + "x" + std::string(10, 'L'));
}

}  // namespace
