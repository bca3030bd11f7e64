#pragma once
#include <cstdint>

// Message numbers, notification codes and result ids that dialog procedures
// and posted-message handlers switch on. Only `kUser` and the button ids are
// fixed by what the program's code expects; the others are our own numbers.
namespace window {

using MessageId = std::uint32_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;

namespace msg {
inline constexpr MessageId kInitDialog = 0x0110;  // l: the dialog's creation parameter
inline constexpr MessageId kCommand = 0x0111;     // w: MakeWParam(control id, NotifyCode)
inline constexpr MessageId kTimer = 0x0113;       // w: timer id
inline constexpr MessageId kHScroll = 0x0114;     // w: MakeWParam(ScrollCode, position), l: control id
inline constexpr MessageId kVScroll = 0x0115;     // as kHScroll
inline constexpr MessageId kNotify = 0x004E;      // w: control id, l: const Notification*
inline constexpr MessageId kClose = 0x0010;       // the window's close box
inline constexpr MessageId kDestroy = 0x0002;     // the dialog is going away
inline constexpr MessageId kUser = 0x0400;        // first message number free for the program
}  // namespace msg

// Button ids shared by every dialog and the answers of message boxes.
enum DialogResultId : int {
  kIdOk = 1,
  kIdCancel = 2,
  kIdYes = 6,
  kIdNo = 7,
};

// The high word of a kCommand wParam.
enum class NotifyCode : std::uint16_t {
  kClicked = 0,           // buttons, check boxes, radio buttons
  kSelectionChanged = 1,  // combo box, list box: the user picked another entry
  kDoubleClicked = 2,     // list box entry
  kTextChanged = 3,       // edit: its text changed (also when the program sets it)
};

// The low word of a kHScroll / kVScroll wParam (scroll bars and sliders).
enum class ScrollCode : std::uint16_t {
  kLineLeft = 0,
  kLineRight = 1,
  kPageLeft = 2,
  kPageRight = 3,
  kThumbPosition = 4,
  kThumbTrack = 5,
  kLeft = 6,
  kRight = 7,
  kEndScroll = 8,
  kLineUp = kLineLeft,
  kLineDown = kLineRight,
  kPageUp = kPageLeft,
  kPageDown = kPageRight,
  kTop = kLeft,
  kBottom = kRight,
};

// What kNotify carries (l points to it for the duration of the call).
enum class NotificationCode : std::uint16_t {
  kSpinDelta,      // spin: the user asks to move by `delta` from `position`; a non-zero
                   // answer from the procedure refuses the move
  kItemChanged,    // list view: row `item` became the selection
  kItemActivated,  // list view: row `item` was double-clicked
};

struct Notification {
  int controlId = 0;
  NotificationCode code = NotificationCode::kSpinDelta;
  int position = 0;
  int delta = 0;
  int item = -1;
};

constexpr WParam MakeWParam(unsigned low, unsigned high) {
  return static_cast<WParam>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr WParam MakeCommand(int controlId, NotifyCode code = NotifyCode::kClicked) {
  return MakeWParam(static_cast<unsigned>(controlId), static_cast<unsigned>(code));
}
// Control ids are 16-bit in a command; -1 (the unnamed static) comes back as -1.
constexpr int CommandId(WParam w) { return static_cast<std::int16_t>(w & 0xFFFFu); }
constexpr NotifyCode CommandCode(WParam w) { return static_cast<NotifyCode>((w >> 16) & 0xFFFFu); }
constexpr ScrollCode ScrollCodeOf(WParam w) { return static_cast<ScrollCode>(w & 0xFFFFu); }
// 16 bits, as the message carries it; GetPosition gives the whole position.
constexpr int ScrollPositionOf(WParam w) { return static_cast<std::int16_t>((w >> 16) & 0xFFFFu); }

}  // namespace window
