// The knob: reading its sources, mode switches, dragging, learning and the
// captions it shows.
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

#include "knobs/knob_control.h"
#include "modulation/midi_controller_table.h"

namespace {

struct KnobTest : ::testing::Test {
  void SetUp() override {
    ui::KnobControl::lastController = 0;
    ui::KnobControl::lastLfo = 0;
    sources.controllers = &table;
    sources.lastController = [this] { return lastMoved; };
    sources.lfos = lfos.data();
    sources.bandLevel = [this](int band) { return bands[band]; };
    knob = std::make_unique<ui::KnobControl>(nullptr, 1, sources);
    knob->resize(44, 80);
    knob->onNotify = [this](ui::KnobControl&, int code) { codes.push_back(code); };
    knob->show();
  }
  lv::MidiControllerTable table;
  lv::LfoArray lfos{};
  float bands[6] = {};
  int lastMoved = 0;
  ui::KnobSources sources;
  std::unique_ptr<ui::KnobControl> knob;
  std::vector<int> codes;
};

TEST_F(KnobTest, ControllerReadingsFollowTheBindingArithmetic) {
  struct Case {
    int controller, msb, lsb, min, max, expected;
  } cases[] = {
      {123, 64, 0, 0, 16383, 8192},  // pitch-bend centre
      {5, 127, 0, 0, 100, 99},       // (127 * 100 + 64) / 128
      {124 + 3, 127, 127, 0, 16383, 16382},  // (16383 * 16383 + 8192) / 16384
      {160, 127, 0, 10, 20, 10},     // no such controller: the minimum
  };
  for (const Case& c : cases) {
    const int low = c.controller == 123 ? 124 : c.controller >= 124 ? c.controller - 124 + 32 : 0;
    const int high = c.controller >= 124 ? c.controller - 124 : c.controller;
    if (high < 128) table.Set(2, high, static_cast<uint8_t>(c.msb));
    table.Set(2, low, static_cast<uint8_t>(c.lsb));
    knob->SetRange(c.min, c.max);
    knob->SetMode(ui::KnobControl::Controller);
    knob->SetController(2, c.controller);
    knob->Refresh();
    EXPECT_EQ(knob->Value(), c.expected) << c.controller;
  }
}

TEST_F(KnobTest, LfoAndBandReadingsSpanTheRange) {
  knob->SetRange(-50, 50);
  knob->SetMode(ui::KnobControl::LfoSource);
  knob->SetLfo(7);
  lfos[7].output = -1.0f;
  knob->Refresh();
  EXPECT_EQ(knob->Value(), -50);
  lfos[7].output = 1.0f;
  knob->Refresh();
  EXPECT_EQ(knob->Value(), 50);
  knob->SetMode(ui::KnobControl::Band);
  bands[0] = 2.0f;  // louder than full scale stays in range
  knob->Refresh();
  EXPECT_EQ(knob->Value(), 50);
}

TEST_F(KnobTest, ModeSwitchesSetPositionAndTimer) {
  knob->SetController(0, 10);
  knob->SetMode(ui::KnobControl::Controller);
  EXPECT_EQ(knob->Position(), 64);
  EXPECT_TRUE(knob->TimerRunning());
  knob->SetLfo(50);
  knob->SetMode(ui::KnobControl::LfoSource);
  EXPECT_EQ(knob->Position(), 512);
  knob->SetMode(ui::KnobControl::Band);
  EXPECT_EQ(knob->Position(), 0);
  EXPECT_EQ(knob->ControllerIndex(), 0);
  knob->SetRange(0, 1024);
  knob->SetMode(ui::KnobControl::Fixed);
  knob->SetValue(300);
  EXPECT_EQ(knob->Position(), 300);
  EXPECT_FALSE(knob->TimerRunning());
  knob->SetRange(5, 5);  // an empty range divides by nothing
  EXPECT_EQ(knob->Position(), 0);
}

TEST_F(KnobTest, DragMovesByRightAndUp) {
  knob->SetRange(0, 1024);
  QTest::mousePress(knob.get(), Qt::LeftButton, {}, QPoint(20, 40));
  QTest::mouseMove(knob.get(), QPoint(30, 50));  // right 10, down 10
  EXPECT_EQ(knob->Position(), 0);
  EXPECT_TRUE(codes.empty());
  QTest::mouseMove(knob.get(), QPoint(20, 20));  // up 20 from the kept point
  EXPECT_GT(knob->Value(), 0);
  EXPECT_EQ(codes.front(), ui::KnobControl::kValueChanged);
  QTest::mouseRelease(knob.get(), Qt::LeftButton, {}, QPoint(20, 20));
}

TEST_F(KnobTest, LfoDragStopsAtTheLastLfo) {
  knob->SetMode(ui::KnobControl::LfoSource);
  QTest::mousePress(knob.get(), Qt::LeftButton, {}, QPoint(20, 40));
  for (int i = 1; i <= 30; ++i) QTest::mouseMove(knob.get(), QPoint(20 + 100 * i, 40));
  QTest::mouseRelease(knob.get(), Qt::LeftButton, {}, QPoint(20, 40));
  EXPECT_EQ(knob->LfoIndex(), 99);
  EXPECT_EQ(ui::KnobControl::lastLfo, 99);
}

TEST_F(KnobTest, RightClickCyclesAndLearnsWhileLeftIsHeld) {
  for (int expected : {1, 2, 3, 0}) {
    QTest::mouseClick(knob.get(), Qt::RightButton, {}, QPoint(20, 40));
    EXPECT_EQ(knob->Mode(), expected);
  }
  EXPECT_EQ(codes, std::vector<int>(4, ui::KnobControl::kModeChanged));
  codes.clear();
  knob->SetMode(ui::KnobControl::Controller);
  lastMoved = 17;
  QTest::mousePress(knob.get(), Qt::LeftButton, {}, QPoint(20, 40));
  QTest::mousePress(knob.get(), Qt::RightButton, {}, QPoint(20, 40));
  QTest::mouseRelease(knob.get(), Qt::RightButton, {}, QPoint(20, 40));
  QTest::mouseRelease(knob.get(), Qt::LeftButton, {}, QPoint(20, 40));
  EXPECT_EQ(knob->Mode(), ui::KnobControl::Controller);
  EXPECT_EQ(knob->ControllerIndex(), 17);
  EXPECT_EQ(codes, std::vector<int>{ui::KnobControl::kSourceChanged});
}

void Format(int32_t value, char* text, lv::Plug* instance, int32_t index) {
  std::snprintf(text, 64, "%d/%p/%d", value, static_cast<void*>(instance), index);
}

TEST_F(KnobTest, Captions) {
  knob->SetRange(0, 100);
  knob->SetValue(42);
  EXPECT_EQ(knob->Caption(), "42");
  knob->SetFormatter(Format);
  knob->SetFormatterArguments(nullptr, 3);
  char expected[64];
  Format(42, expected, nullptr, 3);
  EXPECT_EQ(knob->Caption(), expected);
  knob->SetMode(ui::KnobControl::Controller);
  for (auto [controller, text] : {std::pair{5, "CC:5"}, {123, "FC:Pitch"}, {130, "FC:6"}}) {
    knob->SetController(0, controller);
    EXPECT_EQ(knob->Caption(), text);
  }
  knob->SetMode(ui::KnobControl::LfoSource);
  knob->SetLfo(7);
  EXPECT_EQ(knob->Caption(), "LFO:7");
  knob->SetMode(ui::KnobControl::Band);
  EXPECT_EQ(knob->Caption(), "Bass 1");
}

// A name too long for the knob's label shows whole as its tooltip; one that
// fits needs none, also once the knob is wide enough for a name cut before.
TEST_F(KnobTest, ANameCutShortShowsWholeAsTheTooltip) {
  const QFontMetrics metrics(knob->font());
  for (const char* name : {"Channels", "Velocity Brightness", "Hue", "Zoom"}) {
    knob->setWindowTitle(name);
    const bool cut = metrics.horizontalAdvance(name) > knob->width();
    EXPECT_EQ(knob->toolTip(), cut ? QString(name) : QString()) << name;
  }
  knob->setWindowTitle("Channels");
  ASSERT_FALSE(knob->toolTip().isEmpty()) << "\"Channels\" is wider than a knob on the shelf";
  knob->resize(metrics.horizontalAdvance("Channels") + 4, knob->height());
  EXPECT_EQ(knob->toolTip(), QString());
}

TEST_F(KnobTest, PaintsTheValueDotWhereTheValueIs) {
  knob->SetRange(0, 100);
  knob->SetValue(50);  // straight up
  const QImage image = knob->grab().toImage();
  const QRect dial = knob->DialRect();
  const QPoint dot = knob->PointAt(0.5, 0.6 * dial.width() / 2.0);
  EXPECT_LT(dot.y(), dial.center().y());
  EXPECT_EQ(image.pixelColor(dot), QColor(0xFF, 0xC0, 0x60));
  EXPECT_EQ(image.pixelColor(knob->PointAt(0.0, 0.6 * dial.width() / 2.0)), QColor(0x5A, 0x5A, 0x82));
}

}  // namespace
