#pragma once
// The modal windows open on the user-interface thread: dialogs, message
// boxes and popup menus, each running an event loop of its own inside the
// one that opened it.

namespace window {

// True when the calling (user-interface) thread runs an event loop inside
// another: some modal window is open, or a drag is under way.
bool InNestedEventLoop();

// Closes the innermost popup menu or modal window as its close button does
// (a dialog's Cancel, a message box's Esc answer); false when none is open.
// Only the innermost: its caller goes on when its loop ends, and may close or
// open others.
bool CloseInnermostModal();

}  // namespace window
