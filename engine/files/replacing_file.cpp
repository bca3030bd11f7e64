#include "files/replacing_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace lv {
namespace {

// A link is replaced at the file it names, so the link itself stays.
std::string ResolveLink(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : path;
}

// The replacement keeps the old file's permissions, or gets what a newly
// created file would.
mode_t ModeFor(const std::string& target) {
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

ReplacingFile::ReplacingFile(std::string target) : target_(ResolveLink(target)) {}

ReplacingFile::~ReplacingFile() { Discard(); }

bool ReplacingFile::Open() {
  if (file_ != nullptr || target_.empty()) return false;
  std::vector<char> name(target_.begin(), target_.end());
  for (char c : std::string(".XXXXXX")) name.push_back(c);
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) return false;
  temporary_ = name.data();
  fchmod(fd, ModeFor(target_));
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    close(fd);
    Discard();
    return false;
  }
  return true;
}

bool ReplacingFile::Commit() {
  if (file_ == nullptr) return false;
  bool written = std::fflush(file_) == 0 && std::ferror(file_) == 0 && fsync(fileno(file_)) == 0;
  written = std::fclose(file_) == 0 && written;
  file_ = nullptr;
  if (!written || std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    Discard();
    return false;
  }
  temporary_.clear();
  return true;
}

void ReplacingFile::Discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temporary_.empty()) {
    std::remove(temporary_.c_str());
    temporary_.clear();
  }
}

}  // namespace lv
