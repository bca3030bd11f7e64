#pragma once
// "Sampler": the video samplers, and "Create New Sample", which makes one at
// once from the parameters entered.
#include "options/options_page.h"

class QTreeWidget;

namespace builtin {
class Sampler;
}

namespace ui {

namespace sampler_page {
inline constexpr int kSamplerList = 1135;
inline constexpr int kCreateButton = 1160;
}  // namespace sampler_page

class SamplerPage final : public OptionsPage {
 public:
  SamplerPage(OptionsSheetContext& context, QWidget* parent = nullptr);

  QTreeWidget& List() const { return *list_; }
  void CreateSample();

 private:
  void AddRow(builtin::Sampler& sampler);

  QTreeWidget* list_ = nullptr;
};

}  // namespace ui
