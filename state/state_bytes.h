// The byte writer and reader of save states: little-endian integers and raw
// blocks, and sections (a four-letter tag and a 32-bit size before the
// section's bytes). The reader never reads past its end: a short read fails
// and every later read fails too, so a decoder checks once, at its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

using StateTag = char[5];  // four letters and the literal's terminator

class StateWriter {
 public:
  explicit StateWriter(std::vector<uint8_t>* out) : out_(out) {}

  void u8(uint32_t v) { out_->push_back(static_cast<uint8_t>(v)); }
  void u16(uint32_t v) {
    for (int i = 0; i < 2; ++i) u8(v >> (8 * i));
  }
  void u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) u8(v >> (8 * i));
  }
  void bytes(const void* data, size_t n) {
    if (n == 0) return;
    const size_t at = out_->size();
    out_->resize(at + n);
    std::memcpy(out_->data() + at, data, n);
  }
  // Opens a section; returns its place for end_section.
  size_t begin_section(const StateTag& tag) {
    bytes(tag, 4);
    u32(0);
    return out_->size();
  }
  // Fills in the size of the section opened at `start`.
  void end_section(size_t start) {
    const uint32_t size = static_cast<uint32_t>(out_->size() - start);
    for (int i = 0; i < 4; ++i) (*out_)[start - 4 + i] = static_cast<uint8_t>(size >> (8 * i));
  }

 private:
  std::vector<uint8_t>* out_;
};

class StateReader {
 public:
  StateReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool ok() const { return ok_; }
  // True when every byte was read and nothing failed.
  bool done() const { return ok_ && pos_ == size_; }
  size_t left() const { return size_ - pos_; }

  uint32_t u8() {
    if (!take(1)) return 0;
    return data_[pos_ - 1];
  }
  uint32_t u16() {
    const uint32_t low = u8();
    return low | u8() << 8;
  }
  uint32_t u32() {
    const uint32_t low = u16();
    return low | u16() << 16;
  }
  void bytes(void* out, size_t n) {
    if (!take(n) || n == 0) return;
    std::memcpy(out, data_ + pos_ - n, n);
  }
  // The bytes of the next section, which must carry `tag`; a failed reader
  // when the tag differs or the size runs past the end.
  StateReader section(const StateTag& tag) {
    char found[4] = {};
    bytes(found, 4);
    const uint32_t size = u32();
    if (!ok_ || std::memcmp(found, tag, 4) != 0 || !take(size)) {
      ok_ = false;
      StateReader failed(nullptr, 0);
      failed.ok_ = false;
      return failed;
    }
    return StateReader(data_ + pos_ - size, size);
  }
  void fail() { ok_ = false; }

 private:
  bool take(size_t n) {
    if (!ok_ || n > size_ - pos_) {
      ok_ = false;
      return false;
    }
    pos_ += n;
    return true;
  }

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};
