#include "platform/window/qt_keys.h"

#include "platform/window/virtual_keys.h"

namespace window {
namespace {

int KeypadKey(int qtKey) {
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return vk::kNumpad0 + (qtKey - Qt::Key_0);
  switch (qtKey) {
    case Qt::Key_Slash: return vk::kDivide;
    case Qt::Key_Asterisk: return vk::kMultiply;
    case Qt::Key_Minus: return vk::kSubtract;
    case Qt::Key_Plus: return vk::kAdd;
    case Qt::Key_Period:
    case Qt::Key_Comma: return vk::kDecimal;
    case Qt::Key_Enter: return vk::kReturn;
    default: return 0;  // keypad keys without Num Lock: as the main keys below
  }
}

}  // namespace

int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers) {
  if (modifiers.testFlag(Qt::KeypadModifier)) {
    if (const int key = KeypadKey(qtKey)) return key;
  }
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return vk::kF1 + (qtKey - Qt::Key_F1);
  switch (qtKey) {
    case Qt::Key_Backspace: return vk::kBackspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vk::kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vk::kReturn;
    case Qt::Key_Shift: return vk::kShift;
    case Qt::Key_Control: return vk::kControl;
    case Qt::Key_Alt: return vk::kAlt;
    case Qt::Key_Escape: return vk::kEscape;
    case Qt::Key_Space: return vk::kSpace;
    case Qt::Key_PageUp: return vk::kPageUp;
    case Qt::Key_PageDown: return vk::kPageDown;
    case Qt::Key_End: return vk::kEnd;
    case Qt::Key_Home: return vk::kHome;
    case Qt::Key_Left: return vk::kLeft;
    case Qt::Key_Up: return vk::kUp;
    case Qt::Key_Right: return vk::kRight;
    case Qt::Key_Down: return vk::kDown;
    case Qt::Key_Insert: return vk::kInsert;
    case Qt::Key_Delete: return vk::kDelete;
    // Shifted digits of a US layout keep their key.
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return vk::kSemicolon;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return vk::kEquals;
    case Qt::Key_Comma:
    case Qt::Key_Less: return vk::kComma;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return vk::kMinus;
    case Qt::Key_Period:
    case Qt::Key_Greater: return vk::kPeriod;
    case Qt::Key_Slash:
    case Qt::Key_Question: return vk::kSlash;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return vk::kBacktick;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return vk::kLeftBracket;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return vk::kBackslash;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return vk::kRightBracket;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return vk::kQuote;
    default: return 0;
  }
}

}  // namespace window
