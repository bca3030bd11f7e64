#pragma once
// A page of the Options sheet. The sheet makes a page the first time it is
// shown; a page never shown is never asked to apply.
#include <QWidget>

#include "options/options_sheet_context.h"
#include "platform/window/message_box.h"

namespace ui {

class OptionsPrompts;

class OptionsPage : public QWidget {
 public:
  explicit OptionsPage(OptionsSheetContext& context, QWidget* parent = nullptr)
      : QWidget(parent), context_(context) {}

  // OK: false keeps the sheet open on this page (the page told the user why).
  virtual bool Validate() { return true; }
  // OK, once every shown page validated.
  virtual void Apply() {}

 protected:
  OptionsPrompts& Prompts() const;
  void MarkChanged() { context_.SetChanged(kOptionsChanged); }
  void Inform(const char* text, const char* caption, window::MessageBoxIcon icon);
  // The control of that dialog id.
  template <typename Widget>
  Widget* Control(int id) const {
    return findChild<Widget*>(QString::number(id));
  }

  OptionsSheetContext& context_;
};

// Names a control by its dialog id, as tests and the layout dumps find it.
template <typename Widget>
Widget* WithId(Widget* widget, int id) {
  widget->setObjectName(QString::number(id));
  return widget;
}

}  // namespace ui
