// Writing the recorded cassette output: a 16-bit mono 44,100 Hz WAV file
// that grows as a temporary file beside its target, its header completed
// and the file renamed into place when the recording ends.
#include <cstdio>
#include <vector>

#include "bus/tape_wav.h"
#include "platform/wav_header.h"

namespace {

constexpr uint32_t kSampleBytes = 2;
constexpr uint32_t kMaxDataBytes = 0xFFFFFFFFu - kWavHeaderBytes;

}  // namespace

int tape_record_open(const char* path, uint32_t level) {
  TapeRecorder& r = tape.out;
  r = TapeRecorder{};
  if (!output_open(&r.file, path)) return 0;
  uint8_t h[kWavHeaderBytes];
  wav_pcm_header(h, kTapeOutRate, 1, 16, 0);
  output_write(&r.file, h, sizeof h);
  r.recording = 1;
  r.level = level;
  r.mark = tape.clock * kTapeOutRate;
  r.sample = r.mark / kTapeClockHz;
  r.high = level ? r.mark - r.sample * kTapeClockHz : 0;
  return 1;
}

void tape_record_flush(TapeRecorder& r) {
  if (r.file.f != nullptr && !r.pending.empty()) {
    const uint64_t bytes = static_cast<uint64_t>(r.pending.size()) * kSampleBytes;
    if (r.data_bytes + bytes > kMaxDataBytes) {
      r.full = 1;
    } else {
      std::vector<uint8_t> le(r.pending.size() * kSampleBytes);
      for (size_t i = 0; i < r.pending.size(); ++i) {
        const uint16_t v = static_cast<uint16_t>(r.pending[i]);
        le[2 * i] = static_cast<uint8_t>(v);
        le[2 * i + 1] = static_cast<uint8_t>(v >> 8);
      }
      output_write(&r.file, le.data(), le.size());
      r.data_bytes += static_cast<uint32_t>(bytes);
    }
  }
  r.pending.clear();
}

int tape_record_close(uint64_t t) {
  TapeRecorder& r = tape.out;
  if (!r.recording) return 1;
  tape_record_until(r, t);
  // The sample under way is made whole at the level the output ends on.
  if (r.mark > r.sample * kTapeClockHz) {
    tape_record_until(r, ((r.sample + 1) * kTapeClockHz + kTapeOutRate - 1) / kTapeOutRate);
  }
  tape_record_flush(r);
  r.recording = 0;
  if (r.full) {
    std::fprintf(stderr, "quav: %s: a WAV file holds no more; the rest of the recording is left"
                 " out\n", r.file.path.c_str());
  }
  uint8_t h[kWavHeaderBytes];
  wav_pcm_header(h, kTapeOutRate, 1, 16, r.data_bytes);
  output_write_at(&r.file, 0, h, sizeof h);
  return output_commit(&r.file);
}
