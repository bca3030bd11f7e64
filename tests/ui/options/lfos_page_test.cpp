// The LFOs page on real widgets: what the fields show, what each edit writes
// into the record (and only there), enabling by type, and edits landing while
// the render thread advances the same records.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>
#include <atomic>

#include "lfo_preview/lfo_preview.h"
#include "numeric_edit/numeric_edit.h"
#include "options/lfos_page.h"
#include "performer/performer.h"

namespace ui {
namespace {

using Field = LfosPage::Field;

class LfosPageTest : public ::testing::Test {
 protected:
  LfosPageTest() {
    LfosPage::SetLastLfo(0);
    context.services.performer = &performer;
    context.services.lfos = &lfos;
  }

  LfosPage& Open() {
    page = std::make_unique<LfosPage>(context);
    return *page;
  }
  // What the user leaves in a field.
  void Type(Field field, const char* text) { page->FieldEdit(field).setText(QString::fromLatin1(text)); }
  std::string Shown(Field field) const { return page->FieldEdit(field).text().toStdString(); }

  lv::Performer performer;
  lv::Performance performance;
  lv::LfoArray lfos{};
  OptionsSheetContext context{performance, {}, 0};
  std::unique_ptr<LfosPage> page;
};

TEST_F(LfosPageTest, FieldsShowTheRecordMappedClampedAndRounded) {
  lv::Lfo& lfo = lfos[3];
  lfo = {lv::Lfo::Square, 2.5f, 2.0f, 0.625f, 0.5f, 1.0f};
  LfosPage::SetLastLfo(3);
  LfosPage& shown = Open();
  EXPECT_EQ(shown.Selected(), 3);
  EXPECT_EQ(Shown(LfosPage::kMin), "-50.00");
  EXPECT_EQ(Shown(LfosPage::kMax), "100.00");    // 150 clamped
  EXPECT_EQ(Shown(LfosPage::kRate), "2.50");
  EXPECT_EQ(Shown(LfosPage::kPhase), "360.00");  // 720 degrees clamped
  EXPECT_EQ(Shown(LfosPage::kParameter), "0.62");
  EXPECT_EQ(shown.TypeBox().currentText(), "Square");
  EXPECT_EQ(shown.Preview().TimerRunning(), true);
  EXPECT_EQ(context.changed, 0u);  // showing is not editing

  // Editing Rate writes the rate alone; what the other fields show clamped
  // or rounded stays out of the record.
  Type(LfosPage::kRate, "4");
  EXPECT_EQ(lfo.rate, 4.0f);
  EXPECT_EQ(lfo.offset, 0.5f);
  EXPECT_EQ(lfo.scale, 1.0f);
  EXPECT_EQ(lfo.phase, 2.0f);
  EXPECT_EQ(lfo.parm, 0.625f);
  EXPECT_EQ(context.changed, kOptionsLfosEdited);  // never the bit the sheet reports
}

struct MappingCase {
  const char* min;
  const char* max;
  float offset, scale;
};

TEST_F(LfosPageTest, MinAndMaxMapToOffsetAndScale) {
  const MappingCase cases[] = {
      {"-50", "50", 0.0f, 0.5f},
      {"20", "80", 0.5f, 0.3f},
      {"60", "40", 0.5f, -0.1f},  // Min above Max inverts the waveform
      {"-100", "100", 0.0f, 1.0f},
  };
  Open();
  for (const MappingCase& c : cases) {
    Type(LfosPage::kMin, c.min);
    Type(LfosPage::kMax, c.max);
    EXPECT_NEAR(lfos[0].offset, c.offset, 1e-6f) << c.min << ".." << c.max;
    EXPECT_NEAR(lfos[0].scale, c.scale, 1e-6f) << c.min << ".." << c.max;
  }
}

TEST_F(LfosPageTest, EachFieldWritesItsOwnRecordValue) {
  Open();
  Type(LfosPage::kRate, "2.25");
  Type(LfosPage::kParameter, "0.3");
  Type(LfosPage::kPhase, "400");  // stored as typed, beyond the field's range
  EXPECT_EQ(lfos[0].rate, 2.25f);
  EXPECT_EQ(lfos[0].parm, 0.3f);
  EXPECT_FLOAT_EQ(lfos[0].phase, 400.0f * 0.0027777778f);

  // A text that does not read as a number leaves the record alone.
  Type(LfosPage::kRate, "-");
  EXPECT_EQ(lfos[0].rate, 2.25f);

  // A key step writes too.
  Type(LfosPage::kRate, "2.25");
  QTest::keyClick(&page->FieldEdit(LfosPage::kRate), Qt::Key_Up);
  EXPECT_EQ(Shown(LfosPage::kRate), "2.30");
  EXPECT_FLOAT_EQ(lfos[0].rate, 2.3f);

  // Shown again, the phase is clamped for display only.
  page->Select(1);
  page->Select(0);
  EXPECT_EQ(Shown(LfosPage::kPhase), "360.00");
  EXPECT_FLOAT_EQ(lfos[0].phase, 400.0f * 0.0027777778f);
}

struct TypeCase {
  int type;
  bool phaseEnabled, parameterEnabled;
  const char* phaseLabel;
  float phaseSmallStep, phaseLargeStep;
};

TEST_F(LfosPageTest, ChoosingATypeWritesItAndSetsWhichFieldsApply) {
  const TypeCase cases[] = {
      {lv::Lfo::Saw, true, false, "Phase", 5.0f, 15.0f},
      {lv::Lfo::Square, true, true, "Phase", 5.0f, 15.0f},
      {lv::Lfo::Random, false, false, "Phase", 5.0f, 15.0f},
      {lv::Lfo::SmoothRand, true, false, "Freq", 0.5f, 5.0f},
      {lv::Lfo::Brownian, false, false, "Phase", 5.0f, 15.0f},
      {lv::Lfo::Sine, true, false, "Phase", 5.0f, 15.0f},
  };
  LfosPage& shown = Open();
  for (const TypeCase& c : cases) {
    const auto before = shown.Preview().Samples();
    shown.TypeBox().setCurrentIndex(c.type);
    const char* name = lv::Lfo::TypeName(c.type);
    EXPECT_EQ(lfos[0].type, c.type) << name;
    EXPECT_EQ(shown.FieldEdit(LfosPage::kPhase).isEnabled(), c.phaseEnabled) << name;
    EXPECT_EQ(shown.FieldEdit(LfosPage::kParameter).isEnabled(), c.parameterEnabled) << name;
    EXPECT_TRUE(shown.FieldEdit(LfosPage::kMin).isEnabled() && shown.FieldEdit(LfosPage::kMax).isEnabled() &&
                shown.FieldEdit(LfosPage::kRate).isEnabled())
        << name;
    EXPECT_EQ(shown.PhaseLabel().text().toStdString(), c.phaseLabel) << name;
    EXPECT_EQ(shown.FieldEdit(LfosPage::kPhase).SmallStep(), c.phaseSmallStep) << name;
    EXPECT_EQ(shown.FieldEdit(LfosPage::kPhase).LargeStep(), c.phaseLargeStep) << name;
    EXPECT_NE(shown.Preview().Samples(), before) << name << ": the preview follows the type";
  }
  EXPECT_EQ(context.changed, kOptionsLfosEdited);
}

TEST_F(LfosPageTest, DeselectingEmptiesAndReopeningReturnsToTheLastLfo) {
  lfos[42].rate = 3.0f;
  LfosPage& shown = Open();
  shown.Select(42);
  EXPECT_EQ(Shown(LfosPage::kRate), "3.00");

  auto* list = shown.findChild<QTreeWidget*>(QString::number(LfosPage::kListId));
  ASSERT_NE(list, nullptr);
  list->clearSelection();
  EXPECT_EQ(shown.Selected(), -1);
  for (int field = 0; field < LfosPage::kFieldCount; ++field) {
    EXPECT_EQ(Shown(static_cast<Field>(field)), "") << field;
    EXPECT_FALSE(shown.FieldEdit(static_cast<Field>(field)).isEnabled()) << field;
  }
  EXPECT_FALSE(shown.TypeBox().isEnabled());
  EXPECT_FALSE(shown.Preview().TimerRunning());
  EXPECT_EQ(lfos[42].rate, 3.0f);
  EXPECT_EQ(context.changed, 0u);

  page.reset();
  EXPECT_EQ(Open().Selected(), 42);
  EXPECT_EQ(Shown(LfosPage::kRate), "3.00");
}

TEST_F(LfosPageTest, EditsLandWhileTheRenderThreadAdvancesTheLiveTable) {
  // The Performer's passes advance the program's own table.
  context.services.lfos = &lv::LfoTable;
  lv::LfoTable = lv::LfoArray{};
  ASSERT_TRUE(performer.Start());
  LfosPage& shown = Open();
  for (int i = 0; i < 40; ++i) {
    shown.Select(i);
    Type(LfosPage::kMin, "-20");
    Type(LfosPage::kMax, "60");
    shown.TypeBox().setCurrentIndex(i % lv::Lfo::kTypeCount);
    QTest::keyClick(&shown.FieldEdit(LfosPage::kRate), Qt::Key_PageUp);
  }
  ASSERT_TRUE(performer.Stop());
  for (int i = 0; i < 40; ++i) {
    const lv::Lfo& lfo = lv::LfoTable[static_cast<size_t>(i)];
    EXPECT_NEAR(lfo.offset, 0.2f, 1e-6f) << i;
    EXPECT_NEAR(lfo.scale, 0.4f, 1e-6f) << i;
    EXPECT_EQ(lfo.type, i % lv::Lfo::kTypeCount) << i;
    EXPECT_EQ(lfo.rate, 1.5f) << i;
  }
}

}  // namespace
}  // namespace ui
