#include "platform/window/ui_thread.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <mutex>

#include "message_event.h"

namespace window {
namespace {

// Work queued for the user-interface thread. Dropped unrun (the application
// went away first), it destroys the work, which callers can notice.
class WorkEvent final : public QEvent {
 public:
  explicit WorkEvent(std::function<void()> work) : QEvent(Type()), work(std::move(work)) {}
  static QEvent::Type Type() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }
  std::function<void()> work;
};

class WorkRunner final : public QObject {
 public:
  bool event(QEvent* event) override {
    TakeOverEvent(event);
    if (event->type() != WorkEvent::Type()) return QObject::event(event);
    if (auto& work = static_cast<WorkEvent*>(event)->work) work();
    return true;
  }
};

// One runner per application object, living on its thread and dying with it.
WorkRunner* RunnerFor(QCoreApplication* app) {
  static std::mutex mutex;
  static QPointer<WorkRunner> runner;
  static QCoreApplication* runnerApp = nullptr;
  std::lock_guard lock(mutex);
  if (runner.isNull() || runnerApp != app) {
    auto* made = new WorkRunner;
    made->moveToThread(app->thread());
    made->setParent(app);
    runner = made;
    runnerApp = app;
  }
  return runner.data();
}

}  // namespace

bool IsUiThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app == nullptr || QThread::currentThread() == app->thread();
}

void RunOnUiThread(std::function<void()> work) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) {
    work();
    return;
  }
  auto* event = new WorkEvent(std::move(work));
  HandOverEvent(event);
  QCoreApplication::postEvent(RunnerFor(app), event);
}

}  // namespace window
