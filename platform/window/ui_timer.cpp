#include "platform/window/ui_timer.h"

#include <QTimer>

namespace window {

struct UiTimer::Impl {
  QTimer timer;
  std::function<void()> tick;
};

UiTimer::UiTimer() : impl_(std::make_unique<Impl>()) {
  QObject::connect(&impl_->timer, &QTimer::timeout, [impl = impl_.get()] {
    if (impl->tick) impl->tick();
  });
}

UiTimer::~UiTimer() = default;

void UiTimer::Start(int milliseconds, std::function<void()> tick) {
  impl_->tick = std::move(tick);
  impl_->timer.start(milliseconds);
}

void UiTimer::Stop() { impl_->timer.stop(); }

bool UiTimer::IsRunning() const { return impl_->timer.isActive(); }

}  // namespace window
