#pragma once
// The last project files opened or saved, most recent first, kept in
// "Lorvane.mru" beside the program as one "NAME" chunk per entry and shown
// in the File menu. User-interface thread only.
#include <array>
#include <cstdint>
#include <string>

#include "files/program_folder.h"

namespace lv {

class RecentFilesMenu;

class RecentFiles {
 public:
  static constexpr int32_t kCount = 4;
  static constexpr int32_t kMenuPosition = 9;
  // Command ids 0xE110-0xE11F belong to the list: entry i has the first
  // id + i, the separator after the entries the last.
  static constexpr int32_t kFirstCommand = 57616;
  static constexpr int32_t kSeparatorCommand = 57631;
  static constexpr int32_t kMaxPathLength = 511;

  // The menu that shows the entries (null: none).
  void SetMenu(RecentFilesMenu* menu) { menu_ = menu; }

  // Keeps the file name, then Read.
  void Load(const char* fileName);
  // Takes the entries from the file, dropping names of files that no longer
  // open; a missing or damaged file gives what it holds. Updates the menu.
  void Read();
  // Puts `path` first: an entry equal to it ignoring case moves up with its
  // own spelling, otherwise the oldest entry drops out. Writes the file and
  // updates the menu; a null path does nothing.
  void Add(const char* path);
  // Rewrites the file with the entries whose files still open; false when it
  // could not be written whole (the old one is then kept).
  bool Write() const;
  void UpdateMenu() const;
  void Clear();

  // Entry i (0 = most recent), or null.
  const char* Entry(int32_t i) const;
  int32_t EntryCount() const;
  // The entry a menu command selects, or null for any other id.
  const char* EntryForCommand(int32_t commandId) const;

  std::string Path() const { return FileInFolder(folder, fileName); }

  std::string folder = ProgramFolder();
  std::string fileName = "Lorvane.mru";

 private:
  // Empty entries are only ever at the end.
  std::array<std::string, kCount> entries_;
  RecentFilesMenu* menu_ = nullptr;
};

RecentFiles& TheRecentFiles();

}  // namespace lv
