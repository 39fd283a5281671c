// The frame loop: the order of one frame's calls (the shell's around the
// machine's), the pacing arithmetic driven by the headless clock, and the
// load meter's average.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "vdp/vdp.h"

namespace {

std::vector<std::string> calls;
bool insert_down = false;

void note(const std::string& s) { calls.push_back(s); }

std::string at_line() { return " @" + std::to_string(vdp.current_line); }

// The machine's own frame, on recorded devices.
MachineCalls machine_recorder() {
  MachineCalls m;
  m.cpu_run = [](int32_t n) { note("cpu_run " + std::to_string(n) + at_line()); return n; };
  m.vdp_render_line = [](int r) { note("vdp_render_line " + std::to_string(r) + at_line()); };
  m.snd_frame_begin = [] { note("snd_frame_begin"); };
  m.snd_line_done = [] { note("snd_line_done"); };
  m.snd_frame_end = [] { note("snd_frame_end"); return SoundSpan{nullptr, 0}; };
  return m;
}

FrameCalls recorder() {
  FrameCalls f;
  f.machine_run_frame = machine_run_frame;
  f.snd_deliver = [](const MachineFrame&, int last) { note("snd_deliver " + std::to_string(last)); };
  f.input_poll_host = [] {
    note("input_poll_host");
    MachineInput input;
    input.reset = insert_down ? 1 : 0;
    return input;
  };
  f.machine_set_input = [](const MachineInput& in) { note(in.reset ? "set_input reset" : "set_input"); };
  f.video_lock_frame = []() -> uint8_t* { note("lock"); return nullptr; };
  f.video_unlock_frame = [] { note("unlock"); return 1; };
  f.video_present = [] { note("present"); };
  f.video_draw_cpu_load = [](float) { note("draw_cpu_load"); };
  f.video_flip = [](int wait) { note("flip " + std::to_string(wait)); return 1; };
  f.menu_draw = [] { note("menu_draw"); };
  f.osd_draw_messages = [] { note("osd_draw_messages"); };
  f.osd_tick = [] { note("osd_tick"); };
  f.app_load_game = [](int index) { note("app_load_game " + std::to_string(index)); };
  return f;
}

class FrameLoop : public testing::Test {
 protected:
  void SetUp() override {
    platform_init(PlatformBackend::Headless, PlatformOptions{});
    saved_ = frame_calls;
    saved_machine_ = machine_calls;
    frame_calls = recorder();
    machine_calls = machine_recorder();
    calls.clear();
    insert_down = false;
    app_settings = AppSettings{};
    key_delay = 0;
    app_pace_reset();
  }
  void TearDown() override {
    frame_calls = saved_;
    machine_calls = saved_machine_;
    platform_quit();
  }

  // Frames run by one pacing step at clock `ms`: the render flag of each.
  std::vector<int> step_at(uint32_t ms) {
    calls.clear();
    headless_set_millis(ms);
    app_pace_frames();
    std::vector<int> frames;
    for (const std::string& c : calls) {
      if (c.rfind("snd_deliver", 0) == 0) frames.push_back(c.back() - '0');
    }
    return frames;
  }

  int count(const std::string& what) {
    int n = 0;
    for (const std::string& c : calls) n += c == what;
    return n;
  }

  FrameCalls saved_{};
  MachineCalls saved_machine_{};
};

TEST_F(FrameLoop, OneFrameInItsExactOrder) {
  app_settings.show_cpu_load = 1;
  key_delay = 2;
  app_run_frame(1, 1);
  std::vector<std::string> expected = {"lock", "snd_frame_begin"};
  for (int line = 0; line < 312; ++line) {
    const std::string at = " @" + std::to_string(line);
    expected.push_back("cpu_run 229" + at);
    expected.push_back("vdp_render_line 1" + at);
    expected.push_back("snd_line_done");
  }
  for (const char* c : {"snd_frame_end", "snd_deliver 1", "unlock", "lock", "menu_draw",
                        "osd_draw_messages", "unlock", "osd_tick", "present", "draw_cpu_load",
                        "flip 1"}) {
    expected.push_back(c);
  }
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(key_delay, 1);
}

// A skipped frame draws the overlays and the load but presents nothing; a
// back buffer nobody sees (headless without --present-shot) is flipped but
// neither presented nor given the load; the load is drawn, and its meter
// read, only when shown.
TEST_F(FrameLoop, WhatADrawnSkippedOrUnseenFramePresents) {
  struct Case { int render, seen, show_load, present, load, flip; };
  for (const Case c : {Case{0, 1, 1, 0, 1, 0}, Case{1, 0, 1, 0, 0, 1}, Case{1, 1, 0, 1, 0, 1}}) {
    calls.clear();
    cpu_load_meter = CpuLoadMeter{};
    cpu_load_meter.ticks_per_period = 1000;
    app_settings.present_seen = c.seen;
    app_settings.show_cpu_load = c.show_load;
    app_run_frame(c.render, c.render);
    const std::string r = std::to_string(c.render);
    EXPECT_EQ((std::vector{count("vdp_render_line " + r + " @0"), count("snd_deliver " + r), count("menu_draw"),
                           count("osd_draw_messages"), count("present"), count("draw_cpu_load"), count("flip 1")}),
              (std::vector{1, 1, 1, 1, c.present, c.load, c.flip}))
        << "render " << c.render << ", seen " << c.seen << ", load shown " << c.show_load;
    EXPECT_TRUE(c.show_load || cpu_load_meter.stamp + cpu_load_meter.next_sample == 0u) << "the meter was read";
  }
}

TEST_F(FrameLoop, NothingHappensWhileVideoIsNotReady) {
  app_settings.video_ready = 0;
  key_delay = 5;
  app_run_frame(1, 1);
  app_emulate_frame(1, 1);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(key_delay, 5);
}

TEST_F(FrameLoop, FirstStepFromBaseZeroRunsTenAndRendersOnlyTheLast) {
  EXPECT_EQ(step_at(3'600'000u), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
  // The keys are read and handed over once per step, not per frame.
  EXPECT_EQ(std::vector({count("input_poll_host"), count("set_input")}), std::vector({1, 1}));
  // In between frames nothing is due: the step sleeps 4 ms and does nothing else.
  calls.clear();
  headless_set_millis(3'600'010u);
  EXPECT_EQ(app_pace_frames(), 0);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(platform_millis(), 3'600'014u);
}

// Each scenario: pacing steps at these clock values and the frames each runs,
// then the base and the count left after the last step.
TEST_F(FrameLoop, PacingScenarios) {
  struct Step {
    uint32_t ms;
    size_t frames;
  };
  struct Scenario {
    const char* name;
    std::vector<Step> steps;
    uint32_t base;
    int32_t done;
  };
  const Scenario scenarios[] = {
      // 4,000,000,000 ms x 50 overflows 32 bits.
      {"uptime product", {{4'000'000'000u, 10}}, 4'000'000'000u, 0},
      {"steady 20 ms", {{1'000u, 10}, {1'020u, 1}, {1'040u, 1}, {1'060u, 1}}, 1'000u, 3},
      // A one-second stall runs ten; the other 40 frames are never caught up.
      {"stall", {{5'000u, 10}, {6'000u, 10}, {6'020u, 1}}, 6'000u, 1},
      // 49 due, ten run; then 51 due carries a whole second into the base.
      {"carry", {{10'000u, 10}, {10'990u, 10}, {11'030u, 2}, {11'039u, 0}, {11'040u, 1}},
       11'000u, 2},
      // The base settles 296 ms before 2^32; the later steps cross it.
      {"wrap",
       {{0xFFFFFF00u, 10}, {0xFFFFFF14u, 1}, {0xFFFFFF28u, 1}, {0x004u, 10}, {0x018u, 1},
        {0x2C0u, 10}},
       0x2C0u, 0},
  };
  for (const Scenario& sc : scenarios) {
    app_pace_reset();
    for (const Step& st : sc.steps) {
      const std::vector<int> frames = step_at(st.ms);
      ASSERT_EQ(frames.size(), st.frames) << sc.name << " at " << st.ms;
      if (!frames.empty()) {
        EXPECT_EQ(frames.back(), 1) << sc.name;  // only the last is drawn
      }
    }
    EXPECT_EQ(app_pace_state().base_ms, sc.base) << sc.name;
    EXPECT_EQ(app_pace_state().done, sc.done) << sc.name;
  }
}

TEST_F(FrameLoop, InsertGivesOneResetPerStepThatRanFrames) {
  insert_down = true;
  step_at(1'000u);
  EXPECT_EQ(count("set_input reset"), 1);
  step_at(1'005u);  // nothing due
  EXPECT_EQ(count("set_input reset"), 0);
  step_at(1'100u);  // five frames, one reset after the last
  EXPECT_EQ(count("set_input reset"), 1);
  EXPECT_EQ(calls.back(), "set_input reset");
}

TEST_F(FrameLoop, LogoTimeCountsStepsAndLoadsEntryTwelveOnce) {
  uint32_t t = 100'000u;
  step_at(t);  // step 1 (ten frames)
  for (int step = 2; step <= 150; ++step) {
    t += 20;
    step_at(t);
    ASSERT_EQ(count("app_load_game 12"), 0) << step;
  }
  EXPECT_EQ(app_pace_state().logo_steps, 150);
  t += 20;
  step_at(t);  // the 151st step that runs frames
  EXPECT_EQ(count("app_load_game 12"), 1);
  EXPECT_EQ(app_settings.logo_phase, 0);
  t += 20;
  step_at(t);
  EXPECT_EQ(count("app_load_game 12"), 0);
}

TEST_F(FrameLoop, MeterAveragesEightSamplesAndDropsNonPositiveOnes) {
  cpu_load_meter = CpuLoadMeter{};
  cpu_load_meter.ticks_per_period = 1000;
  cpu_load_meter.stamp = 500;  // half a period: 50 %
  EXPECT_FLOAT_EQ(app_meter_percent(), 50.0f / 8);
  cpu_load_meter.stamp = static_cast<uint64_t>(-300);  // a wrapped interval
  EXPECT_FLOAT_EQ(app_meter_percent(), 50.0f / 8);
  cpu_load_meter.stamp = 0;
  EXPECT_FLOAT_EQ(app_meter_percent(), 50.0f / 8);
  EXPECT_EQ(cpu_load_meter.next_sample, 1);
  for (int i = 0; i < 8; ++i) {
    cpu_load_meter.stamp = 250;
    app_meter_percent();
  }
  EXPECT_FLOAT_EQ(app_meter_percent(), 25.0f);  // the 50 % sample has left the ring
}

}  // namespace
