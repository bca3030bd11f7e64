// lorvan-gpu: the live video instrument. Takes no arguments.
//
// Test hook: with LV_DUMP_GEOMETRY set to a file name, the program writes the
// main dialog's visible controls and their screen places there shortly after
// start-up (the end-to-end layout check reads it).
#include <atomic>
#include <csignal>

#include <QApplication>
#include <QTimer>

#include "app/exit_watch.h"
#include "platform/sys/log.h"
#include "platform/window/application.h"
#include "platform/window/modal_windows.h"
#include "program.h"

namespace {
volatile std::sig_atomic_t terminateAsked = 0;
// The terminate request also reaches the exit watch, which ends the process
// should the user-interface thread be stuck and never answer it.
std::atomic<lv::ExitWatch*> exitWatch{nullptr};
}

int main(int argc, char** argv) {
  sys::Log("WinMain started");
  window::Application application(argc, argv);
  app::Program program;
  if (!program.InitInstance()) return 0;
  // A terminate request closes the program as the main dialog's close does.
  exitWatch.store(&program.Exits());
  std::signal(SIGTERM, [](int) {
    terminateAsked = 1;
    if (lv::ExitWatch* watch = exitWatch.load()) watch->Terminate();
  });
  QTimer terminateWatch;
  QObject::connect(&terminateWatch, &QTimer::timeout, [&program] {
    program.Exits().Beat();
    if (!terminateAsked) return;
    // The close frees the plug-in libraries whose dialogs may be open, and
    // the objects their callers work on: it runs from the top-level event
    // loop only, once each modal window has been closed as its Cancel does
    // and its caller has gone on.
    if (window::InNestedEventLoop()) {
      window::CloseInnermostModal();
      return;
    }
    // Answered by this close: a save prompt the performer cancels keeps the
    // program open, and asks again only at the next request.
    terminateAsked = 0;
    program.Close();
  });
  terminateWatch.start(100);
  sys::Log("Entering main message loop");
  const int code = application.Run();
  sys::Log("Main message loop ended");
  exitWatch.store(nullptr);  // armed by the close: it watches the destructors on its own
  return code;
}
