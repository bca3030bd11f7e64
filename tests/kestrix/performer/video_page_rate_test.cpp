// A Sample Video note records by the refresh rate of the performance playing,
// which it reads in every pass, while the Options sheet's Video page changes
// that rate on this thread: the page writes it between passes
// (ThreadSanitizer watches).
#include <gtest/gtest.h>

#include <QComboBox>
#include <memory>

#include "options/options_sheet.h"
#include "options/video_page.h"
#include "sampler/sample_video.h"
#include "sampler/sampler.h"
#include "show_fixture.h"
#include "watchdog.h"

namespace {

using namespace std::chrono_literals;

constexpr int kNote = 60;
constexpr uint32_t kRates[] = {60, 75, 85};

// One adapter whose only size offers three refresh rates.
class ThreeRates final : public ui::OptionsDisplayModes {
 public:
  ThreeRates() {
    adapter_.description.Set("Test adapter");
    for (uint32_t rate : kRates) adapter_.modes.Append(new lv::DisplayModeNode(640, 480, 32, rate, gfx::Format::X8R8G8B8));
  }
  int AdapterCount() const override { return 1; }
  const lv::AdapterInfo& Adapter(int) const override { return adapter_; }
  uint32_t MaxSurfaceSize() const override { return 4096; }

 private:
  lv::AdapterInfo adapter_;
};

class VideoPageRate : public ShowOnDevice {
 protected:
  void SetUp() override {
    ShowOnDevice::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    samplers.env.host = &host;
    // As the program reads it: the rate of the performance now playing.
    samplers.refreshRate = [this] {
      const lv::Performance* playing = performer.GetPerformance();
      return playing != nullptr && playing->refreshRate > 0 ? uint32_t(playing->refreshRate) : 60u;
    };
    ASSERT_NE(nullptr, builtin::Sampler::Create(samplers.samplers, samplers.env, "Loop", 8, 8,
                                                gfx::Format::A8R8G8B8, builtin::Sampler::kMaxFrames, 1));
    auto recorder = std::make_unique<builtin::SampleVideo>(samplers);
    recorder->host = &host;
    recorder->SetInputName(0, "Pattern:");
    recorder->SetSamplerName("Loop");
    bank->slots[kNote].patch = std::move(recorder);
    bank->slots[kNote].bindings.Attach(bank->slots[kNote].patch.get());
    performance->width = 640;
    performance->height = 480;
    performance->bitsPerPixel = 32;
    performance->refreshRate = 60;
    Play();
    ASSERT_NE(0, bank->slots[kNote].patch->channelMask) << "Sample Video made no device objects";
    PlayNotes(kNote, 1, 1);
  }
  void TearDown() override {
    // The recorder goes with the performance, then its sampler, both before the device.
    EXPECT_TRUE(performer.Stop());
    samplers.samplers.DeleteAll();
    ShowOnDevice::TearDown();
  }

  builtin::SamplerBank samplers;
  ThreeRates modes;
};

TEST_F(VideoPageRate, ChangesBetweenThePassesThatRecordByIt) {
  Watchdog watchdog(60s);
  for (int round = 0; round < 12; ++round) {
    ui::OptionsSheetContext context{*performer.GetPerformance(), {}, 0};
    context.services.performer = &performer;
    context.services.display = &modes;
    ui::OptionsSheet::SetLastPage(ui::OptionsSheet::kVideoPage);
    ui::OptionsSheet sheet(context);
    auto* rates = sheet.findChild<QComboBox*>(QString::number(ui::video_page::kRateCombo));
    ASSERT_NE(rates, nullptr);
    ASSERT_EQ(rates->count(), 3);
    const int choice = (round + 1) % 3;
    rates->setCurrentIndex(choice);
    Q_EMIT rates->activated(choice);
    sheet.accept();
    watchdog.Progress("Apply");
    WaitForPasses(1);
    EXPECT_EQ(performer.GetPerformance()->refreshRate, static_cast<int32_t>(kRates[choice]));
  }
  EXPECT_EQ(performer.ActiveNoteCount(), 1);
}

}  // namespace
