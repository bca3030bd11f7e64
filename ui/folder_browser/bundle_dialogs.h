#pragma once
// What "Bundle Project" asks the user, over the folder browser and the
// one-line text entry dialog.
#include <QPointer>
#include <QWidget>

#include "files/project_bundle.h"
#include "platform/window/dialog_template.h"

namespace ui {

class WindowBundleDialogs final : public lv::BundleDialogs {
 public:
  explicit WindowBundleDialogs(QWidget* owner);

  std::optional<std::string> AskParentFolder(const std::string& start) override;
  std::optional<std::string> AskProjectName(const std::string& suggested) override;

 private:
  QPointer<QWidget> owner_;
  window::DialogTemplateSet templates_;
};

}  // namespace ui
