#pragma once
// "Enter Video Sample Parameters": the name, size, rate, depth and length of
// a new sampler, with the memory and time it takes.
#include <QDialog>
#include <vector>

#include "options/sample_request.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {

namespace sample_dialog {
inline constexpr int kSizeCombo = 1153;
inline constexpr int kRateCombo = 1154;
inline constexpr int kFormatCombo = 1155;
inline constexpr int kSizeText = 1156;
inline constexpr int kFramesEdit = 1158;
inline constexpr int kFramesUpDown = 1159;
inline constexpr int kNameEdit = 1162;
inline constexpr char kCaption[] = "Enter Video Sample Parameters";
}  // namespace sample_dialog

class SampleParametersDialog final : public QDialog {
 public:
  explicit SampleParametersDialog(const SampleRequest& request, QWidget* parent = nullptr);

  // The request as the fields give it now.
  const SampleRequest& Request() const { return request_; }
  void Recalculate();
  void StepFrames(int delta);

  void accept() override;

 private:
  SampleRequest request_;
  std::vector<uint32_t> sizes_;
  bool initialising_ = true;
  QLineEdit* name_ = nullptr;
  QComboBox* size_ = nullptr;
  QComboBox* rate_ = nullptr;
  QComboBox* format_ = nullptr;
  QLineEdit* frames_ = nullptr;
  QLabel* sizeText_ = nullptr;
  QPushButton* ok_ = nullptr;
};

// Runs the dialog; on OK `request` holds what was entered.
bool RunSampleParametersDialog(QWidget* parent, SampleRequest& request);

}  // namespace ui
