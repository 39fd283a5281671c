// The temporary-file-and-rename writer and the checked reader. POSIX calls
// only: mkstemp makes the temporary file beside the target (so the rename
// never crosses file systems), with the permissions an ordinary new file
// would get.
#include "platform/file_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr size_t kReadPiece = 65536;

void report(const std::string& path, int error) {
  std::fprintf(stderr, "quav: cannot write %s: %s\n", path.c_str(), std::strerror(error));
}

void keep_first_error(OutputFile* out) {
  if (out->error == 0) out->error = errno != 0 ? errno : EIO;
}

}  // namespace

int output_open(OutputFile* out, const char* path) {
  output_discard(out);
  out->path = path != nullptr ? path : "";
  out->error = 0;
  struct stat st;
  if (stat(out->path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    out->error = EISDIR;
    report(out->path, out->error);
    return 0;
  }
  std::string temp = out->path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    out->error = errno;
    report(out->path, out->error);
    return 0;
  }
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  out->f = fdopen(fd, "wb");
  if (out->f == nullptr) {
    out->error = errno;
    report(out->path, out->error);
    close(fd);
    unlink(temp.c_str());
    return 0;
  }
  out->temp_path = temp;
  return 1;
}

void output_write(OutputFile* out, const void* data, size_t size) {
  if (out->f == nullptr || out->error != 0 || size == 0) return;
  errno = 0;
  if (std::fwrite(data, 1, size, out->f) != size) keep_first_error(out);
}

void output_write_at(OutputFile* out, long offset, const void* data, size_t size) {
  if (out->f == nullptr || out->error != 0) return;
  errno = 0;
  const long end = std::ftell(out->f);
  if (end < 0 || std::fseek(out->f, offset, SEEK_SET) != 0) {
    keep_first_error(out);
    return;
  }
  output_write(out, data, size);
  if (std::fseek(out->f, end, SEEK_SET) != 0) keep_first_error(out);
}

int output_commit(OutputFile* out) {
  if (out->f == nullptr) return 0;
  errno = 0;
  if (std::fflush(out->f) != 0) keep_first_error(out);
  errno = 0;
  if (std::fclose(out->f) != 0) keep_first_error(out);
  out->f = nullptr;
  errno = 0;
  if (out->error == 0 && std::rename(out->temp_path.c_str(), out->path.c_str()) != 0) {
    keep_first_error(out);
  }
  if (out->error != 0) {
    report(out->path, out->error);
    unlink(out->temp_path.c_str());
  }
  out->temp_path.clear();
  return out->error == 0 ? 1 : 0;
}

void output_discard(OutputFile* out) {
  if (out->f == nullptr) return;
  std::fclose(out->f);
  out->f = nullptr;
  unlink(out->temp_path.c_str());
  out->temp_path.clear();
}

int output_write_file(const char* path, const void* data, size_t size) {
  OutputFile out;
  if (!output_open(&out, path)) return 0;
  output_write(&out, data, size);
  return output_commit(&out);
}

int file_read_checked(const char* path, size_t limit, std::vector<uint8_t>* bytes, bool* longer,
                      std::string* why) {
  bytes->clear();
  if (longer != nullptr) *longer = false;
  struct stat st;
  if (stat(path, &st) != 0) {
    *why = std::strerror(errno);
    return 0;
  }
  if (S_ISDIR(st.st_mode)) {
    *why = std::strerror(EISDIR);
    return 0;
  }
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) {
    *why = std::strerror(errno);
    return 0;
  }
  // In pieces, so a large limit costs nothing for a small file.
  errno = 0;
  while (bytes->size() < limit && !std::feof(f) && !std::ferror(f)) {
    const size_t have = bytes->size();
    const size_t piece = limit - have < kReadPiece ? limit - have : kReadPiece;
    bytes->resize(have + piece);
    bytes->resize(have + std::fread(bytes->data() + have, 1, piece, f));
  }
  const int error = std::ferror(f) ? (errno != 0 ? errno : EIO) : 0;
  if (error == 0 && longer != nullptr) *longer = std::fgetc(f) != EOF;
  std::fclose(f);
  if (error != 0) {
    bytes->clear();
    *why = std::strerror(error);
    return 0;
  }
  return 1;
}
