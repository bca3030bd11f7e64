#include "progress/progress_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>

#include "dialogs/program_dialogs.h"
#include "dialogs/program_ids.h"
#include "main_dialog/template_widgets.h"

namespace ui {
namespace {

int openCount = 0;

class UncloseableWindow final : public QWidget {
 public:
  explicit UncloseableWindow(QWidget* owner)
      : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {}

 protected:
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

}  // namespace

int ProgressWindow::OpenCount() { return openCount; }

void ProgressWindow::Open(QWidget* mainDialog, const QString& caption, int verticalOffset) {
  Close();
  ++openCount;
  window_ = std::make_unique<UncloseableWindow>(mainDialog);
  window_->setObjectName(QString::number(ids::kProgressDialog));
  const window::DialogTemplate* layout = resources::ProgramDialogs().Find(ids::kProgressDialog);
  for (const BuiltControl& control : BuildControls(*layout, window_.get())) {
    if (control.id == ids::kProgressText) text_ = qobject_cast<QLabel*>(control.widget);
    if (control.id == ids::kProgressBar) bar_ = qobject_cast<QProgressBar*>(control.widget);
  }
  bar_->setRange(0, 100);
  bar_->setValue(0);
  window_->setWindowTitle(caption);
  // Shown first: the frame's size is known only once the window has one.
  window_->show();
  if (mainDialog != nullptr) {
    const QRect main = mainDialog->frameGeometry();
    const QSize size = window_->frameGeometry().size();
    window_->move(main.left() + (main.width() - size.width()) / 2,
                  main.top() + verticalOffset + (main.height() - size.height()) / 2);
  }
  // The owner keeps the user-interface thread busy: paint now.
  window_->repaint();
}

void ProgressWindow::SetPosition(int percent) {
  if (bar_ == nullptr) return;
  bar_->setValue(percent);
  bar_->repaint();
}

void ProgressWindow::SetText(const QString& text) {
  if (text_ == nullptr) return;
  text_->setText(text);
  text_->repaint();
}

void ProgressWindow::Close() {
  if (!window_) return;
  window_.reset();
  text_ = nullptr;
  bar_ = nullptr;
  --openCount;
}

}  // namespace ui
