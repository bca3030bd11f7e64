// The knob labels as the program shows them: the main dialog's own shelf,
// filled for a selected patch, in the application's style and palette.
#include <QApplication>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "knobs/knob_control.h"
#include "main_dialog_fixture.h"

namespace uitest {
namespace {

// WCAG relative luminance of an sRGB colour.
double Luminance(QRgb rgb) {
  auto linear = [](int channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

double Contrast(QRgb a, QRgb b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Band {
  QRgb background = 0;  // the commonest colour
  QRgb ink = 0;         // the colour furthest from it
};

Band ReadBand(const QImage& image, int top, int bottom) {
  std::map<QRgb, int> counts;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y) | 0xFF000000u];
  Band band;
  band.background =
      std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
  band.ink = band.background;
  for (const auto& [colour, count] : counts)
    if (Contrast(colour, band.background) > Contrast(band.ink, band.background)) band.ink = colour;
  return band;
}

// The dialog with the shelf it makes itself, as the program has it.
class ProgramShelfTest : public MainDialogTest {
 protected:
  ProgramShelfTest() {
    dialog.reset();
    ui::MainDialogServices services = Services();
    services.shelf = nullptr;
    dialog = std::make_unique<ui::MainDialog>(std::move(services));
    dialog->AttachToPerformer();
  }
};

TEST_F(ProgramShelfTest, KnobNamesAndValuesAreWindowTextOnTheLightBand) {
  alpha->params = {{0, 100, 50, 0, 0, "Gain", nullptr}, {0, 100, 25, 0, 0, "Mix", nullptr}};
  NewPerformance();
  Assign(60, 0);
  dialog->show();
  dialog->List().setCurrentCell(60, 0);
  QApplication::processEvents();

  // The knob has no meta-object of its own, so it is told apart by its type.
  std::vector<ui::KnobControl*> knobs;
  for (QWidget* child : dialog->Item(ids::kKnobShelf)->findChildren<QWidget*>())
    if (auto* knob = dynamic_cast<ui::KnobControl*>(child)) knobs.push_back(knob);
  ASSERT_EQ(knobs.size(), 2) << "the selected patch's parameters";
  for (ui::KnobControl* knob : knobs) {
    EXPECT_TRUE(knob->isEnabled()) << "the mouse turns it";
    const QImage image = knob->grab().toImage();
    const QRect dial = knob->DialRect();
    const Band name = ReadBand(image, 0, dial.top());
    const Band value = ReadBand(image, dial.bottom() + 1, image.height());
    const QPalette& palette = knob->palette();
    for (const Band& band : {name, value}) {
      EXPECT_EQ(QColor(band.background).name().toStdString(),
                palette.color(QPalette::Active, QPalette::Midlight).name().toStdString());
      EXPECT_GE(Contrast(band.ink, band.background), 4.5)
          << "text " << QColor(band.ink).name().toStdString() << " on " << QColor(band.background).name().toStdString();
      EXPECT_LT(Luminance(band.ink), Luminance(band.background)) << "dark text on the light band";
    }
  }
}

}  // namespace
}  // namespace uitest
