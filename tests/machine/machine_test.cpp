// The machine alone, driven as a front end without a shell drives it (the
// libretro core): an image loaded as a bare path loads it, each frame's
// input set after the frame, picture and samples taken out, states saved
// and loaded. Its screenshots, samples, VGM logs and states equal those of
// the executable's headless runs with the same keys held; and what the
// interface promises on its own (a new power-on forgets the last, the
// picture's place, the samples of a frame and a chunk, RAM and VRAM).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "app/host_input.h"
#include "bus/io.h"
#include "machine/machine.h"
#include "support/bus_machine.h"
#include "vdp/vdp.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Samples = std::vector<int16_t>;

constexpr int kBmpHeader = 54;
constexpr int kWavHeader = 44;

Bytes read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Hold {
  const char* key;  // as --hold names it
  int from, to;
};

// A run: the image, the machine, the keys held, the frames.
struct Session {
  std::string name;
  const char* rom;
  MachineKind kind;
  // The step from which F4 has put the keys on the matrix instead of
  // joystick 1 (its press acts before that step's frame); -1: never.
  int keyboard_from;
  std::vector<Hold> holds;
  int frames;
};

// What a run gives: its picture as a screenshot's rows (BGR, bottom row
// first), its delivered samples, its VGM log and its state.
struct Outputs {
  Bytes shot;
  Samples wav;
  Bytes vgm;
  Bytes state;
};

Samples samples_of(const Bytes& wav) {
  Samples s((wav.size() - kWavHeader) / 2);
  std::memcpy(s.data(), wav.data() + kWavHeader, s.size() * 2);
  return s;
}

std::string rom_path(const char* rom) { return std::string(QUAV_TEST_ROM_DIR) + "/" + rom + ".bin"; }

// A folder of this test's own (the tests run side by side).
std::string scratch(const std::string& name) {
  const testing::TestInfo* t = testing::UnitTest::GetInstance()->current_test_info();
  std::string own = std::string("quav_") + t->test_suite_name() + "_" + t->name() + "_" + name;
  std::replace(own.begin(), own.end(), '/', '_');
  const std::string dir = testing::TempDir() + own;
  std::filesystem::create_directories(dir);
  return dir;
}

// The executable, headless, with `extra` options.
Outputs executable(const Session& r, const std::string& extra) {
  const std::string dir = scratch(r.name);
  std::string command = std::string(std::getenv("QUAV_BIN")) + " --headless --frames " +
                        std::to_string(r.frames) + " --shot " + dir + "/s.bmp --wav " + dir +
                        "/w.wav --vgm " + dir + "/v.vgm --save-state " + dir + "/s.state";
  if (r.kind == MachineKind::Ntsc) command += " --ntsc";
  if (r.keyboard_from >= 0) {
    command += " --hold F4@" + std::to_string(r.keyboard_from) + "-" + std::to_string(r.keyboard_from + 1);
  }
  for (const Hold& h : r.holds) {
    command += " --hold " + std::string(h.key) + "@" + std::to_string(h.from) + "-" + std::to_string(h.to);
  }
  command += " " + extra + " >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  const Bytes bmp = read_file(dir + "/s.bmp");
  return {Bytes(bmp.begin() + std::min<size_t>(bmp.size(), kBmpHeader), bmp.end()),
          samples_of(read_file(dir + "/w.wav")), read_file(dir + "/v.vgm"), read_file(dir + "/s.state")};
}

// The input of frame k, as a front end of its own lays the held keys over
// the machine: the arrows, A and S on joystick 1 (or every key on the
// matrix in keyboard mode), INS the RESET key.
MachineInput input_of(const Session& r, int frame) {
  const bool keyboard_mode = r.keyboard_from >= 0 && frame >= r.keyboard_from;
  MachineInput input;
  uint8_t keys[256] = {};
  const struct { const char* key; uint32_t bit; } stick[] = {
      {"UP", kJoyUp}, {"DOWN", kJoyDown}, {"LEFT", kJoyLeft}, {"RIGHT", kJoyRight}, {"A", kJoyButton1}, {"S", kJoyButton2}};
  for (const Hold& h : r.holds) {
    if (frame < h.from || frame >= h.to) continue;
    if (std::string(h.key) == "INSERT") input.reset = 1;
    keys[input_key_code(h.key)] = 0x80;
    for (const auto& s : stick) {
      if (!keyboard_mode && std::string(h.key) == s.key) input.joystick1 |= s.bit;
    }
  }
  if (keyboard_mode) machine_press_host_keys(&input, keys);
  return input;
}

// The screenshot's rows of the machine's picture, as the executable saves them.
Bytes shot_of_picture() {
  const MachinePicture p = machine_picture();
  Bytes out;
  for (int y = kShotTopRow + kShotHeight - 1; y >= kShotTopRow; --y) {
    const auto* row = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(p.pixels) + y * p.pitch);
    for (int x = 0; x < kFrameWidth; ++x) {
      const uint16_t v = row[x];
      out.insert(out.end(), {uint8_t((v & 0x1F) << 3), uint8_t(((v >> 5) & 0x3F) << 2), uint8_t((v >> 11) << 3)});
    }
  }
  out.insert(out.end(), {0, 0});  // the file's two trailing bytes
  return out;
}

void start(const Session& r) {
  machine_power_on(r.kind);
  machine_boot_logo();
  const Bytes image = bus_machine::test_rom(r.rom);
  ASSERT_FALSE(image.empty()) << r.rom;
  ASSERT_EQ(machine_load_image(image.data(), image.size(), MapperChoice::Auto), image.size());
}

// Frames `first` to `end` - 1 through the interface; the samples of every
// frame and of every chunk are collected.
void run_frames(const Session& r, int first, int end, Samples* frames, Samples* chunks) {
  for (int k = first; k < end; ++k) {
    if (k == r.keyboard_from) machine_toggle_joystick_mode();  // F4, before the frame
    const MachineFrame f = machine_run_frame(1);
    frames->insert(frames->end(), f.samples.samples, f.samples.samples + f.samples.count);
    chunks->insert(chunks->end(), f.chunk.samples, f.chunk.samples + f.chunk.count);
    machine_set_input(input_of(r, k));
  }
}

// The machine's run: what the executable's run gives, the state saved after
// the staged samples are handed out, as a headless run saves it.
Outputs machine_run(const Session& r, Samples* frames) {
  start(r);
  machine_vgm_start();
  Samples chunks;
  run_frames(r, 0, r.frames, frames, &chunks);
  Outputs o{shot_of_picture(), {}, {}, {}};
  const MachineSamples staged = machine_take_staged_samples();
  chunks.insert(chunks.end(), staged.samples, staged.samples + staged.count);
  o.wav = chunks;
  o.state = machine_save_state();
  machine_vgm_finish(&o.vgm);
  return o;
}

void PrintTo(const Session& r, std::ostream* os) { *os << r.name; }

class SameAsHeadless : public testing::TestWithParam<Session> {
 protected:
  void TearDown() override {
    machine_power_off();
    machine_timing_select(MachineKind::Pal);
  }
};

TEST_P(SameAsHeadless, FramesSamplesLogAndState) {
  const Session& r = GetParam();
  const Outputs want = executable(r, rom_path(r.rom));
  Samples frames;
  const Outputs got = machine_run(r, &frames);
  EXPECT_TRUE(got.shot == want.shot) << "the picture of frame " << r.frames;
  EXPECT_TRUE(got.wav == want.wav) << got.wav.size() << " samples, the WAV holds " << want.wav.size();
  EXPECT_TRUE(Samples(frames.begin(), frames.begin() + static_cast<long>(want.wav.size())) == want.wav)
      << "each frame's samples, one after another";
  EXPECT_TRUE(got.vgm == want.vgm) << "the VGM log";
  EXPECT_TRUE(got.state == want.state) << "the state";
}

// A state saved by the executable, loaded into the machine, goes on as the
// executable goes on from it.
TEST_P(SameAsHeadless, GoesOnFromTheExecutablesState) {
  const Session& r = GetParam();
  const Outputs first = executable(r, rom_path(r.rom));
  const std::string saved = scratch(r.name) + "/first.state";
  std::ofstream(saved, std::ios::binary).write(reinterpret_cast<const char*>(first.state.data()),
                                               static_cast<std::streamsize>(first.state.size()));
  Session later = r;
  later.name = r.name + "Later";
  later.frames = 40;
  later.holds.clear();
  later.keyboard_from = -1;
  const Outputs want = executable(later, "--load-state " + saved);
  start(later);
  std::string why;
  ASSERT_TRUE(machine_load_state(first.state, &why)) << why;
  Samples frames, chunks;
  run_frames(later, 0, later.frames, &frames, &chunks);
  EXPECT_TRUE(shot_of_picture() == want.shot);
  const MachineSamples staged = machine_take_staged_samples();
  chunks.insert(chunks.end(), staged.samples, staged.samples + staged.count);
  EXPECT_TRUE(chunks == want.wav);
  EXPECT_TRUE(machine_save_state() == want.state);
}

const Session kRuns[] = {
    {"Joysticks", "input_echo", MachineKind::Pal, -1,
     {{"UP", 20, 30}, {"A", 40, 50}, {"S", 45, 60}, {"INSERT", 70, 72}, {"Q", 80, 90}}, 200},
    // The about page's key delay holds F4 off for the first ten steps.
    {"Keyboard", "input_echo", MachineKind::Pal, 12,
     {{"Q", 20, 30}, {"LSHIFT", 25, 40}, {"RETURN", 50, 55}, {"UP", 60, 61}, {"INSERT", 90, 91}}, 200},
    {"Ntsc", "input_echo", MachineKind::Ntsc, -1, {{"LEFT", 10, 100}, {"INSERT", 20, 21}}, 170},
    {"SegaMap", "cart_sega_128k", MachineKind::Pal, -1, {}, 161},
    {"Sound", "sound_tone", MachineKind::Pal, -1, {}, 181},
};
INSTANTIATE_TEST_SUITE_P(Runs, SameAsHeadless, testing::ValuesIn(kRuns),
                         [](const testing::TestParamInfo<Session>& p) { return p.param.name; });

class MachineAlone : public testing::Test {
 protected:
  void TearDown() override {
    machine_lend_picture(nullptr, 0);
    machine_power_off();
    machine_timing_select(MachineKind::Pal);
  }
};

// Powered on again, the machine runs as if it had never run before (a core
// restarted under other options).
TEST_F(MachineAlone, PowerOnForgetsWhatRanBefore) {
  const Session r{"", "vdp_screens", MachineKind::Pal, -1, {}, 0};
  const auto run = [&r](MachineKind kind, int frames) {
    Session other = r;
    other.kind = kind;
    start(other);
    machine_toggle_joystick_mode();
    machine_set_sprite_limit(1);
    for (int f = 0; f < frames; ++f) machine_run_frame(1);
    return machine_save_state();
  };
  const Bytes fresh = run(MachineKind::Pal, 90);
  run(MachineKind::Ntsc, 77);
  EXPECT_TRUE(run(MachineKind::Pal, 90) == fresh);
}

// The picture goes where it is lent, and back; rows that someone else wrote
// are drawn again by the next frame once the machine is told.
TEST_F(MachineAlone, ThePictureWhereItIsLent) {
  start({"", "display_card", MachineKind::Pal, -1, {}, 0});
  for (int f = 0; f < 10; ++f) machine_run_frame(1);
  const MachinePicture own = machine_picture();
  const std::vector<uint16_t> card(own.pixels, own.pixels + kFrameWidth * kFrameHeight);
  ASSERT_NE(card[120 * kFrameWidth + 40], card[0]) << "the bars are drawn";
  std::vector<uint16_t> lent(kFrameWidth * 2 * kFrameHeight, 0x1234);  // a pitch of two rows
  machine_lend_picture(lent.data(), kFrameWidth * 4);
  machine_run_frame(1);
  EXPECT_EQ(machine_picture().pixels, lent.data());
  for (int y = 0; y < kFrameHeight; ++y) {
    ASSERT_TRUE(std::equal(card.begin() + y * kFrameWidth, card.begin() + (y + 1) * kFrameWidth,
                           lent.begin() + y * 2 * kFrameWidth)) << "row " << y;
    ASSERT_EQ(lent[(y * 2 + 1) * kFrameWidth], 0x1234) << "beyond row " << y;
  }
  machine_lend_picture(nullptr, 0);
  machine_run_frame(1);
  EXPECT_EQ(machine_picture().pixels, own.pixels);
  own.pixels[100 * kFrameWidth + 50] ^= 0xFFFF;  // text drawn over the picture, untold
  machine_run_frame(1);
  EXPECT_NE(own.pixels[100 * kFrameWidth + 50], card[100 * kFrameWidth + 50]) << "a still row is left alone";
  machine_picture_overwritten(100, 1);
  machine_run_frame(1);
  EXPECT_TRUE(std::equal(card.begin(), card.end(), own.pixels));
}

// A frame's samples, a chunk every third frame, and staged samples handed
// out early are left out of the chunk.
TEST_F(MachineAlone, SamplesOfAFrameAndOfAChunk) {
  for (const auto& [kind, per_frame] : {std::pair{MachineKind::Pal, 882}, std::pair{MachineKind::Ntsc, 735}}) {
    start({"", "sound_tone", kind, -1, {}, 0});
    std::vector<int> chunks;
    for (int f = 0; f < 6; ++f) {
      const MachineFrame frame = machine_run_frame(1);
      EXPECT_EQ(frame.samples.count, per_frame);
      chunks.push_back(frame.chunk.count);
    }
    EXPECT_EQ(chunks, (std::vector<int>{0, 0, 3 * per_frame, 0, 0, 3 * per_frame}));
    machine_run_frame(1);
    const MachineSamples staged = machine_take_staged_samples();
    EXPECT_EQ(staged.count, per_frame);
    EXPECT_EQ(machine_take_staged_samples().count, 0);
    machine_run_frame(1);
    EXPECT_EQ(machine_run_frame(1).chunk.count, 2 * per_frame);
  }
}

TEST_F(MachineAlone, RamAndVramWhereTheMapPutsThem) {
  start({"", "input_echo", MachineKind::Pal, -1, {}, 0});
  size_t size = 0;
  EXPECT_EQ(machine_ram(&size), MachineMemory + 0x8000);
  EXPECT_EQ(size, 0x8000u);
  machine_run_frame(1);
  EXPECT_EQ(machine_vram(&size), vdp.vram);
  EXPECT_EQ(size, 0x4000u);
  start({"", "cart_sega_128k", MachineKind::Pal, -1, {}, 0});
  EXPECT_EQ(machine_ram(&size), MachineMemory + 0xC000);
  EXPECT_EQ(size, 0x4000u);
}

}  // namespace
