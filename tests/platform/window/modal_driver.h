#pragma once
// Drives the modal dialog that a call under test opens: `act` runs once on
// the user-interface thread as soon as a modal widget of type W is active.
#include <QApplication>
#include <QTimer>
#include <functional>

template <typename W>
void WhenModal(std::function<void(W*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (auto* widget = qobject_cast<W*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      act(widget);
    }
  });
  timer->start();
}
