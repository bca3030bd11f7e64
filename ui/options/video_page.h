#pragma once
// "Video": the full-screen adapter and mode, the number of work buffers, a
// custom output size, how textures are rounded to powers of two, and the
// cursor in full screen. Applied on OK when anything in the sheet changed.
#include <cstdint>
#include <vector>

#include "options/options_page.h"
#include "options/video_modes.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace lv {
class List;
}

namespace ui {

namespace video_page {
inline constexpr int kResolutionCombo = 1019;
inline constexpr int kDepthCombo = 1020;
inline constexpr int kAdapterCombo = 1021;
inline constexpr int kRateCombo = 1022;
inline constexpr int kWorkBuffersCombo = 1023;
inline constexpr int kConserveRadio = 1131;
inline constexpr int kPreserveRadio = 1132;
inline constexpr int kHideCursorCheck = 1145;
inline constexpr int kCustomCheck = 1168;
inline constexpr int kCustomWidthEdit = 1169;
inline constexpr int kCustomHeightEdit = 1170;
inline constexpr int kMaxWorkBuffers = 4;
inline constexpr char kCustomSizeCaption[] = "Custom Resolution";
}  // namespace video_page

class VideoPage final : public OptionsPage {
 public:
  VideoPage(OptionsSheetContext& context, QWidget* parent = nullptr);

  bool Validate() override;
  void Apply() override;

  // The size, depth and rate the lists are filled for.
  uint32_t WorkingWidth() const { return width_; }
  uint32_t WorkingHeight() const { return height_; }
  uint32_t WorkingBits() const { return bits_; }
  uint32_t WorkingRate() const { return rate_; }

 private:
  const lv::List* Modes() const;
  void FillResolutions();
  void FillDepths();
  void FillRates();
  void ShowCustom(bool custom);
  // The custom size typed, when both fields read as numbers.
  bool CustomSize(uint32_t* width, uint32_t* height) const;
  uint32_t MaxSize() const;

  uint32_t width_ = 0;
  uint32_t height_ = 0;
  uint32_t bits_ = 0;
  uint32_t rate_ = 0;
  // An unlisted size shown as the custom one without the show's flag.
  bool keepCustomFlag_ = false;
  QComboBox* adapters_ = nullptr;
  QComboBox* resolutions_ = nullptr;
  QComboBox* depths_ = nullptr;
  QComboBox* rates_ = nullptr;
  QComboBox* workBuffers_ = nullptr;
  QCheckBox* hideCursor_ = nullptr;
  QCheckBox* custom_ = nullptr;
  QLineEdit* customWidth_ = nullptr;
  QLineEdit* customHeight_ = nullptr;
  QRadioButton* conserve_ = nullptr;
  QRadioButton* preserve_ = nullptr;
};

}  // namespace ui
