#pragma once

// Key codes of the keyboard commands and the computer-keyboard key map: one
// byte per key whatever the layout, letters and digits as their upper-case
// ASCII codes. 0 is no key.
namespace window::vk {

inline constexpr int kBackspace = 0x08;
inline constexpr int kTab = 0x09;
inline constexpr int kReturn = 0x0D;
inline constexpr int kShift = 0x10;
inline constexpr int kControl = 0x11;
inline constexpr int kAlt = 0x12;
inline constexpr int kEscape = 0x1B;
inline constexpr int kSpace = 0x20;
inline constexpr int kPageUp = 0x21;
inline constexpr int kPageDown = 0x22;
inline constexpr int kEnd = 0x23;
inline constexpr int kHome = 0x24;
inline constexpr int kLeft = 0x25;
inline constexpr int kUp = 0x26;
inline constexpr int kRight = 0x27;
inline constexpr int kDown = 0x28;
inline constexpr int kInsert = 0x2D;
inline constexpr int kDelete = 0x2E;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A.
inline constexpr int kNumpad0 = 0x60;  // keypad digits are kNumpad0 + n
inline constexpr int kMultiply = 0x6A;
inline constexpr int kAdd = 0x6B;
inline constexpr int kSubtract = 0x6D;
inline constexpr int kDecimal = 0x6E;
inline constexpr int kDivide = 0x6F;
inline constexpr int kF1 = 0x70;  // F1..F24 are kF1 + n
inline constexpr int kSemicolon = 0xBA;  // ; :
inline constexpr int kEquals = 0xBB;     // = +
inline constexpr int kComma = 0xBC;      // , <
inline constexpr int kMinus = 0xBD;      // - _
inline constexpr int kPeriod = 0xBE;     // . >
inline constexpr int kSlash = 0xBF;      // / ?
inline constexpr int kBacktick = 0xC0;   // ` ~
inline constexpr int kLeftBracket = 0xDB;   // [ {
inline constexpr int kBackslash = 0xDC;     // \ |
inline constexpr int kRightBracket = 0xDD;  // ] }
inline constexpr int kQuote = 0xDE;         // ' "

}  // namespace window::vk
