#pragma once
#include <functional>

namespace window {

// True on the thread that runs the user interface (the application object's
// thread), and on any thread while no application object exists, so code
// without a user interface (tests, tools) runs everything where it is.
bool IsUiThread();

// Runs `work` on the user-interface thread, later; without an application
// object it runs at once on the calling thread.
void RunOnUiThread(std::function<void()> work);

}  // namespace window
