// Sample Video's saved state, parameter and settings dialog, without a device.
#include "sampler/sample_video.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTest>

#include "../capture/chunk_bytes.h"
#include "lv/memory_chunk_stream.h"
#include "modal_driver.h"
#include "platform/window/messages.h"
#include "test_host.h"

namespace {

using builtin::SampleVideo;

class SampleVideoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bank.env.host = &host;
    plug.host = &host;
  }
  // A named, empty sampler in the bank (no frames needed here).
  void AddSampler(const char* name) {
    auto* s = new builtin::Sampler(bank.env);
    s->SetName(name);
    bank.samplers.Append(s);
  }

  TestHost host;
  builtin::SamplerBank bank;
  SampleVideo plug{bank};
};

template <typename W>
W* Child(QWidget* dialog, int id) {
  W* child = dialog->findChild<W*>(QString::number(id));
  EXPECT_NE(child, nullptr) << "control " << id;
  return child;
}

TEST_F(SampleVideoTest, SavesFlagNameAndSamplerAndLoadsThemBack) {
  plug.SetInputName(0, "clip.avi");
  plug.SetSamplerName("Loop");
  plug.SetOptions(SampleVideo::kFixedLength);
  lv::MemoryChunkStream out;
  ASSERT_TRUE(plug.Save(&out));
  std::vector<uint8_t> expected;
  captest::PutU32Chunk(expected, "FLAG", 1);
  captest::PutTextChunk(expected, "NAME", "clip.avi");
  captest::PutTextChunk(expected, "SAMP", "Loop");
  captest::PutEnd(expected);
  const std::vector<uint8_t> written(out.Buffer(), out.Buffer() + out.Tell());
  ASSERT_EQ(expected, written);

  SampleVideo loaded(bank);
  loaded.host = &host;
  host.resolvePath = [](const std::string& path) { return "/moved/" + path; };
  lv::MemoryChunkStream in;
  in.Attach(written.data(), static_cast<int32_t>(written.size()));
  ASSERT_TRUE(loaded.Load(&in));
  EXPECT_STREQ("/moved/clip.avi", loaded.GetInputName(0)) << "the source name is resolved";
  EXPECT_EQ("Loop", loaded.SamplerName()) << "the sampler name is not";
  EXPECT_EQ(SampleVideo::kFixedLength, loaded.Options());
}

TEST_F(SampleVideoTest, FramesIsEnabledOnlyForAFixedLength) {
  EXPECT_EQ(10, plug.GetParam(0));
  EXPECT_EQ(240, plug.GetParamInfo(0)->max);
  EXPECT_FALSE(plug.IsParamEnabled(0));
  plug.SetOptions(SampleVideo::kFixedLength);
  EXPECT_TRUE(plug.IsParamEnabled(0));
  EXPECT_FALSE(plug.IsParamEnabled(1));
  EXPECT_EQ(nullptr, plug.GetParamInfo(1));
}

TEST_F(SampleVideoTest, DialogKeepsThePatchsSamplerSelected) {
  AddSampler("First");
  AddSampler("Second");
  plug.SetInputName(0, "clip.avi");
  plug.SetSamplerName("Second");
  WhenModal<QDialog>([](QDialog* dialog) {
    auto* combo = Child<QComboBox>(dialog, 1163);
    EXPECT_EQ(2, combo->count());
    EXPECT_EQ("Second", combo->currentText());
    QTest::mouseClick(Child<QCheckBox>(dialog, 1164), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(dialog, window::kIdOk), Qt::LeftButton);
  });
  EXPECT_TRUE(plug.Configure(nullptr));
  EXPECT_EQ("Second", plug.SamplerName()) << "ticking the box does not move the patch";
  EXPECT_EQ(SampleVideo::kFixedLength, plug.Options());
}

TEST_F(SampleVideoTest, DialogWithoutSamplersSaysSoAndOkKeepsTheName) {
  plug.SetInputName(0, "clip.avi");
  plug.SetSamplerName("Gone");
  WhenModal<QDialog>([](QDialog* dialog) {
    auto* combo = Child<QComboBox>(dialog, 1163);
    EXPECT_EQ(1, combo->count());
    EXPECT_EQ("No Active Samplers", combo->currentText());
    QTest::mouseClick(Child<QPushButton>(dialog, window::kIdOk), Qt::LeftButton);
  });
  EXPECT_TRUE(plug.Configure(nullptr));
  EXPECT_EQ("Gone", plug.SamplerName());
}

TEST_F(SampleVideoTest, CancelChangesNothing) {
  AddSampler("Only");
  plug.SetInputName(0, "clip.avi");
  WhenModal<QDialog>([](QDialog* dialog) {
    QTest::mouseClick(Child<QCheckBox>(dialog, 1164), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(dialog, window::kIdCancel), Qt::LeftButton);
  });
  EXPECT_FALSE(plug.Configure(nullptr));
  EXPECT_EQ("", plug.SamplerName());
  EXPECT_EQ(0u, plug.Options());
}

}  // namespace
