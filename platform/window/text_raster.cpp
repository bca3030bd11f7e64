#include "platform/window/text_raster.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstring>

namespace window {
namespace {

bool HaveFonts() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

QFont ToQFont(const FontDescription& description) {
  QFont font;
  if (!description.face.empty()) font.setFamily(QString::fromStdString(description.face));
  // A logical font's height counts either way: negative gives the glyphs' size.
  const int height = description.height < 0 ? -description.height : description.height;
  if (height > 0) font.setPixelSize(height);
  font.setWeight(description.weight >= 700 ? QFont::Bold : QFont::Normal);
  font.setItalic(description.italic);
  font.setUnderline(description.underline);
  font.setStrikeOut(description.strikeOut);
  // Coverage stays grey-scale: the green channel is the glyph's alpha.
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

}  // namespace

bool MeasureText(const FontDescription& description, const std::string& text, TextExtent* extent) {
  if (!HaveFonts() || text.empty() || extent == nullptr) return false;
  const QFontMetrics metrics(ToQFont(description));
  const int width = metrics.horizontalAdvance(QString::fromLatin1(text.data(), qsizetype(text.size())));
  const int height = metrics.height();
  if (width <= 0 || height <= 0) return false;
  extent->width = uint32_t(width);
  extent->height = uint32_t(height);
  return true;
}

bool RasteriseText(const FontDescription& description, const std::string& text, uint32_t width, uint32_t height,
                   std::vector<uint32_t>* pixels) {
  if (!HaveFonts() || width == 0 || height == 0 || pixels == nullptr) return false;
  QImage image(int(width), int(height), QImage::Format_ARGB32);
  image.fill(QColor(0, 0, 0, 255));
  {
    QPainter painter(&image);
    painter.setFont(ToQFont(description));
    painter.setPen(QColor(255, 255, 255));
    const QFontMetrics metrics(painter.font());
    painter.drawText(0, metrics.ascent(), QString::fromLatin1(text.data(), qsizetype(text.size())));
  }
  pixels->resize(size_t(width) * height);
  for (uint32_t y = 0; y < height; ++y) {
    std::memcpy(pixels->data() + size_t(y) * width, image.constScanLine(int(y)), size_t(width) * 4);
  }
  return true;
}

}  // namespace window
