#include "main_dialog/keyboard_field.h"

#include <QKeyEvent>
#include <QWidget>

#include "platform/window/qt_keys.h"
#include "platform/window/virtual_keys.h"

namespace ui {

KeyboardField::KeyboardField(QWidget* field, KeyboardTargets targets)
    : QObject(field), field_(field), targets_(std::move(targets)) {
  field_->installEventFilter(this);
}

KeyboardField::~KeyboardField() { field_->removeEventFilter(this); }

bool KeyboardField::eventFilter(QObject* watched, QEvent* event) {
  if (watched != field_) return false;
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      // Tab still moves the focus on, as the dialog manager does before an edit sees the key.
      if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;
      if (key->isAutoRepeat()) return true;
      targets_.KeyDown(window::VirtualKeyOf(*key), window::vk::kLeft, window::vk::kRight);
      return true;  // other keys are swallowed too
    }
    case QEvent::KeyRelease: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;
      // X11 repeats releases too; only the last one is the key going up.
      const int note = key->isAutoRepeat() ? -1 : targets_.PlayedNote(window::VirtualKeyOf(*key));
      if (note >= 0) targets_.PushNote(note, false);
      return true;
    }
    case QEvent::InputMethod: return true;  // no text arrives by the input method either
    default: return false;
  }
}

}  // namespace ui
