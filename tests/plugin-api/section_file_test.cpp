#include "lv/file_chunk_stream.h"
#include "lv/section_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include <unistd.h>

namespace {

class SectionFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() / ("lv_sections_" + std::to_string(::getpid()) + ".lvp");
  }
  void TearDown() override { std::filesystem::remove(path_); }

  // "PERF" with a chunk list, then a raw "BNKS", then "NOTE" left open for Close.
  void WriteProject() {
    lv::SectionFile out(std::fopen(path_.c_str(), "wb"), false);
    ASSERT_NE(out.File(), nullptr);
    lv::FileChunkStream chunks(out.File());
    ASSERT_TRUE(out.BeginSection(lv::SectionMagic("PERF")));
    chunks.Reset();
    const int32_t width = 640;
    chunks.WriteInt32Chunk(lv::ChunkTag("XRES"), &width);
    chunks.WriteEnd();
    ASSERT_TRUE(out.EndSection());
    out.BeginSection(lv::SectionMagic("BNKS"));
    std::fwrite("raw!", 1, 4, out.File());
    out.EndSection();
    out.BeginSection(lv::SectionMagic("NOTE"));
    std::fwrite("x", 1, 1, out.File());
  }

  std::vector<uint8_t> Bytes() {
    std::vector<uint8_t> bytes(std::filesystem::file_size(path_));
    std::FILE* f = std::fopen(path_.c_str(), "rb");
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
    return bytes;
  }

  std::filesystem::path path_;
};

TEST_F(SectionFileTest, SectionsCountOnlyTheirBodyAndReadBackInOrder) {
  WriteProject();
  std::vector<uint8_t> bytes = Bytes();
  ASSERT_EQ(bytes.size(), 8 + 20 + 8 + 4 + 8 + 1u);
  const std::vector<uint8_t> header = {'P', 'E', 'R', 'F', 20, 0, 0, 0, 'S', 'E', 'R', 'X'};
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 12), header);
  EXPECT_EQ(bytes[bytes.size() - 5], 1);  // NOTE's size, patched by Close

  lv::SectionFile in(std::fopen(path_.c_str(), "rb"), true);
  auto perf = in.NextSection();
  EXPECT_EQ(uint32_t(perf.magic), lv::SectionMagic("PERF"));
  ASSERT_EQ(perf.size, 20);
  lv::FileChunkStream chunks(in.File());
  chunks.Reset();
  ASSERT_EQ(chunks.NextChunk(), lv::ChunkTag("XRES"));
  // The reader may stop anywhere: the next section is found by its size.
  auto banks = in.NextSection();
  EXPECT_EQ(uint32_t(banks.magic), lv::SectionMagic("BNKS"));
  EXPECT_EQ(banks.size, 4);
  auto note = in.NextSection();
  EXPECT_EQ(uint32_t(note.magic), lv::SectionMagic("NOTE"));
  auto end = in.NextSection();
  EXPECT_EQ(end.magic, -1);
  EXPECT_EQ(end.size, -1);
}

TEST_F(SectionFileTest, AFileCutInAHeaderEndsAtThePreviousSection) {
  WriteProject();
  std::filesystem::resize_file(path_, 8 + 20 + 8 + 4 + 5);
  lv::SectionFile in(std::fopen(path_.c_str(), "rb"), true);
  EXPECT_EQ(uint32_t(in.NextSection().magic), lv::SectionMagic("PERF"));
  EXPECT_EQ(uint32_t(in.NextSection().magic), lv::SectionMagic("BNKS"));
  EXPECT_EQ(in.NextSection().magic, -1);
  EXPECT_EQ(in.NextSection().magic, -1);
}

}  // namespace
