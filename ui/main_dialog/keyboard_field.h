#pragma once
// The keyboard field (edit 1113) while "Use Keyboard" is checked: mapped keys
// play their notes, backtick is Full, Left and Right step to the previous
// and next bank, and nothing is typed into it. Removing it gives the field
// its own keys back.
#include <QObject>

#include "main_dialog/keyboard_play.h"

class QWidget;

namespace ui {

class KeyboardField final : public QObject {
 public:
  KeyboardField(QWidget* field, KeyboardTargets targets);
  ~KeyboardField() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* field_;
  KeyboardTargets targets_;
};

}  // namespace ui
