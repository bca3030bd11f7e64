#pragma once
// "Capture": the capture devices found at start-up. A row's check box starts
// and stops its device at once; the buttons choose the selected device's
// mode, input and vertical flip. Nothing waits for OK.
#include "options/options_page.h"

class QCheckBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace builtin {
class CaptureDevice;
}

namespace lv {
class List;
}

namespace ui {

namespace capture_page {
inline constexpr int kDeviceList = 1135;
inline constexpr int kModeButton = 1136;
inline constexpr int kInputButton = 1137;
inline constexpr int kFlipCheck = 1165;
}  // namespace capture_page

class CapturePage final : public OptionsPage {
 public:
  CapturePage(OptionsSheetContext& context, QWidget* parent = nullptr);

  QTreeWidget& List() const { return *list_; }
  void ChooseMode();
  void ChooseInput();
  void ToggleFlip();

 private:
  void FillList();
  void Refresh(QTreeWidgetItem* item);
  void ShowWholeStatus(const QTreeWidgetItem& item);
  void CheckChanged(QTreeWidgetItem* item);
  void SelectionChanged();
  builtin::CaptureDevice* SelectedDevice() const;
  static builtin::CaptureDevice* DeviceOf(const QTreeWidgetItem* item);
  void EnableOptions(builtin::CaptureDevice* device);
  // A popup menu of the selected device's formats or inputs; the choice is
  // applied with the render thread halted.
  template <typename Node, typename Text, typename Choose>
  void ChooseFromList(const lv::List& list, Text text, Choose choose);

  QTreeWidget* list_ = nullptr;
  QPushButton* mode_ = nullptr;
  QPushButton* input_ = nullptr;
  QCheckBox* flip_ = nullptr;
  bool filling_ = false;
};

}  // namespace ui
