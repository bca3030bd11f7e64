#include "platform/window/application.h"

#include <QApplication>
#include <clocale>

#include "platform/window/ui_thread.h"

namespace window {

struct Application::Impl {
  Impl(int& argc, char** argv) : app(argc, argv) {}
  QApplication app;
};

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>(argc, argv)) {
  // QApplication takes the user's locale for the C library; a decimal comma
  // would then break every "%f" written to or read from our files and fields.
  std::setlocale(LC_NUMERIC, "C");
}

Application::~Application() = default;

int Application::Run() { return QApplication::exec(); }

void Application::Quit(int code) {
  if (QCoreApplication::instance() == nullptr) return;
  if (IsUiThread()) {
    QCoreApplication::exit(code);
  } else {
    RunOnUiThread([code] { QCoreApplication::exit(code); });
  }
}

}  // namespace window
