#pragma once
// Dialog layouts in pixels for the font and style in use: the layouts are
// drawn for a narrower font and slimmer check boxes than this platform's, so
// a control's room is grown where its text needs more, never its text cut.
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

#include "platform/window/dialog_template.h"

class QFontMetrics;
class QWidget;

namespace window {

// Dialog units to pixels for one font: across, a quarter of its average
// character width (times `stretchX`); down, an eighth of its height.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font, double stretchX = 1.0);
  int X(int units) const;
  int Y(int units) const;
  // Converted by its edges, so controls that meet in units meet in pixels.
  QRect Area(const ControlTemplate& control) const;

 private:
  double baseX_ = 1.0;
  int baseY_ = 1;
};

// The width `control` needs to show its whole text in its style (box,
// indicator, frame and margins included); 0 for a control without a text.
int TextWidthNeeded(const QWidget& control);

// Places `widgets`, built for `layout`'s controls in the same order (each
// with its text), inside the dialog and gives the size of the dialog's
// inside. Where a text needs more room than its control has, the control
// grows to the right into free room first; where that is not enough, the
// whole layout widens (by at most half) so that neighbours never overlap.
QSize PlaceDialogControls(const DialogTemplate& layout, const std::vector<QWidget*>& widgets, const QFont& font);

// `text` shortened to `width` pixels with an ellipsis in the middle; a path
// keeps its file name whole while any of its folders can go.
QString ElidedPath(const QFontMetrics& metrics, const QString& text, int width);

}  // namespace window
