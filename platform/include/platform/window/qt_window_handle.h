#pragma once
#include <QWidget>

#include "platform/window/window_handle.h"

namespace window {

inline WindowHandle HandleOf(QWidget* widget) { return reinterpret_cast<WindowHandle>(widget); }
inline QWidget* WidgetOf(WindowHandle handle) { return reinterpret_cast<QWidget*>(handle); }

}  // namespace window
