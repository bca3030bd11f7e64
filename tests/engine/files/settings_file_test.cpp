// The settings file: its bytes, round trip and tolerance of other files.
#include <string>

#include <gtest/gtest.h>

#include "file_bytes.h"
#include "files/settings_file.h"
#include "temp_folder.h"

namespace lvtest {
namespace {

Bytes DefaultSettingsChunks() {
  return Bytes()
      .Chunk("HNOT", U8s(1))
      .Chunk("CHAN", U16s(1))
      .Chunk("DRVR", U8s(0))
      .Chunk("XRES", U16s(640))
      .Chunk("YRES", U16s(480))
      .Chunk("BITS", U16s(32))
      .Chunk("RFRS", U16s(60))
      .Chunk("WORK", U16s(0))
      .Chunk("NPW2", U8s(1))
      .Chunk("HOLD", U8s(0))
      .Chunk("HIDE", U8s(1))
      .Chunk("CUST", U8s(0))
      .Chunk("DKPV", U8s(1));
}

class SettingsFileTest : public testing::Test {
 protected:
  SettingsFileTest() {
    settings.folder = folder.Path();
    settings.fileName = "Lorvane.cfg";
  }
  lv::Settings Reread(const Bytes& bytes) {
    WriteFileBytes(settings.Path(), bytes.data);
    return ReadBack();
  }
  lv::Settings ReadBack() {
    lv::Settings read;
    read.folder = folder.Path();
    read.Load("Lorvane.cfg");
    return read;
  }
  TempFolder folder;
  lv::Settings settings;
};

TEST_F(SettingsFileTest, DefaultsSaveAsTheseBytes) {
  ASSERT_TRUE(settings.Save());
  Bytes expected = DefaultSettingsChunks();
  expected.Chunk("FFrP", Bytes().Text("./FreeFrame")).End();
  const std::vector<uint8_t> file = ReadFileBytes(settings.Path());
  EXPECT_EQ(file, expected.data);
  // The path's tag is stored as the bytes "PrFF".
  const std::string tail(file.end() - 8 - 20, file.end() - 8 - 16);
  EXPECT_EQ(tail, "PrFF");
}

TEST_F(SettingsFileTest, WithoutAFileANewPerformanceGetsTheDefaults) {
  settings.Load("absent.cfg");
  const lv::Performance performance(settings.ForNewPerformance());
  EXPECT_EQ(performance.width, 640);
  EXPECT_EQ(performance.height, 480);
  EXPECT_EQ(performance.bitsPerPixel, 32);
  EXPECT_EQ(performance.refreshRate, 60);
  EXPECT_EQ(performance.channelMask, 0x0001u);
  EXPECT_EQ(performance.workBuffers, 0);
  EXPECT_EQ(performance.npw2, 1);
  EXPECT_EQ(performance.hold, 0);
  EXPECT_EQ(performance.hide, 1);
  EXPECT_EQ(performance.MidiDevice(), nullptr);
  EXPECT_EQ(settings.freeFramePath, "./FreeFrame");
}

TEST_F(SettingsFileTest, ARecordSavedAndReadBackIsTheSame) {
  settings.hnot = 0;
  settings.npw2 = 0;
  settings.hold = 1;
  settings.driver = 2;
  settings.width = 1920;
  settings.height = 1080;
  settings.bits = 16;
  settings.refresh = 144;
  settings.workBuffers = 3;
  settings.channelMask = 0xFFFF;
  settings.hide = 0;
  settings.dkpv = 0;
  settings.cust = 1;
  settings.SetMidiDevice("Keys 2");
  settings.freeFramePath = std::string(511, 'f');
  ASSERT_TRUE(settings.Save());
  const lv::Settings read = ReadBack();
  EXPECT_EQ(read.hnot, 0);
  EXPECT_EQ(read.npw2, 0);
  EXPECT_EQ(read.hold, 1);
  EXPECT_EQ(read.driver, 2);
  EXPECT_EQ(read.width, 1920);
  EXPECT_EQ(read.height, 1080);
  EXPECT_EQ(read.bits, 16);
  EXPECT_EQ(read.refresh, 144);
  EXPECT_EQ(read.workBuffers, 3);
  EXPECT_EQ(read.channelMask, 0xFFFF);
  EXPECT_EQ(read.hide, 0);
  EXPECT_EQ(read.dkpv, 0);
  EXPECT_EQ(read.cust, 1);
  EXPECT_STREQ(read.MidiDevice(), "Keys 2");
  EXPECT_EQ(read.freeFramePath, settings.freeFramePath);
}

TEST_F(SettingsFileTest, OtherOrdersUnknownChunksAndOddPayloadsRead) {
  Bytes file;
  file.Chunk("ZZZZ", I32s(5))
      .Chunk("YRES", U16s(768))
      .Chunk("XRES", U16s(1024))
      .Chunk("DEVI", Bytes().Text("Unterminated", false))
      .Chunk("WORK", U16s(40))
      .Chunk("BITS", U8s(9))  // shorter than its field: ignored
      .Chunk("FFrP", Bytes().Text(std::string(600, 'p')))
      .End();
  const lv::Settings read = Reread(file);
  EXPECT_EQ(read.width, 1024);
  EXPECT_EQ(read.height, 768);
  EXPECT_EQ(read.bits, 32);
  EXPECT_EQ(read.workBuffers, 4);
  EXPECT_STREQ(read.MidiDevice(), "Unterminated");
  EXPECT_EQ(read.freeFramePath, std::string(511, 'p'));

  // An empty path chunk, and a file cut inside a chunk header, keep the rest.
  Bytes cut = DefaultSettingsChunks();
  cut.Chunk("FFrP", Bytes()).Chunk("RFRS", U16s(85));
  cut.data.resize(cut.data.size() - 5);
  const lv::Settings partial = Reread(cut);
  EXPECT_EQ(partial.freeFramePath, "./FreeFrame");
  EXPECT_EQ(partial.refresh, 60);
  EXPECT_EQ(partial.dkpv, 1);
}

TEST_F(SettingsFileTest, NoFolderMeansNothingIsReadOrWritten) {
  settings.folder.clear();
  EXPECT_FALSE(settings.Save());
  settings.Read();
  EXPECT_EQ(settings.width, 640);
}

}  // namespace
}  // namespace lvtest
