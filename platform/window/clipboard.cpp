#include "platform/window/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace window {
namespace {

QClipboard* Clipboard() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr ? QGuiApplication::clipboard()
                                                                                 : nullptr;
}

}  // namespace

std::optional<std::string> GetClipboardText() {
  QClipboard* clipboard = Clipboard();
  if (clipboard == nullptr) return std::nullopt;
  const QMimeData* data = clipboard->mimeData();
  if (data == nullptr || !data->hasText()) return std::nullopt;
  return data->text().toStdString();
}

void SetClipboardText(const std::string& text) {
  if (QClipboard* clipboard = Clipboard()) clipboard->setText(QString::fromStdString(text));
}

}  // namespace window
