// The settings dialog of "Sample Video": the source, the sampler to record
// into and "Fixed length sample".
#include "platform/window/dialog_template.h"
#include "platform/window/kit/dialog_layout.h"
#include "platform/window/kit/source_settings_dialog.h"
#include "platform/window/messages.h"
#include "sampler/sample_video.h"
#include "sampler/sample_video_dialog.h"

namespace builtin {

namespace {

class SamplerChoice final : public kit::SettingsDialogExtras {
 public:
  SamplerChoice(SamplerBank& bank, SampleVideo& plug) : bank_(bank), plug_(plug) {}

  void Init(window::Dialog& dialog) override {
    int select = 0;
    Sampler* current = FindSampler(bank_.samplers, plug_.SamplerName().c_str());
    for (lv::ListNode* n = bank_.samplers.Head(); n; n = n->Next()) {
      auto* sampler = static_cast<Sampler*>(n);
      const int item = dialog.AddString(sample_video_dialog::kSamplerCombo, sampler->Name());
      dialog.SetItemData(sample_video_dialog::kSamplerCombo, item, reinterpret_cast<std::intptr_t>(sampler));
      // The patch's own sampler stays selected, so OK does not move it.
      if (sampler == current) select = item;
    }
    if (bank_.samplers.Count() == 0) dialog.AddString(sample_video_dialog::kSamplerCombo, "No Active Samplers");
    dialog.SetCurSel(sample_video_dialog::kSamplerCombo, select);
  }

  void Apply(window::Dialog& dialog) override {
    const int selected = dialog.GetCurSel(sample_video_dialog::kSamplerCombo);
    auto* sampler = reinterpret_cast<Sampler*>(dialog.GetItemData(sample_video_dialog::kSamplerCombo, selected));
    if (sampler) plug_.SetSamplerName(sampler->Name());
  }

 private:
  SamplerBank& bank_;
  SampleVideo& plug_;
};

}  // namespace

const window::DialogTemplateSet& SampleVideoDialogTemplates() {
  static const window::DialogTemplateSet set = [] {
    window::DialogTemplateSet s;
    s.Add(*kit::ParseDialogLayout(sample_video_dialog::kTemplateId, R"(
DIALOG 200 92 "Edit 'Sample Source' Parameters"
BUTTON 1014 8 8 50 14 "S&ource"
STATIC 1012 64 10 128 10 ""
STATIC -1 8 30 50 10 "Sampler"
COMBOBOX 1163 64 28 128 60 ""
CHECKBOX 1164 8 50 120 10 "Fixed length sample"
BUTTON 1 86 70 50 14 "OK" default
BUTTON 2 142 70 50 14 "Cancel"
)"));
    return s;
  }();
  return set;
}

bool RunSampleVideoDialog(SampleVideo& plug, SamplerBank& bank, lv::WindowHandle owner,
                          kit::SourceName& sourceName, uint32_t& options) {
  const kit::OptionCheckBox boxes[] = {{sample_video_dialog::kFixedLengthCheck, SampleVideo::kFixedLength}};
  kit::SourceSettingsFields fields;
  fields.host = plug.host;
  fields.sourceName = &sourceName;
  fields.options = &options;
  SamplerChoice choice(bank, plug);
  return kit::RunSourceSettingsDialog(SampleVideoDialogTemplates(), sample_video_dialog::kTemplateId, owner, boxes,
                                      fields, &choice);
}

}  // namespace builtin
