// Glow Source's "Pick Color" on real widgets: under a virtual X server it
// shows and keeps the colour of a known screen pixel; where the platform
// gives no screen pixels the button says so and can be used again.
#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "kestrix_library.h"
#include "modal_driver.h"
#include "test_host.h"

namespace {

constexpr int kPickColor = 1033;

QPushButton* PickButton(QDialog* dialog) { return dialog->findChild<QPushButton*>(QString::number(kPickColor)); }

// What the captured window gets for the pointer at a screen point.
void Mouse(QEvent::Type type, QPoint screenPoint, Qt::MouseButton button = Qt::NoButton) {
  QWidget* grabber = QWidget::mouseGrabber();
  ASSERT_NE(grabber, nullptr) << "the mouse is captured while picking";
  QMouseEvent event(type, grabber->mapFromGlobal(QPointF(screenPoint)), QPointF(screenPoint), button,
                    type == QEvent::MouseButtonPress ? button : Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(grabber, &event);
}

class PickColorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plug = library.Create("Glow Source");
    plug->SetInputName(0, "a.avi");  // no source chooser first
  }
  int Key(int i) { return plug->GetParam(i); }

  TestHost host;
  KestrixLibrary library{&host};
  KestrixLibrary::PlugPtr plug;
};

TEST_F(PickColorTest, ShowsAndKeepsTheScreenPixelUnderThePointer) {
  if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs a display with screen pixels (xvfb-run)";
  QWidget swatch(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
  swatch.setAutoFillBackground(true);
  QPalette palette = swatch.palette();
  palette.setColor(QPalette::Window, QColor(12, 200, 34));
  swatch.setPalette(palette);
  swatch.setGeometry(880, 620, 120, 120);
  swatch.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&swatch));
  QTest::qWait(200);
  const QPoint onSwatch(940, 680);

  WhenModal<QDialog>([&onSwatch](QDialog* dialog) {
    QPushButton* pick = PickButton(dialog);
    ASSERT_NE(pick, nullptr);
    EXPECT_EQ(pick->text(), "Pick Color");
    QTest::mouseClick(pick, Qt::LeftButton);
    EXPECT_EQ(pick->text(), "Picking");
    QCursor::setPos(onSwatch);  // the real pointer: its move reaches the captured dialog
    QTRY_COMPARE(pick->text(), QString("r:12 g:200 b:34"));
    Mouse(QEvent::MouseButtonPress, onSwatch, Qt::LeftButton);
    EXPECT_EQ(pick->text(), "Pick Color");
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "the click ends the capture";
    QTest::mouseClick(dialog->findChild<QPushButton*>("2"), Qt::LeftButton);  // Cancel keeps the key anyway
  });
  EXPECT_FALSE(plug->Configure(nullptr));
  EXPECT_EQ(Key(0), 12);
  EXPECT_EQ(Key(1), 200);
  EXPECT_EQ(Key(2), 34);
}

TEST_F(PickColorTest, WithoutScreenPixelsTheButtonSaysSoAndStaysUsable) {
  if (QGuiApplication::platformName() != "offscreen") GTEST_SKIP() << "every point of a real display has a pixel";
  // Off every window the headless platform has no pixel to give.
  const QPoint nowhere(-50000, -50000);
  WhenModal<QDialog>([&nowhere](QDialog* dialog) {
    QPushButton* pick = PickButton(dialog);
    ASSERT_NE(pick, nullptr);
    QTest::mouseClick(pick, Qt::LeftButton);
    EXPECT_EQ(pick->text(), "Picking");
    Mouse(QEvent::MouseMove, nowhere);
    EXPECT_EQ(pick->text(), "No screen pixels");
    Mouse(QEvent::MouseButtonPress, nowhere, Qt::LeftButton);
    EXPECT_EQ(pick->text(), "Pick Color");
    QTest::mouseClick(pick, Qt::LeftButton);
    EXPECT_EQ(pick->text(), "Picking") << "picking starts again";
    QTest::mouseClick(dialog->findChild<QPushButton*>("1"), Qt::LeftButton);
  });
  EXPECT_TRUE(plug->Configure(nullptr));
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "closing the dialog ends the capture";
  EXPECT_EQ(Key(0), 255) << "the key is unchanged";
  EXPECT_EQ(Key(1), 255);
  EXPECT_EQ(Key(2), 255);
}

}  // namespace
