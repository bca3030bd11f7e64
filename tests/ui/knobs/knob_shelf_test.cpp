// The knob shelf: one knob per enabled parameter, the row's layout and
// scrolling, and knob changes reaching the patch and its bindings.
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include "knobs/knob_shelf.h"
#include "performance/note_slot.h"
#include "test_plug.h"

namespace {

class ShelfPlug final : public lvtest::TestPlug {
 public:
  ShelfPlug() : TestPlug(nullptr, "shelf") {}
  bool IsParamEnabled(int32_t i) override { return i >= static_cast<int32_t>(enabled.size()) || enabled[i]; }
  std::vector<bool> enabled;
};

struct ShelfTest : ::testing::Test {
  void SetUp() override {
    view.resize(300, 80);
    bar.setOrientation(Qt::Horizontal);
    shelf.Attach(&view, &bar);
    view.show();
  }
  ShelfPlug& Patch(int params) {
    auto plug = std::make_unique<ShelfPlug>();
    std::vector<lv::ParamInfo> rows;
    for (int i = 0; i < params; ++i) rows.push_back({0, 100, 0, 0, 0, "P", nullptr});
    plug->SetParams(rows);
    ShelfPlug& result = *plug;
    slot.patch = std::move(plug);
    slot.bindings.Attach(slot.patch.get());
    return result;
  }
  QWidget view;
  QScrollBar bar;
  ui::KnobShelf shelf{ui::KnobSources{}};
  lv::NoteSlot slot;
};

TEST_F(ShelfTest, NoEnabledParametersGiveACentredEmptyRow) {
  ShelfPlug& plug = Patch(3);
  plug.enabled = {false, false, false};
  shelf.Populate(&slot);
  EXPECT_EQ(shelf.ContentWidth(), 10);
  EXPECT_EQ(shelf.KnobOf(0), nullptr);
  EXPECT_FALSE(bar.isVisible());
}

TEST_F(ShelfTest, TenKnobsScrollWithinThe300PixelView) {
  Patch(10);
  shelf.Populate(&slot);
  EXPECT_EQ(shelf.ContentWidth(), 440);
  EXPECT_EQ(shelf.KnobOf(0)->x(), 0);
  EXPECT_EQ(shelf.KnobOf(9)->x(), 396);
  EXPECT_TRUE(bar.isVisible());
  EXPECT_EQ(bar.maximum() + bar.pageStep(), 440);  // Qt's range leaves the page out
  EXPECT_EQ(bar.pageStep(), 300);
  shelf.Scroll(window::ScrollCode::kRight, 0);
  EXPECT_EQ(shelf.ScrollPosition(), 140);
  EXPECT_EQ(shelf.Row()->x(), -140);
  EXPECT_EQ(slot.shelfScroll, 140u);
  shelf.Scroll(window::ScrollCode::kLineLeft, 0);
  EXPECT_EQ(shelf.ScrollPosition(), 96);
  shelf.Scroll(window::ScrollCode::kPageLeft, 0);
  EXPECT_EQ(shelf.ScrollPosition(), 0);

  // A rebuild for the slot shows its saved place on the bar and the row alike.
  shelf.Scroll(window::ScrollCode::kThumbTrack, 50);
  shelf.Populate(nullptr);
  EXPECT_EQ(shelf.Row()->x(), 0);
  shelf.Populate(&slot);
  EXPECT_EQ(shelf.ScrollPosition(), 50);
  EXPECT_EQ(bar.value(), 50);
  EXPECT_EQ(shelf.Row()->x(), -50);
}

TEST_F(ShelfTest, KnobsCarryTheirParameterAndBinding) {
  ShelfPlug& plug = Patch(3);
  plug.enabled = {true, false, true};
  plug.params[2] = {-10, 10, 0, 1, 0, "Spin", nullptr};
  plug.values[2] = 7;
  slot.bindings.channel = 4;
  slot.bindings.records[2].source = lv::ParamBinding::LfoOutput;
  slot.bindings.records[2].lfo = 12;
  shelf.Populate(&slot);
  EXPECT_EQ(shelf.KnobOf(1), nullptr);
  ui::KnobControl* knob = shelf.KnobOf(2);
  ASSERT_NE(knob, nullptr);
  EXPECT_EQ(knob->Id(), 3);
  EXPECT_EQ(knob->windowTitle(), "Spin");
  EXPECT_EQ(knob->Mode(), ui::KnobControl::LfoSource);
  EXPECT_EQ(knob->LfoIndex(), 12);
  EXPECT_EQ(knob->Channel(), 4);
  EXPECT_EQ(knob->Min(), -10);
  EXPECT_EQ(knob->Max(), 10);
  EXPECT_EQ(knob->Value(), 7);
  EXPECT_TRUE(knob->Wraps());
  EXPECT_FALSE(shelf.KnobOf(0)->Wraps());
}

TEST_F(ShelfTest, TurningAndSwitchingAKnobReachThePatch) {
  ShelfPlug& plug = Patch(1);
  shelf.Populate(&slot);
  ui::KnobControl* knob = shelf.KnobOf(0);
  QTest::mousePress(knob, Qt::LeftButton, {}, QPoint(20, 40));
  QTest::mouseMove(knob, QPoint(20, 0));
  QTest::mouseRelease(knob, Qt::LeftButton, {}, QPoint(20, 0));
  EXPECT_GT(plug.values[0], 0);
  EXPECT_EQ(plug.values[0], knob->Value());

  const int calls = plug.setParamCalls;
  QTest::mouseClick(knob, Qt::RightButton, {}, QPoint(20, 40));
  EXPECT_EQ(slot.bindings.records[0].source, lv::ParamBinding::Controller);
  EXPECT_EQ(slot.bindings.records[0].controller, knob->ControllerIndex());
  EXPECT_EQ(plug.setParamCalls, calls + 1);
  EXPECT_EQ(plug.values[0], knob->Value());
}

}  // namespace
