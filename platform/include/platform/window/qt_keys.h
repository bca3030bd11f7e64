#pragma once
#include <QKeyEvent>

namespace window {

// The key code (virtual_keys.h) of a Qt key press or release, 0 when the key
// has none. Keypad keys give their keypad codes; shifted symbols of a US
// layout give the code of their key ("!" gives '1').
int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);
inline int VirtualKeyOf(const QKeyEvent& event) {
  return VirtualKeyOf(event.key(), event.modifiers());
}

}  // namespace window
