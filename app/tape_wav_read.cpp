// Reading a tape: a RIFF WAVE file's format and data chunks (other chunks
// are skipped), its first channel turned into one level per sample: 1 above
// zero (8-bit samples are unsigned, 128 being zero), else 0. The file is
// read in pieces, so a long tape costs one bit a sample.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/tape_wav.h"

namespace {

constexpr uint32_t kFormatPcm = 1;
constexpr uint32_t kFormatFloat = 3;
constexpr uint32_t kFormatExtensible = 0xFFFE;
constexpr uint32_t kFormatBytes = 16;            // the PCM part of a format chunk
constexpr uint32_t kExtensibleBytes = 40;
constexpr uint32_t kSubFormatAt = 24;            // in an extensible format chunk
constexpr uint64_t kMaxSamples = uint64_t{1} << 30;  // six hours at 48 kHz, 128 MB of levels
constexpr size_t kPiece = 1 << 16;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

uint32_t le16(const uint8_t* p) { return p[0] | p[1] << 8; }
uint32_t le32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

struct Format {
  uint32_t channels = 0;
  uint32_t rate = 0;
  uint32_t bits = 0;
};

// Checks a format chunk's body. "" when QUAV can play it, else the reason.
std::string check_format(const std::vector<uint8_t>& body, Format* f) {
  if (body.size() < kFormatBytes) return "damaged (its format chunk is too short)";
  uint32_t tag = le16(&body[0]);
  f->channels = le16(&body[2]);
  f->rate = le32(&body[4]);
  const uint32_t align = le16(&body[12]);
  f->bits = le16(&body[14]);
  if (tag == kFormatExtensible && body.size() >= kExtensibleBytes) tag = le16(&body[kSubFormatAt]);
  if (tag == kFormatFloat) return "its samples are floating point (QUAV plays 8- and 16-bit PCM)";
  if (tag != kFormatPcm) return "not PCM (format " + std::to_string(tag) + ")";
  if (f->bits != 8 && f->bits != 16) {
    return std::to_string(f->bits) + "-bit samples (QUAV plays 8- and 16-bit PCM)";
  }
  if (f->channels == 0 || f->rate == 0 || align != f->channels * f->bits / 8) {
    return "damaged (its format chunk holds impossible values)";
  }
  return "";
}

// The levels of `frames` frames from `f`, at most as many as the file holds.
uint64_t read_levels(std::FILE* f, const Format& format, uint64_t frames, TapeLevels* out) {
  const size_t frame_bytes = format.channels * format.bits / 8;
  out->rate = format.rate;
  out->bits.assign((frames + 63) / 64, 0);
  std::vector<uint8_t> piece(kPiece - kPiece % frame_bytes);
  uint64_t done = 0;
  while (done < frames) {
    const uint64_t want = (frames - done) * frame_bytes;
    const size_t ask = want < piece.size() ? static_cast<size_t>(want) : piece.size();
    const size_t got = std::fread(piece.data(), 1, ask, f) / frame_bytes;
    for (size_t i = 0; i < got; ++i) {
      const uint8_t* s = &piece[i * frame_bytes];
      const bool above = format.bits == 8 ? s[0] > 0x80 : static_cast<int16_t>(le16(s)) > 0;
      if (above) out->bits[(done + i) / 64] |= uint64_t{1} << ((done + i) % 64);
    }
    done += got;
    if (got * frame_bytes < ask) break;
  }
  out->count = done;
  return done;
}

}  // namespace

int tape_wav_read(const char* path, TapeLevels* levels, std::string* why, std::string* note) {
  note->clear();
  struct stat st;
  if (stat(path, &st) != 0) {
    *why = std::strerror(errno);
    return 0;
  }
  if (S_ISDIR(st.st_mode)) {
    *why = std::strerror(EISDIR);
    return 0;
  }
  File file(std::fopen(path, "rb"));
  if (!file) {
    *why = std::strerror(errno);
    return 0;
  }
  std::FILE* f = file.get();
  const uint64_t size = static_cast<uint64_t>(st.st_size);
  uint8_t riff[12];
  const size_t got = std::fread(riff, 1, sizeof riff, f);
  if (std::memcmp(riff, "RIFF", got < 4 ? got : 4) != 0 ||
      (got >= sizeof riff && std::memcmp(riff + 8, "WAVE", 4) != 0) || size == 0) {
    *why = "not a WAV file";
    return 0;
  }
  if (got < sizeof riff) {
    *why = "cut short inside its header";
    return 0;
  }
  // The chunks, in order, up to the data chunk.
  Format format;
  bool have_format = false;
  uint64_t at = sizeof riff;
  for (;;) {
    uint8_t head[8];
    if (std::fread(head, 1, sizeof head, f) != sizeof head) {
      *why = "cut short inside its header";
      return 0;
    }
    at += sizeof head;
    const uint32_t length = le32(head + 4);
    if (std::memcmp(head, "data", 4) == 0) {
      if (!have_format) {
        *why = "damaged (no format chunk before its data)";
        return 0;
      }
      // A writer that could not go back to fill in the size leaves 0 or
      // 0xFFFFFFFF: the data then runs to the end of the file.
      const bool open_ended = length == 0 || length == 0xFFFFFFFFu;
      const uint64_t frame_bytes = format.channels * format.bits / 8;
      const uint64_t there = size - at;
      const uint64_t frames = (open_ended || length > there ? there : length) / frame_bytes;
      if (frames == 0) {
        *why = "holds no samples";
        return 0;
      }
      if (frames > kMaxSamples) {
        *why = "longer than QUAV plays (" + std::to_string(kMaxSamples) + " samples)";
        return 0;
      }
      TapeLevels read;
      const uint64_t done = read_levels(f, format, frames, &read);
      if (std::ferror(f)) {
        *why = std::strerror(errno != 0 ? errno : EIO);
        return 0;
      }
      if (!open_ended && done < length / frame_bytes) {
        char text[96];
        std::snprintf(text, sizeof text, "cut short; playing the %.1f seconds it holds",
                      static_cast<double>(done) / format.rate);
        *note = text;
      }
      *levels = std::move(read);
      return 1;
    }
    if (std::memcmp(head, "fmt ", 4) == 0) {
      std::vector<uint8_t> body(length < kExtensibleBytes ? length : kExtensibleBytes);
      if (std::fread(body.data(), 1, body.size(), f) != body.size()) {
        *why = "cut short inside its header";
        return 0;
      }
      const std::string bad = check_format(body, &format);
      if (!bad.empty()) {
        *why = bad;
        return 0;
      }
      have_format = true;
    }
    // Chunks are padded to an even length.
    at += length + (length & 1);
    if (at > size || std::fseek(f, static_cast<long>(at), SEEK_SET) != 0) {
      *why = "cut short inside its header";
      return 0;
    }
  }
}
