// lorvan-gpu: the live video instrument. Takes no arguments.
//
// Test hook: with LV_DUMP_GEOMETRY set to a file name, the program writes the
// main dialog's visible controls and their screen places there shortly after
// start-up (the end-to-end layout check reads it).
#include <csignal>

#include <QApplication>
#include <QTimer>

#include "platform/sys/log.h"
#include "platform/window/application.h"
#include "program.h"

namespace {
volatile std::sig_atomic_t terminateAsked = 0;
}

int main(int argc, char** argv) {
  sys::Log("WinMain started");
  window::Application application(argc, argv);
  app::Program program;
  if (!program.InitInstance()) return 0;
  // A terminate request closes the program as the main dialog's close does.
  std::signal(SIGTERM, [](int) { terminateAsked = 1; });
  QTimer terminateWatch;
  QObject::connect(&terminateWatch, &QTimer::timeout, [&program] {
    if (terminateAsked) program.Close();
  });
  terminateWatch.start(100);
  sys::Log("Entering main message loop");
  const int code = application.Run();
  sys::Log("Main message loop ended");
  return code;
}
