#include "lv/file_chunk_stream.h"
#include "lv/memory_chunk_stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using lv::ChunkTag;

// A list with a chunk that holds a list, which holds another, plus a tag no
// reader knows at each level.
void WriteNestedList(lv::BasicChunkStream& s) {
  s.Reset();
  const int32_t version = 3;
  s.WriteInt32Chunk(ChunkTag("VERS"), &version);
  s.BeginChunk(ChunkTag("LIST"));
  s.WriteChunk(ChunkTag("NAME"), "abc", 4);
  s.WriteChunk(ChunkTag("ZZZ1"), "unknown", 7);
  s.BeginChunk(ChunkTag("SUBL"));
  const uint16_t deep = 0xBEEF;
  s.WriteUInt16Chunk(ChunkTag("DEEP"), &deep);
  const float unknown = 1.5f;
  s.WriteFloatChunk(ChunkTag("ZZZ2"), &unknown);
  s.WriteEnd();
  s.EndChunk();
  s.WriteEnd();
  s.EndChunk();
  s.WriteChunk(ChunkTag("ZZZ0"), nullptr, 0);
  const uint32_t flags = 0x01020304;
  s.WriteUInt32Chunk(ChunkTag("FLAG"), &flags);
  s.WriteEnd();
}

// What a reader found, as text, so one comparison checks order and values.
std::string ReadList(lv::BasicChunkStream& s) {
  std::string found;
  while (uint32_t tag = s.NextChunk()) {
    if (tag == ChunkTag("VERS")) {
      int32_t v = 0;
      s.ReadInt32(&v);
      found += "VERS=" + std::to_string(v) + ";";
    } else if (tag == ChunkTag("NAME")) {
      char name[8] = {};
      s.ReadChunkData(name, s.BytesLeft());
      found += std::string("NAME=") + name + ";";
    } else if (tag == ChunkTag("DEEP")) {
      uint16_t v = 0;
      s.ReadUInt16(&v);
      found += "DEEP=" + std::to_string(v) + ";";
    } else if (tag == ChunkTag("FLAG")) {
      uint32_t v = 0;
      s.ReadUInt32(&v);
      found += "FLAG=" + std::to_string(v) + ";";
    } else if (tag == ChunkTag("LIST") || tag == ChunkTag("SUBL")) {
      found += "[";
      s.EnterChunk();
      found += ReadList(s);
      s.LeaveChunk();
      found += "]";
    }
  }
  return found;
}

const char kNestedContents[] = "VERS=3;[NAME=abc;[DEEP=48879;]]FLAG=16909060;";

Bytes MemoryBytes(const lv::MemoryChunkStream& s, int32_t n) { return Bytes(s.Buffer(), s.Buffer() + n); }

Bytes FileBytes(std::FILE* f) {
  std::fflush(f);
  std::fseek(f, 0, SEEK_END);
  Bytes bytes(size_t(std::ftell(f)));
  std::rewind(f);
  EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
  return bytes;
}

TEST(ChunkStream, AValueChunkListHasTheDocumentedBytes) {
  lv::MemoryChunkStream s;
  s.Reset();
  const int32_t one = 1;
  ASSERT_TRUE(s.WriteInt32Chunk(ChunkTag("WORK"), &one));
  ASSERT_TRUE(s.WriteEnd());
  const Bytes expected = {'K', 'R', 'O', 'W', 0x0C, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(MemoryBytes(s, s.Tell()), expected);
}

TEST(ChunkStream, EmptyChunksAndUnopenedEnds) {
  lv::MemoryChunkStream s;
  s.Reset();
  EXPECT_FALSE(s.EndChunk());
  EXPECT_EQ(s.Tell(), 0);
  ASSERT_TRUE(s.WriteChunk(ChunkTag("NONE"), nullptr, 0));
  EXPECT_EQ(MemoryBytes(s, 8), (Bytes{'E', 'N', 'O', 'N', 8, 0, 0, 0}));
  EXPECT_FALSE(s.EndChunk());
  EXPECT_EQ(s.Tell(), 8);
}

TEST(ChunkStream, FileAndMemoryWriteTheSameBytesAndReadThemBack) {
  lv::MemoryChunkStream memory;
  WriteNestedList(memory);
  Bytes fromMemory = MemoryBytes(memory, memory.Tell());

  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  {
    lv::FileChunkStream file(f);
    WriteNestedList(file);
  }
  Bytes fromFile = FileBytes(f);
  EXPECT_EQ(fromFile, fromMemory);

  // The nested chunk's size counts everything inside it.
  const size_t listAt = 12;
  ASSERT_EQ(std::memcmp(&fromFile[listAt], "TSIL", 4), 0);
  uint32_t listSize;
  std::memcpy(&listSize, &fromFile[listAt + 4], 4);
  EXPECT_EQ(listSize, 8u + 12 + 15 + (8 + 10 + 12 + 8) + 8);

  std::rewind(f);
  lv::FileChunkStream fileReader(f);
  fileReader.Reset();
  EXPECT_EQ(ReadList(fileReader), kNestedContents);
  EXPECT_EQ(fileReader.NextChunk(), 0u);
  std::fclose(f);

  lv::MemoryChunkStream memoryReader;
  memoryReader.Attach(fromMemory.data(), int32_t(fromMemory.size()));
  EXPECT_EQ(ReadList(memoryReader), kNestedContents);
  EXPECT_EQ(memoryReader.NextChunk(), 0u);
  EXPECT_EQ(memoryReader.NextChunk(), 0u);
}

TEST(ChunkStream, ReadingPartOfAPayloadContinuesAtTheNextChunk) {
  lv::MemoryChunkStream s;
  s.Reset();
  s.WriteChunk(ChunkTag("LONG"), "0123456789", 10);
  const int32_t v = 42;
  s.WriteInt32Chunk(ChunkTag("NEXT"), &v);
  s.WriteEnd();
  s.Seek(0);
  s.Reset();
  ASSERT_EQ(s.NextChunk(), ChunkTag("LONG"));
  EXPECT_EQ(s.ChunkSize(), 18);
  char two[2];
  ASSERT_TRUE(s.ReadChunkData(two, 2));
  EXPECT_EQ(s.BytesLeft(), 8);
  char untouched[16] = "keep";
  EXPECT_FALSE(s.ReadChunkData(untouched, 9));
  EXPECT_STREQ(untouched, "keep");
  ASSERT_EQ(s.NextChunk(), ChunkTag("NEXT"));
  int32_t read = 0;
  ASSERT_TRUE(s.ReadInt32(&read));
  EXPECT_EQ(read, 42);
  EXPECT_EQ(s.NextChunk(), 0u);
}

TEST(ChunkStream, TypedValuesKeepTheirWidths) {
  lv::MemoryChunkStream s;
  s.Reset();
  const char c = 'x';
  const bool b = true;
  const int16_t i16 = -2;
  const int32_t i32 = -3;
  const uint8_t u8 = 200;
  const uint16_t u16 = 0xABCD;
  const uint32_t u32 = 0xDEADBEEF;
  s.WriteChar(&c);
  s.WriteBool(&b);
  s.WriteInt16(&i16);
  s.WriteInt32(&i32);
  s.WriteUInt8(&u8);
  s.WriteUInt16(&u16);
  s.WriteUInt32(&u32);
  EXPECT_EQ(s.Tell(), 1 + 1 + 2 + 4 + 1 + 2 + 4);
  s.WriteCharChunk(1, &c);
  s.WriteBoolChunk(2, &b);
  s.WriteInt16Chunk(3, &i16);
  s.WriteInt32Chunk(4, &i32);
  s.WriteUInt8Chunk(5, &u8);
  s.WriteUInt16Chunk(6, &u16);
  s.WriteUInt32Chunk(7, &u32);
  const float f = 0.25f;
  s.WriteFloatChunk(8, &f);
  s.WriteEnd();

  s.Seek(15);
  s.Reset();
  const int32_t sizes[] = {9, 9, 10, 12, 9, 10, 12, 12};
  for (uint32_t tag = 1; tag <= 8; ++tag) {
    ASSERT_EQ(s.NextChunk(), tag);
    EXPECT_EQ(s.ChunkSize(), sizes[tag - 1]) << tag;
  }
  EXPECT_EQ(s.NextChunk(), 0u);

  s.Seek(0);
  char rc = 0;
  bool rb = false;
  int16_t r16 = 0;
  int32_t r32 = 0;
  uint8_t ru8 = 0;
  uint16_t ru16 = 0;
  uint32_t ru32 = 0;
  ASSERT_TRUE(s.ReadChar(&rc) && s.ReadBool(&rb) && s.ReadInt16(&r16) && s.ReadInt32(&r32) && s.ReadUInt8(&ru8) &&
              s.ReadUInt16(&ru16) && s.ReadUInt32(&ru32));
  EXPECT_EQ(rc, c);
  EXPECT_EQ(rb, b);
  EXPECT_EQ(r16, i16);
  EXPECT_EQ(r32, i32);
  EXPECT_EQ(ru8, u8);
  EXPECT_EQ(ru16, u16);
  EXPECT_EQ(ru32, u32);
}

TEST(MemoryChunkStream, GrowsByDoublingAndSeeksOnlyWithinItsData) {
  lv::MemoryChunkStream s;
  Bytes data(1500, 7);
  ASSERT_TRUE(s.WriteRaw(data.data(), 1000));
  EXPECT_EQ(s.Length(), 1024);
  ASSERT_TRUE(s.WriteRaw(data.data(), 500));
  EXPECT_EQ(s.Length(), 2048);
  EXPECT_TRUE(s.OwnsBuffer());

  const uint8_t ten[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  s.Attach(ten, 10);
  EXPECT_FALSE(s.OwnsBuffer());
  EXPECT_FALSE(s.Seek(11));
  EXPECT_EQ(s.Tell(), 10);
  ASSERT_TRUE(s.Seek(4));
  EXPECT_FALSE(s.Seek(-1));
  EXPECT_EQ(s.Tell(), 4);
  uint8_t out[8] = {};
  EXPECT_FALSE(s.Read(out, 8));  // only 6 there
  EXPECT_EQ(out[5], 10);
  EXPECT_EQ(s.Tell(), 10);
  int32_t untouched = -1;
  EXPECT_FALSE(s.ReadInt32(&untouched));
  EXPECT_EQ(untouched, -1);
}

TEST(MemoryChunkStream, WritingOverAttachedMemoryLeavesItAlone) {
  const uint8_t original[4] = {1, 2, 3, 4};
  lv::MemoryChunkStream s;
  s.Attach(original, 4);
  const uint8_t nine = 9;
  ASSERT_TRUE(s.WriteUInt8(&nine));
  EXPECT_EQ(original[0], 1);
  EXPECT_TRUE(s.OwnsBuffer());
  EXPECT_EQ(MemoryBytes(s, 4), (Bytes{9, 2, 3, 4}));
}

// Bad input: each list must end cleanly, without a loop or a read outside it.
struct DamagedCase {
  const char* what;
  Bytes bytes;
  std::string found;
};

void AppendLittleEndian(Bytes& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

Bytes Chunk(const char (&tag)[5], uint32_t size, const Bytes& payload = {}) {
  Bytes out;
  AppendLittleEndian(out, ChunkTag(tag));
  AppendLittleEndian(out, size);
  for (uint8_t b : payload) out.push_back(b);
  return out;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

const Bytes kEnd(8, 0);
const Bytes kVers = Chunk("VERS", 12, {5, 0, 0, 0});

TEST(ChunkStream, DamagedListsEndWithoutReadingPastTheData) {
  const DamagedCase cases[] = {
      {"empty", {}, ""},
      {"header cut short", Join({kVers, Bytes{'Z', 'Z', 'Z'}}), "VERS=5;"},
      {"payload cut short", Join({kVers, Chunk("FLAG", 12, {1, 2})}), "VERS=5;"},
      {"no end marker", kVers, "VERS=5;"},
      {"size 0", Join({kVers, Chunk("ZZZZ", 0), kVers, kEnd}), "VERS=5;"},
      {"size 4", Join({kVers, Chunk("ZZZZ", 4), kVers, kEnd}), "VERS=5;"},
      {"size past the end", Join({kVers, Chunk("ZZZZ", 0xFFFFFFF0), kEnd}), "VERS=5;"},
      {"size of 2 GiB", Join({kVers, Chunk("ZZZZ", 0x80000000), kEnd}), "VERS=5;"},
      {"size past the parent", Join({Chunk("LIST", 8 + 8, Chunk("VERS", 12, {6, 0, 0, 0})), kEnd}), "[]"},
      {"inner list without end marker",
       Join({Chunk("LIST", 8 + 12, kVers), kVers, kEnd}), "[VERS=5;]VERS=5;"},
  };
  for (const auto& c : cases) {
    // Read from a copy of exactly the bytes so that ASan sees any overrun.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[c.bytes.size() + 1]);
    std::memcpy(exact.get(), c.bytes.data(), c.bytes.size());
    lv::MemoryChunkStream s;
    s.Attach(exact.get(), int32_t(c.bytes.size()));
    EXPECT_EQ(ReadList(s), c.found) << c.what;
    EXPECT_EQ(s.NextChunk(), 0u) << c.what;
  }
}

TEST(ChunkStream, DeepNestingReadsBackToTheBottom) {
  constexpr int kDepth = 200;
  lv::MemoryChunkStream s;
  s.Reset();
  for (int i = 0; i < kDepth; ++i) s.BeginChunk(ChunkTag("LIST"));
  const uint16_t deep = 7;
  s.WriteUInt16Chunk(ChunkTag("DEEP"), &deep);
  for (int i = 0; i < kDepth; ++i) {
    s.WriteEnd();
    ASSERT_TRUE(s.EndChunk());
  }
  s.WriteEnd();
  EXPECT_FALSE(s.EndChunk());

  Bytes bytes = MemoryBytes(s, s.Tell());
  lv::MemoryChunkStream r;
  r.Attach(bytes.data(), int32_t(bytes.size()));
  std::string expected = std::string(kDepth, '[') + "DEEP=7;" + std::string(kDepth, ']');
  EXPECT_EQ(ReadList(r), expected);
}

TEST(ChunkStream, AReadLimitBoundsTheList) {
  Bytes bytes = Join({kVers, kVers, kEnd});
  lv::MemoryChunkStream s;
  s.Attach(bytes.data(), int32_t(bytes.size()));
  s.SetReadLimit(20);
  EXPECT_EQ(ReadList(s), "VERS=5;");
  s.SetReadLimit(-1);
  s.Seek(0);
  s.Reset();
  EXPECT_EQ(ReadList(s), "VERS=5;VERS=5;");
}

}  // namespace
