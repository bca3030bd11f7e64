#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/lorvane_host.h"
#include "journal.h"
#include "lv/source.h"
#include "lv/source_desc.h"
#include "registry/plug_registry.h"

namespace lvtest {
namespace {

class TestSource : public lv::Source {
 public:
  TestSource(Journal* journal, bool opens) : journal_(journal), opens_(opens) {}
  ~TestSource() override { journal_->Add("destroyed"); }
  int32_t GetKind() override { return 0; }
  const lv::ClassId* GetClassId() override { return nullptr; }
  uint8_t SetOption0(uint8_t value) override { return value; }
  uint8_t SetOption1(uint8_t value) override { return value; }
  uint8_t SetOption2(uint8_t value) override {
    journal_->Add("option2 " + std::to_string(value) + (host != nullptr ? " with host" : " without host"));
    return value;
  }
  bool Open(const char* name) override {
    journal_->Add(std::string("open ") + name);
    return opens_;
  }
  bool GetInfo(lv::SourceInfo*) override { return false; }
  void SetVolume(int32_t) override {}
  void SetPan(int32_t) override {}
  bool Attach(uint8_t) override { return true; }
  gfx::Texture* GetTexture() override { return nullptr; }
  const float* GetTexelOffset() override { return nullptr; }
  void Detach() override {}
  void ReleaseDeviceObjects() override {}
  void Restart() override {}
  bool Advance(uint32_t, bool*, bool*) override { return true; }

 private:
  Journal* journal_;
  bool opens_;
};

class TestSourceKind : public lv::SourceDesc {
 public:
  enum class Makes { Nothing, Closed, Open };
  TestSourceKind(Journal* journal, bool fileBased, const char* word, Makes makes)
      : journal_(journal), fileBased_(fileBased), word_(word), makes_(makes) {}
  int32_t GetKind() override { return 0; }
  const lv::ClassId* GetClassId() override { return nullptr; }
  const char* GetCategory() override { return "Test"; }
  const char* GetName() override { return word_; }
  const char* GetDescription() override { return word_; }
  lv::Source* Create() override {
    if (makes_ == Makes::Nothing) return nullptr;
    return new TestSource(journal_, makes_ == Makes::Open);
  }
  bool IsFileBased() override { return fileBased_; }
  bool IsAnimated() override { return true; }
  int32_t NumExtensions() override { return fileBased_ ? 1 : 0; }
  const char* Extension(int32_t) override { return word_; }
  const char* GetPrefix() override { return word_; }

 private:
  Journal* journal_;
  bool fileBased_;
  const char* word_;
  Makes makes_;
};

class HostSources : public testing::Test {
 protected:
  HostSources() {
    registry.RegisterSourceKind(&avi, nullptr);
    registry.RegisterSourceKind(&broken, nullptr);
    registry.RegisterSourceKind(&empty, nullptr);
    registry.RegisterSourceKind(&work, nullptr);
    host.registry = &registry;
    host.SetSourceDialog([this](const lv::SourceDialogRequest& request) {
      requests.push_back(request);
      return answer;
    });
  }

  Journal journal;
  TestSourceKind avi{&journal, true, "avi", TestSourceKind::Makes::Open};
  TestSourceKind broken{&journal, true, "bad", TestSourceKind::Makes::Closed};
  TestSourceKind empty{&journal, true, "nul", TestSourceKind::Makes::Nothing};
  TestSourceKind work{&journal, false, "Work 1", TestSourceKind::Makes::Open};
  lv::PlugRegistry registry;
  lv::LorvaneHost host{nullptr};
  std::vector<lv::SourceDialogRequest> requests;
  lv::SourceDialogAnswer answer;
};

TEST_F(HostSources, CreateSourceHandsOverOnlyOpenedSources) {
  lv::Source* source = host.CreateSource("C:\\clips\\loop.avi", 1);
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(source->host, &host);
  EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"option2 1 with host", "open C:\\clips\\loop.avi"}));
  delete source;
  journal.Clear();

  EXPECT_EQ(host.CreateSource("clip.bad", 0), nullptr);
  EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"option2 0 with host", "open clip.bad", "destroyed"}));
  journal.Clear();
  EXPECT_EQ(host.CreateSource("clip.nul", 0), nullptr);  // the kind made nothing
  EXPECT_EQ(host.CreateSource("clip.mpg", 0), nullptr);
  EXPECT_EQ(host.CreateSource(nullptr, 0), nullptr);
  EXPECT_TRUE(journal.Entries().empty());
}

TEST_F(HostSources, SelectSourceStartsFromTheCurrentFileOrPreselectsTheCurrentSource) {
  answer.file = "/clips/new.avi";
  const std::string longName(5000, 'x');
  struct Case {
    const char* current;
    std::string initialPath;
    std::string preselected;
  };
  const Case cases[] = {
      {"/clips/old.avi", "/clips/old.avi", ""},
      {"Work 1:", "", "Work 1:"},
      {"Gone 3:", "", "Gone 3:"},  // no such kind, but named like a source
      {"C:\\clips\\old.avi", "C:\\clips\\old.avi", ""},
      {nullptr, "", ""},
      {longName.c_str(), longName, ""},
  };
  for (const Case& c : cases) {
    requests.clear();
    EXPECT_STREQ(host.SelectSource(nullptr, c.current), "/clips/new.avi");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].files.initialPath, c.initialPath) << (c.current ? c.current : "null");
    EXPECT_EQ(requests[0].currentSource, c.preselected);
  }
  const window::FileDialogRequest& files = requests[0].files;
  EXPECT_EQ(files.title, "Select a source");
  EXPECT_EQ(files.filterIndex, 1);
  EXPECT_TRUE(files.fileMustExist);
  EXPECT_EQ(files.filter, registry.BuildSourceFilter());
}

TEST_F(HostSources, SelectSourceAnswersAFileASourceNameOrNothing) {
  answer.file = "/clips/new.avi";
  EXPECT_STREQ(host.SelectSource(nullptr, nullptr), "/clips/new.avi");
  answer.file.reset();
  answer.source = "Work 1";
  EXPECT_STREQ(host.SelectSource(nullptr, nullptr), "Work 1:");
  answer.source.clear();
  EXPECT_EQ(host.SelectSource(nullptr, "/clips/new.avi"), nullptr);
}

}  // namespace
}  // namespace lvtest
