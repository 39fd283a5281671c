// Writing the recorded cassette output: a 16-bit mono 44,100 Hz WAV file
// that grows as a temporary file beside its target, its header completed
// and the file renamed into place when the recording ends.
#include <cstdio>
#include <vector>

#include "app/tape_wav.h"
#include "platform/wav_header.h"

namespace {

constexpr uint32_t kSampleBytes = 2;
constexpr uint32_t kMaxDataBytes = 0xFFFFFFFFu - kWavHeaderBytes;

}  // namespace

TapeOutFile tape_out_file;

int tape_record_open(const char* path) {
  TapeOutFile& f = tape_out_file;
  f = TapeOutFile{};
  if (!output_open(&f.file, path)) return 0;
  uint8_t h[kWavHeaderBytes];
  wav_pcm_header(h, kTapeOutRate, 1, 16, 0);
  output_write(&f.file, h, sizeof h);
  return 1;
}

void tape_record_flush() {
  TapeOutFile& f = tape_out_file;
  std::vector<int16_t>& samples = *machine_tape_recorded();
  if (f.file.f != nullptr && !samples.empty()) {
    const uint64_t bytes = static_cast<uint64_t>(samples.size()) * kSampleBytes;
    if (f.data_bytes + bytes > kMaxDataBytes) {
      f.full = 1;
    } else {
      std::vector<uint8_t> le(samples.size() * kSampleBytes);
      for (size_t i = 0; i < samples.size(); ++i) {
        const uint16_t v = static_cast<uint16_t>(samples[i]);
        le[2 * i] = static_cast<uint8_t>(v);
        le[2 * i + 1] = static_cast<uint8_t>(v >> 8);
      }
      output_write(&f.file, le.data(), le.size());
      f.data_bytes += static_cast<uint32_t>(bytes);
    }
  }
  samples.clear();
}

int tape_record_close() {
  TapeOutFile& f = tape_out_file;
  if (f.file.f == nullptr) return 1;
  machine_tape_record_stop();
  tape_record_flush();
  if (f.full) {
    std::fprintf(stderr, "quav: %s: a WAV file holds no more; the rest of the recording is left"
                 " out\n", f.file.path.c_str());
  }
  uint8_t h[kWavHeaderBytes];
  wav_pcm_header(h, kTapeOutRate, 1, 16, f.data_bytes);
  output_write_at(&f.file, 0, h, sizeof h);
  return output_commit(&f.file);
}

void tape_record_discard() {
  output_discard(&tape_out_file.file);
  tape_out_file = TapeOutFile{};
}
