#include "lv/dyn_array.h"
#include "lv/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<int32_t> Elements(const void* block) {
  auto* data = static_cast<const int32_t*>(lv::DynArray::Elements(block));
  return std::vector<int32_t>(data, data + lv::DynArray::Count(block));
}

TEST(DynArray, InsertAtGrowsByTheStepAndShiftsTheTail) {
  void* block = nullptr;
  const int32_t first[] = {1, 2, 3};
  EXPECT_EQ(lv::DynArray::InsertAt(4, block, 0, 0, first, 4), 0);
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(lv::DynArray::InsertAt(4, block, 0, 3, first, 4), 0);
  EXPECT_EQ(lv::DynArray::Capacity(block), 7);
  const int32_t more[] = {9, 8};
  EXPECT_EQ(lv::DynArray::InsertAt(4, block, 1, 2, more, 4), 1);
  EXPECT_EQ(lv::DynArray::InsertAt(4, block, 5, 1, more, 4), 5);  // index == count appends
  EXPECT_EQ(Elements(block), (std::vector<int32_t>{1, 9, 8, 2, 3, 9}));
  EXPECT_EQ(lv::DynArray::Capacity(block), 7);
  EXPECT_EQ(lv::DynArray::InsertAt(4, block, 7, 1, more, 4), -1);
  EXPECT_EQ(lv::DynArray::InsertAt(4, block, -1, 1, more, 4), -1);
  EXPECT_EQ(lv::DynArray::Count(block), 6);
  lv::DynArray::Free(block);
  EXPECT_EQ(block, nullptr);
}

TEST(DynArray, ReserveKeepsWhatFitsAndZeroFillsTheRest) {
  void* block = nullptr;
  const int32_t values[] = {1, 2, 3, 4};
  lv::DynArray::InsertAt(0, block, 0, 4, values, 4);
  ASSERT_TRUE(lv::DynArray::Reserve(8, block, 4));
  EXPECT_EQ(lv::DynArray::Capacity(block), 8);
  EXPECT_EQ(static_cast<int32_t*>(lv::DynArray::Elements(block))[6], 0);
  ASSERT_TRUE(lv::DynArray::Reserve(2, block, 4));
  EXPECT_EQ(Elements(block), (std::vector<int32_t>{1, 2}));
  lv::DynArray::Reserve(0, block, 4);
  EXPECT_EQ(block, nullptr);
}

TEST(DynArray, AppendUniqueSkipsValuesAlreadyThere) {
  lv::DynArrayHolder rates;
  for (int32_t v : {60, 75, 60, 85, 75}) lv::DynArray::AppendUnique(rates, v, 4);
  ASSERT_EQ(rates.Count(), 3);
  EXPECT_EQ(Elements(rates.block), (std::vector<int32_t>{60, 75, 85}));
}

TEST(FileNamePart, CutsAtEitherSeparator) {
  EXPECT_STREQ(lv::FileNamePart("C:\\Media\\clip.avi"), "clip.avi");
  EXPECT_STREQ(lv::FileNamePart("/home/me/clip.avi"), "clip.avi");
  EXPECT_STREQ(lv::FileNamePart("clip.avi"), "clip.avi");
  EXPECT_STREQ(lv::FileNamePart("folder/"), "");
}

struct FilterCase {
  int mode;
  const char* before;
  int index;
  const char* rejected;
  const char* after;
  int result;
};

TEST(FilterChar, ChangesCaseOrRemovesRejectedCharacters) {
  const FilterCase cases[] = {
      {0, "a*b", 1, "*?", "ab", 2},  {1, "abc", 1, nullptr, "aBc", 1}, {1, "aBc", 1, nullptr, "aBc", 0},
      {-1, "ABC", 2, nullptr, "ABc", 1}, {0, "ab?", 2, "*?", "ab", 2}, {1, "a*", 1, "*", "a", 2},
      {1, "ab", 1, "B", "a", 2},     {0, "\xe9", 0, nullptr, "\xe9", 0}, {7, "abc", 0, "x", "abc", 0},
  };
  for (const auto& c : cases) {
    char buffer[16];
    std::strcpy(buffer, c.before);
    EXPECT_EQ(lv::FilterChar(c.mode, buffer, c.index, c.rejected), c.result) << c.before;
    EXPECT_STREQ(buffer, c.after) << c.before;
  }
}

}  // namespace
