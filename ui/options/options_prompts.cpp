#include "options/options_prompts.h"

#include <QCursor>
#include <QMenu>

#include "folder_browser/folder_browser.h"
#include "options/sample_parameters_dialog.h"

namespace ui {

namespace {

class QtPrompts final : public OptionsPrompts {
 public:
  std::optional<std::string> BrowseForFolder(QWidget* parent, const std::string& title,
                                             const std::string& start) override {
    FolderBrowser browser(start, {}, parent);
    browser.setWindowTitle(QString::fromStdString(title));
    if (browser.exec() != QDialog::Accepted) return std::nullopt;
    return browser.Path();
  }

  int ChooseFromMenu(QWidget* parent, const std::vector<std::string>& items) override {
    QMenu menu(parent);
    for (size_t i = 0; i < items.size(); ++i) menu.addAction(QString::fromStdString(items[i]))->setData(static_cast<int>(i));
    // Centred on the cursor.
    const QSize size = menu.sizeHint();
    QAction* chosen = menu.exec(QCursor::pos() - QPoint(size.width() / 2, size.height() / 2));
    return chosen != nullptr ? chosen->data().toInt() : -1;
  }

  bool EditSampleRequest(QWidget* parent, SampleRequest& request) override {
    return RunSampleParametersDialog(parent, request);
  }
};

}  // namespace

OptionsPrompts& QtOptionsPrompts() {
  static QtPrompts prompts;
  return prompts;
}

}  // namespace ui
