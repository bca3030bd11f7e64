#include "platform/window/fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace window {

std::vector<std::string> ListFontFamilies() {
  std::vector<std::string> families;
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return families;
  for (const QString& family : QFontDatabase::families()) families.push_back(family.toStdString());
  return families;
}

}  // namespace window
