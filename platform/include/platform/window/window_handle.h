#pragma once

namespace window {

// An opaque reference to a window of the user interface: the owner of a
// message box or dialog. Null means no owner. Code that sees Qt turns it into
// a widget with the helpers of qt_window_handle.h.
struct OpaqueWindow;
using WindowHandle = OpaqueWindow*;

}  // namespace window
