// lorvan-gpu: the live video instrument. Takes no arguments.
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
    if (terminateAsked) program.Shutdown();
  });
  terminateWatch.start(100);
  sys::Log("Entering main message loop");
  const int code = application.Run();
  sys::Log("Main message loop ended");
  return code;
}
