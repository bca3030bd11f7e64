// The recent-files list: order, duplicates, its limit, its file and its menu.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "file_bytes.h"
#include "files/recent_files.h"
#include "files/recent_files_menu.h"
#include "temp_folder.h"

namespace lvtest {
namespace {

// A File menu with ten fixed items before the list's place.
class FakeMenu : public lv::RecentFilesMenu {
 public:
  struct Item {
    int32_t id;
    std::string text;  // "-" for a separator
  };
  FakeMenu() {
    for (int32_t i = 0; i < 10; ++i) items.push_back({100 + i, "fixed"});
  }
  void DeleteItems(int32_t firstId, int32_t lastId) override {
    std::erase_if(items, [&](const Item& item) { return item.id >= firstId && item.id <= lastId; });
  }
  void InsertItem(int32_t position, int32_t commandId, const std::string& text) override {
    items.insert(items.begin() + position, {commandId, text});
  }
  void InsertSeparator(int32_t position, int32_t commandId) override {
    items.insert(items.begin() + position, {commandId, "-"});
  }
  std::vector<std::string> ListPart() const {
    std::vector<std::string> texts;
    for (const Item& item : items)
      if (item.id >= lv::RecentFiles::kFirstCommand) texts.push_back(std::to_string(item.id) + " " + item.text);
    return texts;
  }
  std::vector<Item> items;
};

class RecentFilesTest : public testing::Test {
 protected:
  RecentFilesTest() {
    list.folder = folder.Path();
    list.SetMenu(&menu);
  }
  // Paths of project files that exist.
  std::string Project(const std::string& name) {
    const std::string path = folder.File(name);
    WriteFileBytes(path, {1});
    return path;
  }
  std::vector<std::string> Entries(const lv::RecentFiles& files) const {
    std::vector<std::string> entries;
    for (int32_t i = 0; i < lv::RecentFiles::kCount; ++i)
      if (const char* e = files.Entry(i)) entries.push_back(e);
    return entries;
  }
  lv::RecentFiles Reloaded() {
    lv::RecentFiles read;
    read.folder = folder.Path();
    read.Load("Lorvane.mru");
    return read;
  }

  TempFolder folder;
  FakeMenu menu;
  lv::RecentFiles list;
};

TEST_F(RecentFilesTest, AddKeepsTheMostRecentFirstWithoutDuplicatesAndAtMostFour) {
  const std::string a = Project("a.LVP"), b = Project("b.LVP"), c = Project("c.LVP"), d = Project("d.LVP"),
                    e = Project("E.LVP");
  for (const std::string& p : {a, b, c, d}) list.Add(p.c_str());
  EXPECT_EQ(Entries(list), (std::vector<std::string>{d, c, b, a}));
  list.Add(c.c_str());
  EXPECT_EQ(Entries(list), (std::vector<std::string>{c, d, b, a}));
  list.Add(e.c_str());
  EXPECT_EQ(Entries(list), (std::vector<std::string>{e, c, d, b}));
  // Another letter case finds the listed one, which keeps its own spelling.
  list.Add(folder.File("e.lvp").c_str());
  EXPECT_EQ(Entries(list), (std::vector<std::string>{e, c, d, b}));
  list.Add(folder.File("B.lvp").c_str());
  EXPECT_EQ(Entries(list), (std::vector<std::string>{b, e, c, d}));
  list.Add(nullptr);
  EXPECT_EQ(Entries(list), (std::vector<std::string>{b, e, c, d}));
  EXPECT_STREQ(list.EntryForCommand(57617), e.c_str());
  EXPECT_EQ(list.EntryForCommand(57620), nullptr);
  EXPECT_EQ(list.EntryForCommand(57615), nullptr);
}

TEST_F(RecentFilesTest, TheFileHoldsOneNameChunkPerEntryAndReadsBack) {
  const std::string a = Project("a.LVP"), b = Project("b.LVP");
  list.Add(a.c_str());
  list.Add(b.c_str());
  const Bytes expected = Bytes().Chunk("NAME", Bytes().Text(b)).Chunk("NAME", Bytes().Text(a)).End();
  EXPECT_EQ(ReadFileBytes(list.Path()), expected.data);
  EXPECT_EQ(Entries(Reloaded()), (std::vector<std::string>{b, a}));
}

TEST_F(RecentFilesTest, ReadingDropsVanishedFilesAndDirectoriesSkipsOtherChunksAndFillsAtMostFourSlots) {
  std::vector<std::string> paths;
  for (const char* name : {"1", "2", "3", "4", "5"}) paths.push_back(Project(name));
  Bytes file;
  // A directory of a project's name is no project file.
  std::filesystem::create_directory(folder.File("folder.LVP"));
  file.Chunk("NAME", Bytes().Text(folder.File("folder.LVP")));
  file.Chunk("NAME", Bytes().Text(folder.File("deleted.LVP"))).Chunk("JUNK", I32s(1));
  file.Chunk("NAME", Bytes().Text(paths[0], false));  // no NUL
  for (size_t i = 1; i < paths.size(); ++i) file.Chunk("NAME", Bytes().Text(paths[i]));
  file.End();
  WriteFileBytes(folder.File("Lorvane.mru"), file.data);
  EXPECT_EQ(Entries(Reloaded()), (std::vector<std::string>{paths[0], paths[1], paths[2], paths[3]}));

  // A vanished file's slot goes to the next name; written again, an entry
  // whose file went away since is left out.
  std::filesystem::remove(paths[1]);
  lv::RecentFiles read = Reloaded();
  EXPECT_EQ(Entries(read), (std::vector<std::string>{paths[0], paths[2], paths[3], paths[4]}));
  std::filesystem::remove(paths[2]);
  ASSERT_TRUE(read.Write());
  EXPECT_EQ(Entries(Reloaded()), (std::vector<std::string>{paths[0], paths[3], paths[4]}));
}

TEST_F(RecentFilesTest, AMissingOrCorruptFileGivesAnEmptyListAndMenu) {
  list.Load("absent.mru");
  EXPECT_EQ(list.EntryCount(), 0);
  EXPECT_TRUE(menu.ListPart().empty());
  EXPECT_EQ(menu.items.size(), 10u);

  const std::string a = Project("a.LVP");
  for (const Bytes& corrupt : {Bytes().U32(0x454D414E).U32(0xFFFFFF00).Text(a), Bytes().U8(7),
                               Bytes().Chunk("NAME", Bytes().Text(a)).U32(0x454D414E).U32(4)}) {
    WriteFileBytes(folder.File("Lorvane.mru"), corrupt.data);
    lv::RecentFiles read = Reloaded();
    EXPECT_LE(read.EntryCount(), 1);
  }
}

TEST_F(RecentFilesTest, TheMenuShowsNumberedEntriesAndASeparatorFromPositionNine) {
  const std::string a = Project("a&b.LVP"), b = Project("b.LVP");
  list.Add(a.c_str());
  list.Add(b.c_str());
  ASSERT_EQ(menu.items.size(), 13u);
  EXPECT_EQ(menu.items[9].id, 57616);
  EXPECT_EQ(menu.items[9].text, "&1 - " + b);
  EXPECT_EQ(menu.items[10].id, 57617);
  EXPECT_EQ(menu.items[10].text, "&2 - " + a);
  EXPECT_EQ(menu.items[11].id, 57631);
  EXPECT_EQ(menu.items[11].text, "-");
  EXPECT_EQ(menu.items[12].id, 109);

  // Rebuilding replaces the items rather than adding more.
  list.UpdateMenu();
  EXPECT_EQ(menu.items.size(), 13u);
  std::filesystem::remove(a);
  std::filesystem::remove(b);
  list.Read();
  EXPECT_EQ(menu.items.size(), 10u);
}

}  // namespace
}  // namespace lvtest
