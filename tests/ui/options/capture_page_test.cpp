#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QStyle>
#include <QPushButton>
#include <QTreeWidget>
#include <atomic>
#include <thread>

#include "capture/capture_manager.h"
#include "device_fixture.h"
#include "fake_capture_system.h"
#include "host/lorvane_host.h"
#include "options/capture_page.h"
#include "options/capture_row.h"
#include "options/sampler_page.h"
#include "options_fixture.h"
#include "registry/plug_registry.h"
#include "sampler/sampler.h"

// The Mesa driver synchronises its worker threads with its own futex-based
// primitives, which ThreadSanitizer cannot see.
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }

namespace {

using builtin::CaptureDevice;
using namespace ui::capture_page;

// Stands in for a source's descriptor: only its prefix matters here.
class PrefixKind final : public lv::SourceDesc {
 public:
  explicit PrefixKind(std::string prefix) : prefix_(std::move(prefix)) {}
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &id_; }
  const char* GetCategory() override { return "Test"; }
  const char* GetName() override { return "Test"; }
  const char* GetDescription() override { return prefix_.c_str(); }
  lv::Source* Create() override { return nullptr; }
  bool IsFileBased() override { return false; }
  bool IsAnimated() override { return true; }
  int32_t NumExtensions() override { return 0; }
  const char* Extension(int32_t) override { return nullptr; }
  const char* GetPrefix() override { return prefix_.c_str(); }

 private:
  lv::ClassId id_{};
  std::string prefix_;
};

// Registers in the registry, noting the Performer's state each time.
class StateNotingRegistrar final : public builtin::SourceKindRegistrar {
 public:
  StateNotingRegistrar(lv::PlugRegistry& registry, lv::Performer& performer)
      : inner_(registry), performer_(performer) {}
  void Register(lv::SourceDesc* kind) override {
    states.push_back(performer_.State());
    inner_.Register(kind);
  }
  void Unregister(lv::SourceDesc* kind) override {
    states.push_back(performer_.State());
    inner_.Unregister(kind);
  }
  std::vector<lv::PerformerState> states;

 private:
  builtin::RegistryRegistrar<lv::PlugRegistry> inner_;
  lv::Performer& performer_;
};

class CapturePageTest : public gfx::test::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    host.device = device_;
    host.registry = &registry;
    host.roundToNearestPow2 = true;
    captureEnv.host = &host;
    captureEnv.registrar = &registrar;
    captureEnv.makeKind = [](builtin::CaptureFeed& d) {
      return std::make_unique<PrefixKind>("Cap" + std::to_string(d.DeviceIndex()) + "-" + d.FriendlyName());
    };
    context.services.performer = &performer;
    context.services.prompts = &prompts;
    performer.SetState(lv::Live);
  }
  void TearDown() override {
    page.reset();
    manager.reset();
    performer.Stop(0);
    DeviceTest::TearDown();
  }

  void OpenOn(std::unique_ptr<capture::CaptureSystem> system) {
    manager = std::make_unique<builtin::CaptureManager>(std::move(system), captureEnv);
    manager->Initialize();
    context.services.captures = manager.get();
    page = std::make_unique<ui::CapturePage>(context);
  }
  CaptureDevice& Device(int index) {
    lv::ListNode* node = manager->Devices().Head();
    for (int i = 0; i < index; ++i) node = node->Next();
    return *static_cast<CaptureDevice*>(node);
  }
  QTreeWidgetItem& Row(int index) { return *page->List().topLevelItem(index); }
  std::string Cell(int row, int column) { return Row(row).text(column).toStdString(); }
  template <typename Widget>
  Widget* Control(int id) {
    return page->findChild<Widget*>(QString::number(id));
  }
  // The cell's text fits its column, with the margins the item delegate keeps.
  bool ShowsWhole(int row, int column) {
    const QTreeWidget& list = page->List();
    const int margin = 2 * (list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1);
    return list.fontMetrics().horizontalAdvance(Row(row).text(column)) + margin <= list.header()->sectionSize(column);
  }

  lv::Performer performer;
  lv::Performance performance;
  lv::LorvaneHost host;
  lv::PlugRegistry registry;
  StateNotingRegistrar registrar{registry, performer};
  builtin::CaptureEnvironment captureEnv;
  std::unique_ptr<builtin::CaptureManager> manager;
  optionstest::ScriptedOptionsPrompts prompts;
  ui::OptionsSheetContext context{performance, {}, 0};
  std::unique_ptr<ui::CapturePage> page;
};

TEST_F(CapturePageTest, CheckingStartsTheTestPatternWithThePerformerHalted) {
  OpenOn(capture::CreateTestPatternSystem());
  ASSERT_EQ(1, page->List().topLevelItemCount());
  EXPECT_EQ("Test Pattern", Cell(0, 0));
  EXPECT_EQ(Qt::Unchecked, Row(0).checkState(0));
  EXPECT_FALSE(context.Changed()) << "filling the list is no change";

  Row(0).setCheckState(0, Qt::Checked);
  EXPECT_TRUE(Device(0).Running());
  EXPECT_NE(nullptr, registry.FindSourceKind("Cap0-Test Pattern:"));
  EXPECT_EQ((std::vector<lv::PerformerState>{lv::Halted}), registrar.states);
  EXPECT_EQ(lv::Live, performer.State()) << "the state before comes back";
  EXPECT_TRUE(context.Changed());
  EXPECT_EQ("Running - " + ui::CaptureModeText(*Device(0).Format()), Cell(0, 1));
  EXPECT_TRUE(ShowsWhole(0, 1)) << Cell(0, 1);
  EXPECT_EQ(Qt::Checked, Row(0).checkState(0));

  registrar.states.clear();
  Row(0).setCheckState(0, Qt::Unchecked);
  EXPECT_FALSE(Device(0).Running());
  EXPECT_EQ(nullptr, registry.FindSourceKind("Cap0-Test Pattern:"));
  EXPECT_EQ(nullptr, Device(0).Renderer());
  ASSERT_FALSE(registrar.states.empty());
  for (lv::PerformerState state : registrar.states) EXPECT_EQ(lv::Halted, state);
  EXPECT_EQ(lv::Live, performer.State());
  EXPECT_EQ("Ready - " + ui::CaptureModeText(*Device(0).Format()), Cell(0, 1));
}

TEST_F(CapturePageTest, ModeInputAndFlipActOnTheSelectedDeviceWithoutAChange) {
  OpenOn(capture::CreateTestPatternSystem());
  EXPECT_FALSE(Control<QPushButton>(kModeButton)->isEnabled());
  page->ChooseMode();
  EXPECT_TRUE(prompts.menus.empty()) << "nothing selected: the buttons do nothing";

  Row(0).setCheckState(0, Qt::Checked);
  context.changed = 0;
  page->List().setCurrentItem(&Row(0));
  EXPECT_TRUE(Control<QPushButton>(kModeButton)->isEnabled());
  EXPECT_FALSE(Control<QCheckBox>(kFlipCheck)->isChecked());

  prompts.menuAnswers = {-1};
  page->ChooseMode();
  ASSERT_EQ(1u, prompts.menus.size());
  std::vector<std::string> modes;
  for (lv::ListNode* n = Device(0).Formats().Head(); n != nullptr; n = n->Next())
    modes.push_back(ui::CaptureModeText(*static_cast<builtin::CaptureFormat*>(n)));
  EXPECT_EQ(modes, prompts.menus[0]);
  const builtin::CaptureFormat* before = Device(0).Format();
  EXPECT_EQ(before, Device(0).Format()) << "a dismissed menu changes nothing";

  int wide = -1;
  for (size_t i = 0; i < modes.size(); ++i)
    if (modes[i].starts_with("640x480")) wide = static_cast<int>(i);
  ASSERT_GE(wide, 0);
  registrar.states.clear();
  prompts.menuAnswers = {wide};
  page->ChooseMode();
  EXPECT_EQ(640u, Device(0).Format()->width);
  EXPECT_TRUE(Device(0).Running()) << "a running device restarts in the new mode";
  for (lv::PerformerState state : registrar.states) EXPECT_EQ(lv::Halted, state);
  EXPECT_EQ("Running - " + modes[static_cast<size_t>(wide)], Cell(0, 1));

  Control<QCheckBox>(kFlipCheck)->click();
  EXPECT_TRUE(Device(0).Flip());
  EXPECT_TRUE(Control<QCheckBox>(kFlipCheck)->isChecked());
  EXPECT_FALSE(context.Changed()) << "mode and flip are no change";
  Row(0).setCheckState(0, Qt::Unchecked);
}

TEST_F(CapturePageTest, UnavailableDevicesShowWhyAndHaveNoCheckBox) {
  captest::DeviceScript unbindable;
  unbindable.name = "Broken Cam";
  unbindable.bindable = false;
  captest::DeviceScript formatless;
  formatless.name = "Odd Cam";
  captest::DeviceScript ready;
  ready.name = "Good Cam";
  ready.formats = {captest::Format(320, 240, capture::kYuy2, 333667), captest::Format(320, 240, 0, 333667, 24)};
  ready.current = ready.formats[0];
  std::vector<captest::DeviceScript> scripts{unbindable, formatless, ready};
  OpenOn(std::make_unique<captest::ScriptedSystem>(scripts));
  ASSERT_EQ(3, page->List().topLevelItemCount());
  EXPECT_EQ("Problem", Cell(0, 1));
  EXPECT_EQ("Incompatible", Cell(1, 1));
  for (int row : {0, 1}) {
    EXPECT_EQ("--", Cell(row, 2));
    EXPECT_FALSE(Row(row).data(0, Qt::CheckStateRole).isValid()) << "no check box";
    page->List().setCurrentItem(&Row(row));
    EXPECT_FALSE(Control<QPushButton>(kModeButton)->isEnabled());
  }
  EXPECT_EQ("Ready - 320x240 YUY2", Cell(2, 1));
  EXPECT_EQ("--", Cell(2, 2));
  page->List().setCurrentItem(&Row(2));
  EXPECT_TRUE(Control<QPushButton>(kModeButton)->isEnabled());

  EXPECT_EQ("RGB24", ui::CaptureFormatName(0, 24));
  EXPECT_EQ("RGB16", ui::CaptureFormatName(3, 16));
  EXPECT_EQ("UYVY", ui::CaptureFormatName(capture::kUyvy, 16));
}

TEST_F(CapturePageTest, WithoutCaptureDevicesTheListIsEmpty) {
  OpenOn(std::make_unique<captest::ScriptedSystem>(std::vector<captest::DeviceScript>{}, false));
  EXPECT_EQ(0, page->List().topLevelItemCount());
  context.services.captures = nullptr;
  page = std::make_unique<ui::CapturePage>(context);
  EXPECT_EQ(0, page->List().topLevelItemCount());
  page->ChooseInput();
  page->ToggleFlip();
  EXPECT_TRUE(prompts.menus.empty());
}

// TSAN: a render thread draws from the running device, pass by pass under
// the frame lock, while the page stops and starts it.
TEST_F(CapturePageTest, StoppingWhileTheRenderThreadDrawsFromTheDevice) {
  OpenOn(capture::CreateTestPatternSystem());
  Row(0).setCheckState(0, Qt::Checked);
  ASSERT_TRUE(Device(0).Running());
  CaptureDevice& device = Device(0);
  std::atomic<bool> running{true};
  std::atomic<int> drawn{0};
  std::thread render([&] {
    while (running.load()) {
      {
        sys::CriticalSectionLock pass(performer.FrameLock());
        if (lv::IsDrawingState(performer.State()) && device.Running()) {
          if (builtin::TextureRenderer* renderer = device.GetTextureRenderer()) {
            renderer->UpdateTexture();
            drawn.fetch_add(1);
          }
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  for (int i = 0; i < 6; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
    Row(0).setCheckState(0, i % 2 == 0 ? Qt::Unchecked : Qt::Checked);
  }
  running = false;
  render.join();
  EXPECT_GT(drawn.load(), 0);
  Row(0).setCheckState(0, Qt::Unchecked);
  EXPECT_FALSE(device.Running());
}

class SamplerPageTest : public CapturePageTest {
 protected:
  void SetUp() override {
    CapturePageTest::SetUp();
    bank.env.host = &host;
    bank.env.registrar = &registrar;
    bank.env.makeKind = [](builtin::SampleStore& s) { return std::make_unique<PrefixKind>(s.Name()); };
    // Samplers are bounded by the output they are made for: the performance's.
    bank.env.outputSize = [this] {
      return builtin::OutputSize{uint32_t(performance.width), uint32_t(performance.height)};
    };
    context.services.samplers = &bank;
  }
  void TearDown() override {
    samplerPage.reset();
    bank.samplers.DeleteAll();
    CapturePageTest::TearDown();
  }
  std::string SamplerCell(int row, int column) {
    return samplerPage->List().topLevelItem(row)->text(column).toStdString();
  }

  builtin::SamplerBank bank;
  std::unique_ptr<ui::SamplerPage> samplerPage;
};

TEST_F(SamplerPageTest, CreateNewSampleMakesASamplerFromTheEnteredRequest) {
  ASSERT_NE(nullptr, builtin::Sampler::Create(bank.samplers, bank.env, "Old", 64, 64, gfx::Format::R5G6B5, 60, 1));
  performance.width = 640;
  performance.height = 480;
  performance.bitsPerPixel = 32;
  samplerPage = std::make_unique<ui::SamplerPage>(context);
  ASSERT_EQ(1, samplerPage->List().topLevelItemCount());
  EXPECT_EQ("Old", SamplerCell(0, 0));
  EXPECT_EQ("64 x 64 RGB16, 60 fps, 1.0 sec", SamplerCell(0, 1));

  prompts.editRequest = [](ui::SampleRequest&) { return false; };
  samplerPage->CreateSample();
  EXPECT_EQ(1, bank.samplers.Count()) << "Cancel makes nothing";

  prompts.editRequest = [](ui::SampleRequest& r) {
    r.name = "Loop";
    return true;
  };
  samplerPage->CreateSample();
  ASSERT_EQ(2u, prompts.requests.size());
  EXPECT_EQ(320u, prompts.requests[1].width);
  EXPECT_EQ(240u, prompts.requests[1].height);
  EXPECT_EQ(640u, prompts.requests[1].outputWidth);
  ASSERT_EQ(2, bank.samplers.Count());
  auto* made = static_cast<builtin::Sampler*>(bank.samplers.Tail());
  EXPECT_STREQ("Loop", made->Name());
  EXPECT_EQ(30u, made->Capacity());
  EXPECT_EQ(gfx::Format::X8R8G8B8, made->Format());
  ASSERT_EQ(2, samplerPage->List().topLevelItemCount());
  EXPECT_EQ("320 x 240 RGB32, 30 fps, 1.0 sec", SamplerCell(1, 1));
  EXPECT_EQ(lv::Live, performer.State());
  EXPECT_FALSE(context.Changed()) << "a new sampler is no change";

  prompts.editRequest = [](ui::SampleRequest& r) {
    r.frames = 0;  // out of range: Create refuses it
    return true;
  };
  samplerPage->CreateSample();
  EXPECT_EQ(2, samplerPage->List().topLevelItemCount()) << "a failed creation adds no row";
}

}  // namespace
