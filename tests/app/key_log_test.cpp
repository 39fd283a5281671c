// The key log between recording and replay: a replay's view answers every key
// question (named keys by either of their codes, the keyboard device) in
// place of the host's keys, applies at most one change per key and pass, and
// gives the keyboard back at the end; a recording writes only changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>

#include <unistd.h>

#include "app/key_log.h"
#include "app/host_input.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;

class KeyLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_init(PlatformBackend::Headless, {});
    headless_keyboard_clear();
    platform_keyboard_open();
    platform_keyboard_acquire();
    dir_ = fs::temp_directory_path() / ("quav_key_log_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    key_log_finish();
    platform_keyboard_close();
    platform_quit();
    fs::remove_all(dir_);
  }
  static int device_key(const char* name) {
    uint8_t state[256] = {};
    platform_keyboard_state(state);
    return state[input_key_code(name)] >> 7;
  }
  fs::path dir_;
};

TEST_F(KeyLogTest, AReplayAnswersForTheKeyboardOneChangePerKeyAndPass) {
  headless_keyboard_hold(input_key_code("F1"), 0, 1000);  // the host's key, not the replay's
  const std::string path = (dir_ / "keys.txt").string();
  std::ofstream(path) << "5 NUMPADENTER down\n5 NUMPADENTER up\n5 A down\n7 A up\n";
  std::string line;
  ASSERT_EQ(key_log_replay(path.c_str(), &line), 1);
  struct Pass { int frame, enter, a; };
  const Pass kPasses[] = {{4, 0, 0}, {5, 1, 0}, {5, 0, 1}, {6, 0, 1}, {9, 0, 0}};
  for (const Pass& p : kPasses) {
    key_log_pass(p.frame);
    EXPECT_EQ(std::tuple(platform_key_held(HostKey::Return), device_key("NUMPADENTER"), device_key("A"),
                         platform_key_held(HostKey::F1)),
              std::tuple(p.enter, p.enter, p.a, 0)) << "frame " << p.frame;
  }
  key_log_finish();
  EXPECT_EQ(platform_key_held(HostKey::F1), 1) << "the keyboard is back";
}

TEST_F(KeyLogTest, ARecordingHoldsTheChangesOfTheViewsTaken) {
  headless_keyboard_hold(input_key_code("RETURN"), 2, 4);
  headless_keyboard_hold(input_key_code("LSHIFT"), 0, 3);
  std::string line;
  const std::string path = (dir_ / "rec.txt").string();
  ASSERT_EQ(key_log_record(path.c_str(), &line), 1);
  for (int frame = 0; frame < 6; ++frame) {
    headless_keyboard_set_frame(frame);
    key_log_pass(frame);
    key_log_pass(frame);  // a second pass in the same frame adds nothing
  }
  EXPECT_FALSE(fs::exists(path)) << "written only when complete";
  ASSERT_EQ(key_log_finish(), 1);
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  EXPECT_EQ(text.str(), "# QUAV keys: frame, key, down or up\n0 LSHIFT down\n2 RETURN down\n"
                        "3 LSHIFT up\n4 RETURN up\n");
}

}  // namespace
