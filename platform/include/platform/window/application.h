#pragma once
#include <memory>

namespace window {

// The user interface's application object; the program makes one on its
// main thread before any window, and that thread becomes the user-interface
// thread. Numbers are formatted and read with the C locale whatever the
// user's locale, since settings and dialogs print and parse "%f" and "%d".
class Application {
 public:
  Application(int& argc, char** argv);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Runs the message loop until Quit; gives Quit's code.
  int Run();
  static void Quit(int code = 0);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace window
