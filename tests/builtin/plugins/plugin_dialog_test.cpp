// The settings dialogs of ShowBMP, Color Fill and Warp Source from the
// program's own layouts, driven like a user on real widgets.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include "modal_driver.h"
#include "plugins/color_fill.h"
#include "plugins/show_bmp.h"
#include "plugins/warp_source.h"
#include "test_host.h"

namespace {

template <typename W>
W* Child(QWidget* dialog, int id) {
  W* child = dialog->findChild<W*>(QString::number(id));
  EXPECT_NE(child, nullptr) << "control " << id;
  return child;
}

// On the box itself: a wide check box's centre may lie past its text.
void Toggle(QAbstractButton* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }

void Type(QLineEdit* edit, const char* text) {
  edit->clear();
  QTest::keyClicks(edit, text);
}

void Press(QWidget* dialog, int button) { QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton); }

TEST(ColorFillDialog, OkReadsBoxesAndAlphaBackAndCancelKeepsTheOld) {
  using builtin::ColorFill;
  for (bool ok : {true, false}) {
    ColorFill fill;
    fill.SetColorWord(0x802864C8);
    fill.SetOptions(ColorFill::kEraseOnNoteOff | ColorFill::kVelocityHue);
    WhenModal<QDialog>([ok](QDialog* dialog) {
      EXPECT_EQ(dialog->windowTitle(), "Edit Color Fill Parameters");
      EXPECT_EQ(Child<QLineEdit>(dialog, 1119)->text(), "128");
      EXPECT_TRUE(Child<QCheckBox>(dialog, 1018)->isChecked());
      EXPECT_FALSE(Child<QCheckBox>(dialog, 1022)->isChecked());
      EXPECT_TRUE(Child<QCheckBox>(dialog, 1057)->isChecked());
      EXPECT_FALSE(Child<QCheckBox>(dialog, 1055)->isChecked());
      Toggle(Child<QCheckBox>(dialog, 1018));
      Toggle(Child<QCheckBox>(dialog, 1022));
      Toggle(Child<QCheckBox>(dialog, 1055));
      Type(Child<QLineEdit>(dialog, 1119), "300");
      Press(dialog, ok ? 1 : 2);
    });
    EXPECT_EQ(fill.Configure(nullptr), ok);
    if (ok) {
      EXPECT_EQ(fill.Options(), ColorFill::kVelocityActive | ColorFill::kVelocityHue | ColorFill::kVelocityBrightness);
      EXPECT_EQ(fill.ColorWord(), 0xFF2864C8u) << "alpha 300 is stored as 255, the colour kept";
    } else {
      EXPECT_EQ(fill.Options(), ColorFill::kEraseOnNoteOff | ColorFill::kVelocityHue);
      EXPECT_EQ(fill.ColorWord(), 0x802864C8u);
    }
  }
}

TEST(ShowBmpDialog, OkReadsBoxesAndZoomBackAndCancelKeepsTheOld) {
  using builtin::ShowBmp;
  for (bool ok : {true, false}) {
    ShowBmp bmp;
    bmp.FileName().Set("images/logo.bmp");
    bmp.SetZoomFrom(50);
    bmp.SetZoomTo(200);
    WhenModal<QDialog>([ok](QDialog* dialog) {
      EXPECT_EQ(dialog->windowTitle(), "Edit BMP Parameters");
      EXPECT_EQ(Child<QLabel>(dialog, 1012)->text(), "images/logo.bmp");
      EXPECT_EQ(Child<QLineEdit>(dialog, 1044)->text(), "50");
      EXPECT_EQ(Child<QLineEdit>(dialog, 1046)->text(), "200");
      // The initial 0x5: stretch and erase.
      for (int id : {1015, 1018}) EXPECT_TRUE(Child<QCheckBox>(dialog, id)->isChecked()) << id;
      for (int id : {1016, 1022, 1042, 1038, 1040, 1049, 1055}) {
        EXPECT_FALSE(Child<QCheckBox>(dialog, id)->isChecked()) << id;
      }
      for (int id : {1015, 1016, 1022, 1040}) Toggle(Child<QCheckBox>(dialog, id));
      Type(Child<QLineEdit>(dialog, 1044), "300");
      Type(Child<QLineEdit>(dialog, 1046), "");
      Press(dialog, ok ? 1 : 2);
    });
    EXPECT_EQ(bmp.Configure(nullptr), ok);
    EXPECT_STREQ(bmp.FileName().Get(), "images/logo.bmp");
    if (ok) {
      EXPECT_EQ(bmp.Options(),
                ShowBmp::kAlphaBlend | ShowBmp::kEraseOnNoteOff | ShowBmp::kVelocityActive | ShowBmp::kVelocityNinth);
      EXPECT_EQ(bmp.ZoomFrom(), 300);
      EXPECT_EQ(bmp.ZoomTo(), 0) << "an empty edit reads as 0";
    } else {
      EXPECT_EQ(bmp.Options(), ShowBmp::kStretch | ShowBmp::kEraseOnNoteOff);
      EXPECT_EQ(bmp.ZoomFrom(), 50);
      EXPECT_EQ(bmp.ZoomTo(), 200);
    }
  }
}

TEST(WarpSourceDialog, StyleAndSubdivisionWithALabelThatFollowsTheSlider) {
  using builtin::WarpSource;
  for (bool ok : {true, false}) {
    TestHost host;
    WarpSource warp;
    warp.host = &host;
    warp.SourceName().Set("clips/loop.avi");
    warp.SetStyle(4);
    WhenModal<QDialog>([ok](QDialog* dialog) {
      EXPECT_EQ(dialog->windowTitle(), "Edit Warp Source' Parameters");
      EXPECT_EQ(Child<QLabel>(dialog, 1012)->text(), "clips/loop.avi");
      EXPECT_TRUE(Child<QRadioButton>(dialog, 1079)->isChecked()) << "Flower";
      QSlider* slider = Child<QSlider>(dialog, 1128);
      QLabel* label = Child<QLabel>(dialog, 1129);
      EXPECT_EQ(slider->minimum(), 1);
      EXPECT_EQ(slider->maximum(), 50);
      EXPECT_EQ(slider->value(), 30) << "(121 - 1) / 4";
      EXPECT_EQ(label->text(), "121");
      slider->setFocus();
      QTest::keyClick(slider, Qt::Key_Right);
      EXPECT_EQ(label->text(), "125");
      QTest::keyClick(slider, Qt::Key_Home);
      EXPECT_EQ(label->text(), "5");
      QTest::keyClick(slider, Qt::Key_End);
      EXPECT_EQ(label->text(), "201");
      QTest::keyClick(slider, Qt::Key_Left);
      EXPECT_EQ(label->text(), "197");
      Toggle(Child<QRadioButton>(dialog, 1075));  // Pulse
      Toggle(Child<QCheckBox>(dialog, 1130));      // Subtle
      Toggle(Child<QCheckBox>(dialog, 1015));      // Stretch, initially off
      Press(dialog, ok ? 1 : 2);
    });
    EXPECT_EQ(warp.Configure(nullptr), ok);
    if (ok) {
      EXPECT_EQ(warp.Style(), 2);
      EXPECT_EQ(warp.Subdivision(), 197);
      EXPECT_EQ(warp.Options(), 0x13Cu | WarpSource::kSubtle | WarpSource::kStretch);
    } else {
      EXPECT_EQ(warp.Style(), 4);
      EXPECT_EQ(warp.Subdivision(), 121);
      EXPECT_EQ(warp.Options(), 0x13Cu);
    }
  }
}

}  // namespace
