#include "files/recent_files.h"

#include <strings.h>

#include <cstdio>
#include <memory>

#include "files/chunk_fields.h"
#include "files/recent_files_menu.h"
#include "files/regular_file.h"
#include "files/replacing_file.h"
#include "lv/file_chunk_stream.h"

namespace lv {
namespace {

constexpr uint32_t kName = ChunkTag("NAME");

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

void RecentFiles::Load(const char* name) {
  fileName = name != nullptr ? name : "";
  Read();
}

void RecentFiles::Read() {
  const std::string path = Path();
  if (path.empty()) return;
  Clear();
  if (FilePtr file{std::fopen(path.c_str(), "rb")}) {
    FileChunkStream stream(file.get());
    stream.Reset();
    int32_t filled = 0;
    while (uint32_t tag = stream.NextChunk()) {
      if (tag != kName || filled == kCount) continue;
      std::string entry = ReadChunkText(stream, kMaxPathLength);
      if (!entry.empty() && IsReadableFile(entry.c_str())) entries_[size_t(filled++)] = std::move(entry);
    }
  }
  UpdateMenu();
}

void RecentFiles::Add(const char* path) {
  if (path == nullptr) return;
  int32_t found = kCount - 1;
  std::string entry = path;
  for (int32_t i = 0; i < kCount; ++i) {
    if (!entries_[size_t(i)].empty() && strcasecmp(entries_[size_t(i)].c_str(), path) == 0) {
      found = i;
      entry = entries_[size_t(i)];
      break;
    }
  }
  for (int32_t i = found; i > 0; --i) entries_[size_t(i)] = std::move(entries_[size_t(i - 1)]);
  entries_[0] = std::move(entry);
  Write();
  UpdateMenu();
}

bool RecentFiles::Write() const {
  const std::string path = Path();
  if (path.empty()) return false;
  ReplacingFile file(path);
  if (!file.Open()) return false;
  FileChunkStream stream(file.File());
  bool ok = stream.Reset();
  for (const std::string& entry : entries_) {
    if (ok && !entry.empty() && IsReadableFile(entry.c_str())) ok = stream.WriteChunk(kName, entry.c_str(), int32_t(entry.size() + 1));
  }
  return ok && stream.WriteEnd() && file.Commit();
}

void RecentFiles::UpdateMenu() const {
  if (menu_ == nullptr) return;
  menu_->DeleteItems(kFirstCommand, kSeparatorCommand);
  const int32_t count = EntryCount();
  if (count == 0) return;
  for (int32_t i = 0; i < count; ++i)
    menu_->InsertItem(kMenuPosition + i, kFirstCommand + i, "&" + std::to_string(i + 1) + " - " + entries_[size_t(i)]);
  menu_->InsertSeparator(kMenuPosition + count, kSeparatorCommand);
}

void RecentFiles::Clear() {
  for (std::string& entry : entries_) entry.clear();
}

const char* RecentFiles::Entry(int32_t i) const {
  if (i < 0 || i >= kCount || entries_[size_t(i)].empty()) return nullptr;
  return entries_[size_t(i)].c_str();
}

int32_t RecentFiles::EntryCount() const {
  int32_t count = 0;
  while (count < kCount && !entries_[size_t(count)].empty()) ++count;
  return count;
}

const char* RecentFiles::EntryForCommand(int32_t commandId) const { return Entry(commandId - kFirstCommand); }

RecentFiles& TheRecentFiles() {
  static RecentFiles files;
  return files;
}

}  // namespace lv
