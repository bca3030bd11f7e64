#include "app/key_note_map.h"

#include <cstddef>

#include "platform/window/virtual_keys.h"

namespace lv {
namespace vk = window::vk;

const std::array<uint8_t, kKeyboardNotes> KeyNoteMap{{
    // 0-11
    vk::kF1, vk::kF1 + 1, vk::kF1 + 2, vk::kF1 + 3, vk::kF1 + 4, vk::kF1 + 5, vk::kF1 + 6, vk::kF1 + 7,
    vk::kF1 + 8, vk::kF1 + 9, vk::kF1 + 10, vk::kF1 + 11,
    // 12-23
    '1', '2', '3', '4', '5', '6', '7', '8', '9', '0', vk::kMinus, vk::kEquals,
    // 24-37
    vk::kBackspace, 'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P', vk::kLeftBracket, vk::kRightBracket,
    vk::kBackslash,
    // 38-48
    'A', 'S', 'D', 'F', 'G', 'H', 'J', 'K', 'L', vk::kSemicolon, vk::kQuote,
    // 49-58
    'Z', 'X', 'C', 'V', 'B', 'N', 'M', vk::kComma, vk::kPeriod, vk::kSlash,
    // 59-64
    vk::kInsert, vk::kHome, vk::kPageUp, vk::kDelete, vk::kEnd, vk::kPageDown,
    // 65-67
    vk::kDivide, vk::kMultiply, vk::kSubtract,
    // 68-71
    vk::kNumpad0 + 7, vk::kNumpad0 + 8, vk::kNumpad0 + 9, vk::kAdd,
    // 72-74
    vk::kNumpad0 + 4, vk::kNumpad0 + 5, vk::kNumpad0 + 6,
    // 75-79
    vk::kNumpad0 + 1, vk::kNumpad0 + 2, vk::kNumpad0 + 3, vk::kNumpad0, vk::kDecimal,
}};

namespace {

struct InverseKeyMap {
  InverseKeyMap() {
    notes.fill(-1);
    for (int note = 0; note < kKeyboardNotes; ++note) notes[KeyNoteMap[static_cast<std::size_t>(note)]] = static_cast<int8_t>(note);
  }
  std::array<int8_t, 256> notes;
};

const InverseKeyMap kInverse;

}  // namespace

int NoteOfKey(int key) { return key >= 0 && key < 256 ? kInverse.notes[static_cast<std::size_t>(key)] : -1; }

}  // namespace lv
