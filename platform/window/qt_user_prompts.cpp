#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>
#include <vector>

#include "platform/window/file_filter.h"
#include "platform/window/messages.h"
#include "platform/window/qt_window_handle.h"
#include "platform/window/user_prompts.h"

namespace window {
namespace {

bool HasWidgets() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QMessageBox::Icon IconOf(MessageBoxIcon icon) {
  switch (icon) {
    case MessageBoxIcon::kError: return QMessageBox::Critical;
    case MessageBoxIcon::kWarning: return QMessageBox::Warning;
    case MessageBoxIcon::kInformation: return QMessageBox::Information;
    case MessageBoxIcon::kQuestion: return QMessageBox::Question;
    case MessageBoxIcon::kNone: break;
  }
  return QMessageBox::NoIcon;
}

struct BoxButton {
  QMessageBox::StandardButton button;
  MessageBoxResult result;
};

std::vector<BoxButton> ButtonsOf(MessageBoxButtons buttons) {
  switch (buttons) {
    case MessageBoxButtons::kOk: return {{QMessageBox::Ok, kIdOk}};
    case MessageBoxButtons::kOkCancel: return {{QMessageBox::Ok, kIdOk}, {QMessageBox::Cancel, kIdCancel}};
    case MessageBoxButtons::kYesNo: return {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}};
    case MessageBoxButtons::kYesNoCancel:
      return {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}, {QMessageBox::Cancel, kIdCancel}};
  }
  return {{QMessageBox::Ok, kIdOk}};
}

QColor ToColor(ColourRef colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

ColourRef ToColourRef(const QColor& colour) {
  return static_cast<ColourRef>(colour.red()) | (static_cast<ColourRef>(colour.green()) << 8) |
         (static_cast<ColourRef>(colour.blue()) << 16);
}

void PrepareFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
  if (!request.title.empty()) dialog.setWindowTitle(FromUtf8(request.title));
  QStringList filters;
  for (const std::string& filter : ConvertFileFilter(request.filter)) filters << FromUtf8(filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const int index = request.filterIndex >= 1 && request.filterIndex <= filters.size() ? request.filterIndex : 1;
    dialog.selectNameFilter(filters[index - 1]);
  }
  const QString initial = FromUtf8(request.initialPath);
  if (!initial.isEmpty()) {
    const QFileInfo info(initial);
    if (info.isDir()) {
      dialog.setDirectory(initial);
    } else {
      if (initial.contains('/')) dialog.setDirectory(info.absolutePath());
      dialog.selectFile(info.fileName());
    }
  }
  if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(FromUtf8(request.defaultExtension));
}

std::optional<std::string> RunFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
  for (;;) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    const QFileInfo info(chosen);
    if (request.fileMustExist && !info.isFile()) {
      QMessageBox::warning(&dialog, dialog.windowTitle(), QObject::tr("%1\nFile not found.").arg(chosen));
      continue;
    }
    if (request.pathMustExist && !info.absoluteDir().exists()) {
      QMessageBox::warning(&dialog, dialog.windowTitle(), QObject::tr("%1\nPath does not exist.").arg(chosen));
      continue;
    }
    return chosen.toStdString();
  }
}

class QtPrompts final : public UserPrompts {
 public:
  MessageBoxResult AskMessageBox(const MessageBoxRequest& request) override {
    if (!HasWidgets()) {
      // Nobody can answer; keep the text where a user can still read it.
      std::fprintf(stderr, "%s: %s\n", request.caption.c_str(), request.text.c_str());
      return UnansweredResult(request.buttons);
    }
    QMessageBox box(IconOf(request.icon), FromUtf8(request.caption), FromUtf8(request.text),
                    QMessageBox::NoButton, WidgetOf(request.owner));
    box.setTextFormat(Qt::PlainText);
    const std::vector<BoxButton> buttons = ButtonsOf(request.buttons);
    std::vector<QAbstractButton*> added;
    for (const BoxButton& button : buttons) added.push_back(box.addButton(button.button));
    const size_t defaultIndex =
        request.defaultButton >= 0 && static_cast<size_t>(request.defaultButton) < added.size()
            ? static_cast<size_t>(request.defaultButton) : 0;
    box.setDefaultButton(static_cast<QPushButton*>(added[defaultIndex]));
    for (size_t i = 0; i < buttons.size(); ++i) {
      if (buttons[i].result == kIdCancel || buttons.size() == 1) box.setEscapeButton(added[i]);
    }
    box.exec();
    for (size_t i = 0; i < buttons.size(); ++i) {
      if (box.clickedButton() == added[i]) return buttons[i].result;
    }
    return UnansweredResult(request.buttons);
  }

  std::optional<std::string> AskOpenFileName(const FileDialogRequest& request) override {
    if (!HasWidgets()) return std::nullopt;
    QFileDialog dialog(WidgetOf(request.owner));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    PrepareFileDialog(dialog, request);
    return RunFileDialog(dialog, request);
  }

  std::optional<std::string> AskSaveFileName(const FileDialogRequest& request) override {
    if (!HasWidgets()) return std::nullopt;
    QFileDialog dialog(WidgetOf(request.owner));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    PrepareFileDialog(dialog, request);
    return RunFileDialog(dialog, request);
  }

  std::optional<ColourRef> AskColour(const ColourRequest& request) override {
    if (!HasWidgets()) return std::nullopt;
    if (request.customColours != nullptr) {
      for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i) {
        QColorDialog::setCustomColor(i, ToColor((*request.customColours)[static_cast<size_t>(i)]));
      }
    }
    QColorDialog dialog(ToColor(request.initial), WidgetOf(request.owner));
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (request.customColours != nullptr) {
      for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i) {
        (*request.customColours)[static_cast<size_t>(i)] = ToColourRef(QColorDialog::customColor(i));
      }
    }
    if (!accepted) return std::nullopt;
    return ToColourRef(dialog.selectedColor());
  }
};

}  // namespace

UserPrompts& QtUserPrompts() {
  static QtPrompts prompts;
  return prompts;
}

}  // namespace window
