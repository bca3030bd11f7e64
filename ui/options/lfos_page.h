#pragma once
// The LFOs page of the Options sheet: the 100 live LFO records edited in
// place. Choosing a row loads its type and five fields; every accepted edit
// is written into the record at once, so the running show follows it, and
// the preview draws the waveform. Edits set kOptionsLfosEdited, which the
// sheet does not report, so they never rebuild the display.
#include <QWidget>
#include <array>

#include "options/options_sheet_context.h"

class QComboBox;
class QLabel;
class QTreeWidget;

namespace ui {

class LfoPreview;
class NumericEdit;

class LfosPage final : public QWidget {
 public:
  // Dialog ids of the page's controls (their object names).
  enum ControlId : int {
    kListId = 1135,
    kTypeId = 1174,
    kMinId = 1176,
    kMaxId = 1177,
    kRateId = 1178,
    kPhaseId = 1179,
    kParameterId = 1180,
    kPhaseLabelId = 1187,
    kPreviewId = 1188,
  };
  enum Field : int { kMin, kMax, kRate, kPhase, kParameter, kFieldCount };

  LfosPage(OptionsSheetContext& context, QWidget* parent = nullptr);

  // The LFO selected most recently, program-wide; the page reopens on it.
  static int LastLfo();
  static void SetLastLfo(int index);

  // The selected LFO, or -1.
  int Selected() const;
  void Select(int index);

  NumericEdit& FieldEdit(Field field) const { return *fields_[static_cast<size_t>(field)]; }
  QComboBox& TypeBox() const { return *type_; }
  QLabel& PhaseLabel() const { return *phaseLabel_; }
  LfoPreview& Preview() const { return *preview_; }

 private:
  lv::Lfo* Record(int index) const;
  void Load();
  void Clear();
  void EnableForType(int type);
  // Writes the one field the user changed into the selected record.
  void WriteField(Field field);
  void WriteType(int type);
  // Runs `change` on the selected record where the render thread cannot be
  // reading it, then tells the preview.
  template <typename Change>
  void ChangeRecord(Change change);

  OptionsSheetContext& context_;
  QTreeWidget* list_ = nullptr;
  QComboBox* type_ = nullptr;
  std::array<NumericEdit*, kFieldCount> fields_{};
  QLabel* phaseLabel_ = nullptr;
  LfoPreview* preview_ = nullptr;
  // Set while the page fills its own fields, whose change signals it ignores.
  bool updating_ = false;
};

}  // namespace ui
