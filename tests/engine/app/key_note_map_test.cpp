// The computer keyboard's notes.
#include "app/key_note_map.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/window/virtual_keys.h"

namespace {
namespace vk = window::vk;

TEST(KeyNoteMap, RowsStartAndEndOnTheirKeys) {
  const std::pair<int, int> cases[] = {
      {vk::kF1, 0},          {vk::kF1 + 11, 11},     {'1', 12},          {vk::kEquals, 23},
      {vk::kBackspace, 24},  {'Q', 25},              {vk::kBackslash, 37}, {'A', 38},
      {vk::kQuote, 48},      {'Z', 49},              {vk::kSlash, 58},   {vk::kInsert, 59},
      {vk::kPageDown, 64},   {vk::kDivide, 65},      {vk::kSubtract, 67}, {vk::kNumpad0 + 7, 68},
      {vk::kAdd, 71},        {vk::kNumpad0 + 4, 72}, {vk::kNumpad0 + 1, 75}, {vk::kNumpad0, 78},
      {vk::kDecimal, 79},
  };
  for (auto [key, note] : cases) EXPECT_EQ(lv::NoteOfKey(key), note) << "key " << key;
}

TEST(KeyNoteMap, EightyDistinctKeysAndNoNoteForOthers) {
  EXPECT_EQ(std::set<int>(lv::KeyNoteMap.begin(), lv::KeyNoteMap.end()).size(), 80u);
  for (int key : {0, vk::kSpace, vk::kEscape, vk::kUp, vk::kDown, vk::kReturn, vk::kBacktick, 255, -1, 256})
    EXPECT_EQ(lv::NoteOfKey(key), -1) << key;
}

}  // namespace
