// Bundling a project: media copied beside the new project file, inputs
// pointed at the copies, the project saved there, and the user's files left
// alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "files/file_progress.h"
#include "files/project_bundle.h"
#include "lv/source_desc.h"
#include "project_file_fixture.h"

namespace {

namespace fs = std::filesystem;
using lvtest::StatePlug;

// A patch with one input, as every source-reading plug-in has.
class MediaPlug final : public StatePlug {
 public:
  MediaPlug(const lv::ClassId& id) : StatePlug(id, {}, nullptr) {}
  int32_t GetNumInputs() override { return 1; }
  const char* GetInputName(int32_t) override { return input.empty() ? nullptr : input.c_str(); }
  void SetInputName(int32_t, const char* name) override { input = name != nullptr ? name : ""; }
  bool Save(lv::ChunkStream* s) override {
    return s->WriteChunk(lv::ChunkTag("NAME"), input.c_str(), int32_t(input.size() + 1)) && s->WriteEnd();
  }
  bool Load(lv::ChunkStream* s) override {
    while (uint32_t tag = s->NextChunk()) {
      if (tag != lv::ChunkTag("NAME")) continue;
      std::string text(size_t(s->BytesLeft()), '\0');
      s->ReadChunkData(text.data(), int32_t(text.size()));
      input = text.c_str();
    }
    return true;
  }
  std::string input;
};

class MediaKind final : public lv::PlugDesc {
 public:
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &lvtest::kOtherKindId; }
  const char* GetCategory() override { return "Test"; }
  const char* GetName() override { return "Media"; }
  const char* GetDescription() override { return "reads one source"; }
  lv::Plug* Create() override { return new MediaPlug(lvtest::kOtherKindId); }
};

// A source that is no file, named "FrameBuffer:".
class FrameBufferKind final : public lv::SourceDesc {
 public:
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &lvtest::kStateKindId; }
  const char* GetCategory() override { return "Test"; }
  const char* GetName() override { return "Frame Buffer"; }
  const char* GetDescription() override { return ""; }
  lv::Source* Create() override { return nullptr; }
  bool IsFileBased() override { return false; }
  bool IsAnimated() override { return false; }
  int32_t NumExtensions() override { return 0; }
  const char* Extension(int32_t) override { return nullptr; }
  const char* GetPrefix() override { return "FrameBuffer"; }
};

class ScriptedDialogs final : public lv::BundleDialogs {
 public:
  std::optional<std::string> AskParentFolder(const std::string& start) override {
    folderStart = start;
    ++asked;
    return folder;
  }
  std::optional<std::string> AskProjectName(const std::string& suggested) override {
    nameSuggested = suggested;
    ++asked;
    return name;
  }
  std::optional<std::string> folder, name;
  std::string folderStart, nameSuggested;
  int asked = 0;
};

class RecordingProgress final : public lv::FileProgress {
 public:
  void Open(const char* caption) override { log << "open " << caption << ";"; }
  void SetPosition(int percent) override { log << percent << ";"; }
  void SetText(const char* text) override { log << text << ";"; }
  void Close() override { log << "close"; }
  std::ostringstream log;
};

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

class ProjectBundle : public lvtest::ProjectFileTest {
 protected:
  ProjectBundle() {
    registry.RegisterPlugKind(&mediaKind, nullptr);
    registry.RegisterSourceKind(&frameBufferKind, nullptr);
    performance.name.Assign(folder.File("old/show.LVP").c_str());
    fs::create_directories(folder.File("old"));
    fs::create_directories(folder.File("out"));
  }

  MediaPlug* AddMedia(uint8_t program, uint8_t note, const std::string& input) {
    lv::Bank* bank = performance.CreateBank(program);
    auto* plug = static_cast<MediaPlug*>(registry.CreatePlug(&mediaKind));
    plug->input = input;
    bank->slots[note].patch.reset(plug);
    bank->slots[note].bindings.Attach(plug);
    return plug;
  }

  std::string Out(const std::string& name) const { return folder.File("out/Show/" + name); }

  MediaKind mediaKind;
  FrameBufferKind frameBufferKind;
  lv::Performance performance;
  ScriptedDialogs dialogs;
};

TEST(BundledProjectPath, FolderNamedAfterTheProject) {
  const struct {
    const char* parent;
    const char* name;
    const char* path;
  } cases[] = {
      {"/g", "Show", "/g/Show/Show.LVP"},
      {"/g/", "Show.LVP", "/g/Show/Show.LVP"},
      {"/g//", "Show.lvp", "/g/Show/Show.lvp"},
      {"/g", "a.b.c", "/g/a.b/a.b.c"},
      {"/", "Show", "/Show/Show.LVP"},
  };
  for (const auto& c : cases) EXPECT_EQ(lv::BundledProjectPath(c.parent, c.name), c.path) << c.parent << " " << c.name;
}

TEST_F(ProjectBundle, CopiesMediaAndSavesBesideThem) {
  WriteFile(folder.File("media/clip.avi"), "clip");
  WriteFile(folder.File("old/beside.bmp"), "beside");  // named without a folder: found beside the project
  MediaPlug* first = AddMedia(0, 10, folder.File("media/clip.avi"));
  MediaPlug* again = AddMedia(3, 20, folder.File("media/clip.avi"));
  MediaPlug* beside = AddMedia(3, 21, "beside.bmp");
  MediaPlug* buffer = AddMedia(3, 22, "FrameBuffer:");
  MediaPlug* none = AddMedia(3, 23, "");
  dialogs.folder = folder.File("out");
  dialogs.name = "Show";
  RecordingProgress progress;

  ASSERT_TRUE(lv::BundleProject(performance, dialogs, context, &progress));
  EXPECT_EQ(dialogs.folderStart, folder.File("old"));
  EXPECT_EQ(dialogs.nameSuggested, "show");
  EXPECT_STREQ(performance.name.CStr(), Out("Show.LVP").c_str());
  EXPECT_TRUE(fs::is_regular_file(Out("Show.LVP")));
  EXPECT_EQ(performance.modified, 0);
  EXPECT_EQ(Contents(Out("clip.avi")), "clip");
  EXPECT_EQ(Contents(Out("beside.bmp")), "beside");
  EXPECT_EQ(first->input, Out("clip.avi"));
  EXPECT_EQ(again->input, Out("clip.avi"));
  EXPECT_EQ(beside->input, Out("beside.bmp"));
  EXPECT_EQ(buffer->input, "FrameBuffer:");
  EXPECT_EQ(none->GetInputName(0), nullptr);
  EXPECT_EQ(progress.log.str(), "open Copying Files...;0;clip.avi;0;beside.bmp;50;close");

  // The saved project names the copies.
  lv::Performance loaded;
  ASSERT_TRUE(lv::LoadPerformance(loaded, Out("Show.LVP").c_str(), context));
  auto* reloaded = static_cast<MediaPlug*>(loaded.FindBank(0)->slots[10].patch.get());
  ASSERT_NE(reloaded, nullptr);
  EXPECT_EQ(reloaded->input, Out("clip.avi"));

  // Bundling the bundle again into the same place finds its files there.
  ASSERT_TRUE(lv::BundleProjectTo(performance, folder.File("out/"), "Show.LVP", context));
  EXPECT_EQ(first->input, Out("clip.avi"));
  EXPECT_FALSE(fs::exists(Out("clip_2.avi")));
}

TEST_F(ProjectBundle, SameFileNamesNeverOverwrite) {
  WriteFile(folder.File("a/loop.avi"), "from a");
  WriteFile(folder.File("b/loop.avi"), "from b");
  WriteFile(folder.File("a/Loop.AVI"), "other case");
  WriteFile(folder.File("a/mine.avi"), "source");
  WriteFile(Out("mine.avi"), "the user's own");
  MediaPlug* a = AddMedia(0, 1, folder.File("a/loop.avi"));
  MediaPlug* b = AddMedia(0, 2, folder.File("b/loop.avi"));
  MediaPlug* upper = AddMedia(0, 3, folder.File("a/Loop.AVI"));
  MediaPlug* mine = AddMedia(0, 4, folder.File("a/mine.avi"));

  ASSERT_TRUE(lv::BundleProjectTo(performance, folder.File("out"), "Show", context));
  EXPECT_EQ(Contents(a->input), "from a");
  EXPECT_EQ(Contents(b->input), "from b");
  EXPECT_EQ(Contents(upper->input), "other case");
  EXPECT_EQ(b->input, Out("loop_2.avi"));
  EXPECT_EQ(upper->input, Out("Loop_3.AVI"));
  EXPECT_EQ(Contents(Out("mine.avi")), "the user's own");
  EXPECT_EQ(mine->input, Out("mine_2.avi"));
  EXPECT_EQ(Contents(mine->input), "source");
}

TEST_F(ProjectBundle, MissingFileFailsButTheRestIsDone) {
  WriteFile(folder.File("media/clip.avi"), "clip");
  MediaPlug* gone = AddMedia(0, 1, folder.File("media/gone.avi"));
  MediaPlug* clip = AddMedia(0, 2, folder.File("media/clip.avi"));

  EXPECT_FALSE(lv::BundleProjectTo(performance, folder.File("out"), "Show", context));
  EXPECT_EQ(gone->input, folder.File("media/gone.avi"));
  EXPECT_FALSE(fs::exists(Out("gone.avi")));
  EXPECT_EQ(clip->input, Out("clip.avi"));
  EXPECT_TRUE(fs::is_regular_file(Out("Show.LVP")));
  EXPECT_STREQ(performance.name.CStr(), Out("Show.LVP").c_str());
}

TEST_F(ProjectBundle, RefusalsChangeNothing) {
  const std::string oldName = performance.name.CStr();
  dialogs.folder = folder.File("out");
  dialogs.name = "Show";

  lv::Performance untitled;
  EXPECT_FALSE(lv::BundleProject(untitled, dialogs, context));
  EXPECT_EQ(dialogs.asked, 0);

  dialogs.folder.reset();
  EXPECT_FALSE(lv::BundleProject(performance, dialogs, context));
  dialogs.folder = folder.File("out");
  dialogs.name.reset();
  EXPECT_FALSE(lv::BundleProject(performance, dialogs, context));
  EXPECT_STREQ(performance.name.CStr(), oldName.c_str());
  EXPECT_FALSE(fs::exists(folder.File("out/Show")));

  // A parent folder that does not exist: no folder, and the name stays.
  dialogs.folder = folder.File("absent/deeper");
  dialogs.name = "Show";
  EXPECT_FALSE(lv::BundleProject(performance, dialogs, context));
  EXPECT_STREQ(performance.name.CStr(), oldName.c_str());
}

TEST_F(ProjectBundle, FailedSaveKeepsTheOldName) {
  const std::string oldName = performance.name.CStr();
  fs::create_directories(Out("Show.LVP"));  // nothing can be written there
  EXPECT_FALSE(lv::BundleProjectTo(performance, folder.File("out"), "Show", context));
  EXPECT_STREQ(performance.name.CStr(), oldName.c_str());
}

}  // namespace
