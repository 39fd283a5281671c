// The libretro core in a front end of our own, against the executable's
// headless runs: frames as --shot saves them, samples as --wav writes them,
// RetroPad and keyboard input as --hold gives it, states both ways, the
// options, the memory views and what the core refuses.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <tuple>

#include "bus/key_table.h"
#include "libretro/retro_host.h"
#include "libretro/retro_keys.h"
#include "support/bus_machine.h"

namespace {

using bus_machine::test_rom;
using Options = std::map<std::string, std::string>;

constexpr int kPal = 882;
constexpr int kNtsc = 735;
constexpr size_t kStateCrcBytes = 4;
constexpr uint32_t kPadRam = 0xC000 - 0x8000;  // pad_scene's variables in the flat map's RAM
const Options kNoLimit = {{"quav_sprite_limit", "off"}};

// The headless run shows its about page (or a message) over the rows of its
// text block during its first 140 frames; the core has no such text. Until
// then only the pixels outside the block are compared.
constexpr int kTextFrames = 140;
constexpr int kBlockLeft = 18, kBlockRight = 18 + 42 * 6, kBlockTop = 147, kBlockBottom = 203;

::testing::AssertionResult same_picture(const Rgb& core, const Rgb& shot, int frames) {
  if (core.size() != shot.size() || core.empty()) {
    return ::testing::AssertionFailure() << "sizes " << core.size() << " and " << shot.size();
  }
  for (int y = 0; y < kRetroHeight; ++y) {
    for (int x = 0; x < kRetroWidth; ++x) {
      const bool text = frames <= kTextFrames && x >= kBlockLeft && x < kBlockRight &&
                        y >= kBlockTop && y < kBlockBottom;
      const size_t at = (static_cast<size_t>(y) * kRetroWidth + x) * 3;
      if (!text && std::memcmp(&core[at], &shot[at], 3) != 0) {
        return ::testing::AssertionFailure() << "frame " << frames << " differs at " << x << "," << y;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

std::string rom_path(const std::string& name) { return std::string(QUAV_TEST_ROM_DIR) + "/" + name + ".bin"; }

// The headless run of pad_scene for `frames` frames with `args`.
HeadlessRun pad_scene(int frames, const std::string& args = "") {
  return run_headless("--frames " + std::to_string(frames) + " " + args + " " + rom_path("pad_scene"));
}

std::vector<int16_t> slice(const std::vector<int16_t>& v, size_t from, size_t to) {
  to = std::min(to, v.size());
  return from < to ? std::vector<int16_t>(v.begin() + from, v.begin() + to) : std::vector<int16_t>{};
}

// ---- frames and samples ----

struct PictureCase {
  const char* name;
  const char* rom;
  Options options;
  const char* args;  // of the headless run
  int samples_per_frame;
  bool rgb565;
};

void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.name; }
class Pictures : public ::testing::TestWithParam<PictureCase> {};

TEST_P(Pictures, FramesAndSamplesAreTheHeadlessRunsOnes) {
  const PictureCase& c = GetParam();
  RetroHost core(c.options);
  core.accept_rgb565 = c.rgb565;
  ASSERT_TRUE(core.load(test_rom(c.rom)));
  EXPECT_EQ(core.pixel_format, c.rgb565 ? RETRO_PIXEL_FORMAT_RGB565 : RETRO_PIXEL_FORMAT_XRGB8888);
  int done = 0;
  for (int frames : {1, 2, 100, 141, 300}) {
    core.run(frames - done);
    done = frames;
    const HeadlessRun run = run_headless("--frames " + std::to_string(frames) + " " + c.args + " " +
                                         rom_path(c.rom));
    ASSERT_EQ(run.status, 0);
    EXPECT_TRUE(same_picture(core.picture, run.shot, frames));
    if (frames == 300) {
      ASSERT_EQ(run.wav.size(), static_cast<size_t>(300 * c.samples_per_frame));
      EXPECT_TRUE(run.wav == core.left);
    }
  }
  EXPECT_EQ(core.frames_seen, 300);
  EXPECT_TRUE(core.left == core.right);
  EXPECT_EQ(std::set<size_t>(core.samples_per_run.begin(), core.samples_per_run.end()),
            std::set<size_t>{static_cast<size_t>(c.samples_per_frame)});
}

INSTANTIATE_TEST_SUITE_P(
    Machines, Pictures,
    ::testing::Values(
        PictureCase{"Rgb565", "pad_scene", kNoLimit, "", kPal, true},
        PictureCase{"Xrgb8888", "pad_scene", kNoLimit, "", kPal, false},
        PictureCase{"Ntsc", "pad_scene", {{"quav_sprite_limit", "off"}, {"quav_machine", "ntsc"}},
                    "--ntsc", kNtsc, true},
        PictureCase{"Rom48", "cart_rom48", kNoLimit, "", kPal, true},
        PictureCase{"Sega128", "cart_sega_128k", kNoLimit, "", kPal, true},
        PictureCase{"Ram8k", "cart_ram8k", {{"quav_sprite_limit", "off"}, {"quav_mapper", "ram8k"}},
                    "--mapper ram8k", kPal, true}),
    [](const ::testing::TestParamInfo<PictureCase>& p) { return std::string(p.param.name); });

// ---- input ----

// RetroPad ids on port 0 and RETROK codes held in frames [from, to).
struct Hold {
  int from, to;
  std::vector<unsigned> buttons;
  std::vector<unsigned> keys;
};

// Runs `frames` frames holding `holds`; every frame's picture.
std::vector<Rgb> run_holding(RetroHost& core, const std::vector<Hold>& holds, int frames) {
  std::vector<Rgb> pictures;
  for (int f = 0; f < frames; ++f) {
    core.pad[0] = 0;
    core.keys.clear();
    for (const Hold& h : holds) {
      if (f < h.from || f >= h.to) continue;
      for (unsigned b : h.buttons) core.pad[0] |= static_cast<uint16_t>(1u << b);
      for (unsigned k : h.keys) core.keys.insert(k);
    }
    core.run();
    pictures.push_back(core.picture);
  }
  return pictures;
}

struct InputCase {
  const char* name;
  std::vector<Hold> holds;
  const char* held;  // the same keys for --hold
};

void PrintTo(const InputCase& c, std::ostream* os) { *os << c.name; }
class Input : public ::testing::TestWithParam<InputCase> {};

// Frames 149 to 160 (each a headless run of its own) and the samples of all
// 162, whose tone 1 follows joystick 1.
TEST_P(Input, FrameForFrameAsHeld) {
  RetroHost core(kNoLimit);
  ASSERT_TRUE(core.load(test_rom("pad_scene")));
  const std::vector<Rgb> pictures = run_holding(core, GetParam().holds, 162);
  for (int frames = 149; frames <= 160; ++frames) {
    const HeadlessRun run = pad_scene(frames, GetParam().held);
    ASSERT_EQ(run.status, 0);
    EXPECT_TRUE(same_picture(pictures[frames - 1], run.shot, frames));
  }
  const HeadlessRun run = pad_scene(162, GetParam().held);
  EXPECT_TRUE(run.wav == slice(core.left, 0, run.wav.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Devices, Input,
    ::testing::Values(
        // RetroPad B, A and the D-pad are joystick 1, Start the RESET key.
        InputCase{"RetroPad",
                  {{150, 156, {RETRO_DEVICE_ID_JOYPAD_RIGHT}, {}},
                   {151, 153, {RETRO_DEVICE_ID_JOYPAD_UP}, {}},
                   {152, 158, {RETRO_DEVICE_ID_JOYPAD_B}, {}},
                   {153, 155, {RETRO_DEVICE_ID_JOYPAD_A}, {}},
                   {155, 156, {RETRO_DEVICE_ID_JOYPAD_START}, {}}},
                  "--hold RIGHT@150-156 --hold UP@151-153 --hold A@152-158 --hold S@153-155 "
                  "--hold INSERT@155-156"},
        // Keyboard keys are the matrix, as in the executable's keyboard mode
        // (F4 once the key delay of its about page has passed).
        InputCase{"Keyboard",
                  {{150, 154, {}, {RETROK_a, RETROK_UP}},
                   {151, 157, {}, {RETROK_SPACE, RETROK_LSHIFT}},
                   {152, 153, {}, {RETROK_RETURN, RETROK_1, RETROK_BACKSPACE, RETROK_END}},
                   {154, 156, {}, {RETROK_OEM_102, RETROK_MENU, RETROK_CAPSLOCK, RETROK_BACKQUOTE}}},
                  "--hold F4@20-21 --hold A@150-154 --hold UP@150-154 --hold SPACE@151-157 "
                  "--hold LSHIFT@151-157 --hold RETURN@152-153 --hold 1@152-153 "
                  "--hold BACK@152-153 --hold END@152-153 --hold OEM_102@154-156 "
                  "--hold APPS@154-156 --hold CAPITAL@154-156 --hold GRAVE@154-156"}),
    [](const ::testing::TestParamInfo<InputCase>& p) { return std::string(p.param.name); });

TEST(InputOf, ABareImageReadsTheJoysticksFromAPpiAsItPowersOn) {
  // The program never writes the PPI: only the 8255's power-on state selects row 7.
  RetroHost core;
  ASSERT_TRUE(core.load(test_rom("ppi_power_on")));
  core.pad[0] = 1u << RETRO_DEVICE_ID_JOYPAD_LEFT | 1u << RETRO_DEVICE_ID_JOYPAD_A;
  core.run(60);
  const std::string rom = " " + rom_path("ppi_power_on");
  EXPECT_TRUE(same_picture(core.picture, run_headless("--frames 60 --hold LEFT@0-60 --hold S@0-60" + rom).shot, 60));
  EXPECT_FALSE(same_picture(core.picture, run_headless("--frames 60" + rom).shot, 60));
}

TEST(InputOf, EveryKeyOfTheMatrixHasAFrontEndKey) {
  std::set<uint32_t> retroks;
  for (const RetroKeyEntry& k : kRetroKeys) retroks.insert(k.retrok);
  EXPECT_EQ(retroks.size(), static_cast<size_t>(kRetroKeyCount));
  for (const KeyMapEntry& e : KeyMap) {
    const bool found = std::any_of(kRetroKeys, kRetroKeys + kRetroKeyCount,
                                   [&](const RetroKeyEntry& k) { return k.dik == e.dik_code; });
    EXPECT_TRUE(found) << "no front-end key for " << e.name;
  }
}

// RetroPad 2 is joystick 2, a port set to no device reads nothing; the
// memory views are the map's RAM and the VDP's VRAM, as the program sees them.
TEST(InputOf, PadTwoAndTheMemoryViews) {
  RetroHost core(kNoLimit);
  ASSERT_TRUE(core.load(test_rom("pad_scene")));
  core.run(10);
  EXPECT_EQ(core.api.get_memory_size(RETRO_MEMORY_SYSTEM_RAM), 0x8000u);
  auto* ram = static_cast<uint8_t*>(core.api.get_memory_data(RETRO_MEMORY_SYSTEM_RAM));
  const uint8_t x = ram[kPadRam + 0x0A];
  core.pad[1] = 1u << RETRO_DEVICE_ID_JOYPAD_RIGHT | 1u << RETRO_DEVICE_ID_JOYPAD_UP |
                1u << RETRO_DEVICE_ID_JOYPAD_B | 1u << RETRO_DEVICE_ID_JOYPAD_A;
  core.run(6);
  // Read by the program on the frames after the first: five moves.
  EXPECT_EQ(ram[kPadRam + 0x0A], x + 5);
  EXPECT_EQ(ram[kPadRam + 0x05] & 0xC0, 0x80);  // row 7 port A: joystick 2 up (bit 6)
  EXPECT_EQ(ram[kPadRam + 0x06] & 0x0F, 0x01);  // port B: right, button 1 and 2 low
  core.api.set_controller_port_device(1, RETRO_DEVICE_NONE);
  core.run(2);
  EXPECT_EQ(ram[kPadRam + 0x06] & 0x0F, 0x0F);
  EXPECT_EQ(ram[kPadRam + 0x0A], x + 6);
  EXPECT_EQ(ram[kPadRam + 2], 0) << "no NMI yet";
  ASSERT_EQ(core.api.get_memory_size(RETRO_MEMORY_VIDEO_RAM), 0x4000u);
  auto* vram = static_cast<uint8_t*>(core.api.get_memory_data(RETRO_MEMORY_VIDEO_RAM));
  EXPECT_EQ(vram[0x3800], 0xFF);  // sprite pattern 0, solid
  EXPECT_EQ(vram[0x2000], 0xF4);  // the colour of patterns 0-7
  EXPECT_EQ(core.api.get_memory_data(RETRO_MEMORY_SAVE_RAM), nullptr);
  ASSERT_TRUE(core.load(test_rom("cart_sega_128k")));
  EXPECT_EQ(core.api.get_memory_size(RETRO_MEMORY_SYSTEM_RAM), 0x4000u);
}

// ---- states ----

// A state saved by the core after 200 frames is the executable's after the
// same frames and continues there as one run of 300 does, also inside
// RetroArch's container; one saved by the executable continues in the core.
TEST(States, GoBothWaysWithTheExecutable) {
  const std::string held = "--hold RIGHT@190-210 --hold A@195-205";
  const std::string held_later = " --frames 100 --hold RIGHT@0-10 --hold A@0-5";
  const HeadlessRun one = pad_scene(300, held);
  const std::vector<int16_t> last_100 = slice(one.wav, 200 * kPal, 300 * kPal);
  const std::string quav_state = scratch_path("quav.state");
  ASSERT_EQ(pad_scene(200, held + " --save-state " + quav_state).status, 0);

  RetroHost core(kNoLimit);
  ASSERT_TRUE(core.load(test_rom("pad_scene")));
  run_holding(core, {{190, 210, {RETRO_DEVICE_ID_JOYPAD_RIGHT}, {}}, {195, 205, {RETRO_DEVICE_ID_JOYPAD_B}, {}}},
              200);
  const std::vector<uint8_t> state = core.serialize();
  EXPECT_TRUE(read_file(quav_state) == state);
  const std::string path = scratch_path("core.state");
  write_file(path, state);
  const HeadlessRun rest = run_headless("--load-state " + path + held_later);
  ASSERT_EQ(rest.status, 0);
  EXPECT_TRUE(same_picture(rest.shot, one.shot, 300));
  EXPECT_TRUE(rest.wav == last_100);

  // RetroArch's container: "RASTATE", a version, blocks of a tag and a
  // 32-bit size starting on multiples of 8, "END " last.
  std::vector<uint8_t> container = {'R', 'A', 'S', 'T', 'A', 'T', 'E', 1, 'M', 'E', 'M', ' '};
  for (int shift = 0; shift < 32; shift += 8) container.push_back(static_cast<uint8_t>(state.size() >> shift));
  container.insert(container.end(), state.begin(), state.end());
  container.resize((container.size() + 7) / 8 * 8, 0);
  container.insert(container.end(), {'E', 'N', 'D', ' ', 0, 0, 0, 0});
  write_file(path, container);
  const HeadlessRun wrapped = run_headless("--load-state " + path + held_later);
  EXPECT_TRUE(wrapped.status == 0 && wrapped.shot == rest.shot && wrapped.wav == rest.wav);

  core.left.clear();
  ASSERT_TRUE(core.unserialize(read_file(quav_state)));
  run_holding(core, {{0, 10, {RETRO_DEVICE_ID_JOYPAD_RIGHT}, {}}, {0, 5, {RETRO_DEVICE_ID_JOYPAD_B}, {}}}, 100);
  EXPECT_TRUE(same_picture(core.picture, one.shot, 300));
  EXPECT_TRUE(core.left == last_100);
}

TEST(States, ContentLoadedAgainStartsAsInANewProcess) {
  // A first run that leaves the devices far from their start: keys, the NMI,
  // the noise, another map.
  RetroHost core(kNoLimit);
  ASSERT_TRUE(core.load(test_rom("cart_sega_128k")));
  core.run(20);
  ASSERT_TRUE(core.load(test_rom("pad_scene")));
  run_holding(core, {{10, 60, {RETRO_DEVICE_ID_JOYPAD_LEFT, RETRO_DEVICE_ID_JOYPAD_START}, {RETROK_q}}}, 100);
  ASSERT_TRUE(core.load(test_rom("pad_scene")));
  core.run(1);  // the whole machine, before the program has set much of it
  const std::string path = scratch_path("fresh.state");
  ASSERT_EQ(pad_scene(1, "--save-state " + path).status, 0);
  EXPECT_TRUE(read_file(path) == core.serialize());
  core.run(199);
  EXPECT_TRUE(same_picture(core.picture, pad_scene(200).shot, 200));
}

// ---- options and reset ----

TEST(Options, DeclaredWithTheirDefaultsFirst) {
  RetroHost core;
  EXPECT_EQ(core.api.api_version(), 1u);
  retro_system_info info;
  core.api.get_system_info(&info);
  EXPECT_STREQ(info.valid_extensions, "sg|sc|bin|rom");
  EXPECT_FALSE(info.need_fullpath);
  const std::string machine = core.option_declared["quav_machine"];
  EXPECT_EQ(machine.substr(machine.find(';')), "; pal|ntsc");
  EXPECT_NE(core.option_declared["quav_mapper"].find("; auto|rom|sega|ram8k"), std::string::npos);
  EXPECT_NE(core.option_declared["quav_sprite_limit"].find("; on|off"), std::string::npos);
  ASSERT_TRUE(core.load(test_rom("pad_scene")));
  retro_system_av_info av;
  core.api.get_system_av_info(&av);
  EXPECT_EQ(std::tuple(av.geometry.base_width, av.geometry.base_height, av.timing.fps, av.timing.sample_rate),
            std::tuple(288u, 216u, 50.0, 44100.0));
  EXPECT_FLOAT_EQ(av.geometry.aspect_ratio, 4.0f / 3.0f);
  EXPECT_EQ(core.api.get_region(), static_cast<unsigned>(RETRO_REGION_PAL));
}

TEST(Options, TheSpriteLimitIsOnUnlessTurnedOffAndSurvivesAReset) {
  // F6 turns the executable's limit on (its own default is off) and off;
  // F3 is the reset, which turns it off there.
  RetroHost core;
  ASSERT_TRUE(core.load(test_rom("pad_scene")));
  core.run(200);
  EXPECT_TRUE(same_picture(core.picture, pad_scene(200, "--hold F6@20-21").shot, 200));
  EXPECT_FALSE(same_picture(core.picture, pad_scene(200).shot, 200));
  core.api.reset();
  core.run(100);
  const std::string reset = "--hold F6@20-21 --hold F3@200-201 --hold F6@200-201";
  EXPECT_TRUE(same_picture(core.picture, pad_scene(300, reset).shot, 300));
  core.set_option("quav_sprite_limit", "off");
  core.run(50);
  EXPECT_TRUE(same_picture(core.picture, pad_scene(350, "--hold F6@300-301 " + reset).shot, 350));
}

TEST(Options, AnotherMachineStartsTheContentAgain) {
  RetroHost core(kNoLimit);
  ASSERT_TRUE(core.load(test_rom("pad_scene")));
  core.run(10);
  core.set_option("quav_machine", "ntsc");
  core.run(150);
  EXPECT_EQ(core.fps_announced, 60.0);
  EXPECT_EQ(core.samples_per_run.back(), static_cast<size_t>(kNtsc));
  EXPECT_EQ(core.api.get_region(), static_cast<unsigned>(RETRO_REGION_NTSC));
  EXPECT_TRUE(same_picture(core.picture, pad_scene(150, "--ntsc").shot, 150));
}

// ---- what the core refuses ----

// Content it cannot take and states that are damaged, cut, of the other
// machine or not states at all: false and one log line each; the machine
// runs on as it was. Nothing goes to stdout and no file is written.
TEST(Refusals, AnsweredFalseInOneLogLineEach) {
  const std::string ntsc_path = scratch_path("ntsc.state");
  ASSERT_EQ(pad_scene(5, "--ntsc --save-state " + ntsc_path).status, 0);
  const std::vector<uint8_t> ntsc_state = read_file(ntsc_path);
  const std::string dir = scratch_path("cwd");
  std::filesystem::create_directory(dir);
  const std::string old_dir = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  std::fflush(stdout);
  const int saved_stdout = dup(1);
  const int captured = open(scratch_path("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  dup2(captured, 1);
  {
    RetroHost core(kNoLimit);
    EXPECT_FALSE(core.load({}));
    EXPECT_FALSE(core.load(std::vector<uint8_t>((4u << 20) + 1, 0x00)));
    ASSERT_EQ(core.log.size(), 2u);
    EXPECT_NE(core.log[0].find("empty"), std::string::npos);
    EXPECT_NE(core.log[1].find("over 4 MB"), std::string::npos);

    ASSERT_TRUE(core.load(test_rom("pad_scene")));
    core.run(50);
    const std::vector<uint8_t> good = core.serialize();
    core.run(1);
    const Rgb next = core.picture;
    ASSERT_TRUE(core.unserialize(good));

    std::vector<std::vector<uint8_t>> damaged = {
        {}, std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2),
        std::vector<uint8_t>(good.size(), 0x5A), good, good, ntsc_state};
    damaged[3][good.size() / 2] ^= 0x01;  // one bit flipped: the checksum no longer agrees
    damaged[4].resize(good.size() - kStateCrcBytes);
    const size_t lines = core.log.size();
    for (const auto& bytes : damaged) EXPECT_FALSE(core.unserialize(bytes));
    EXPECT_EQ(core.log.size(), lines + damaged.size());
    EXPECT_NE(core.log.back().find("NTSC"), std::string::npos) << core.log.back();

    core.run(1);
    EXPECT_TRUE(same_picture(core.picture, next, 300));  // the machine ran on as it was
  }
  std::fflush(stdout);
  dup2(saved_stdout, 1);
  close(saved_stdout);
  close(captured);
  std::filesystem::current_path(old_dir);
  const std::vector<uint8_t> printed = read_file(scratch_path("stdout"));
  EXPECT_TRUE(printed.empty()) << std::string(printed.begin(), printed.end());
  EXPECT_TRUE(std::filesystem::is_empty(dir));
}

}  // namespace
