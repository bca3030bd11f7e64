#pragma once
// A window that receives the Performer's posted reports. Posting never waits
// for the window's thread.
#include <cstdint>

namespace lv {

inline constexpr uint32_t kUserMessage = 0x0400;
// wParam channel, lParam note.
inline constexpr uint32_t kNoteOnMessage = kUserMessage + 1;
inline constexpr uint32_t kNoteOffMessage = kUserMessage + 2;
// To the main dialog: capture playback reached its end, or the frame
// callback asked to stop.
inline constexpr uint32_t kPlaybackEndMessage = kUserMessage + 3;

class MessageWindow {
 public:
  virtual ~MessageWindow() = default;
  virtual void Post(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

}  // namespace lv
