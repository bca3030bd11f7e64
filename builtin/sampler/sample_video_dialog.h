#pragma once
// The settings dialog of "Sample Video".
#include <cstdint>

#include "lv/platform_types.h"
#include "platform/window/dialog_template.h"
#include "platform/window/kit/source_name.h"

namespace builtin {

class SampleVideo;
struct SamplerBank;

namespace sample_video_dialog {
inline constexpr int kTemplateId = 184;
inline constexpr int kSamplerCombo = 1163;
inline constexpr int kFixedLengthCheck = 1164;
}  // namespace sample_video_dialog

const window::DialogTemplateSet& SampleVideoDialogTemplates();
// True when closed with OK; the sampler name and the option bit change only then.
bool RunSampleVideoDialog(SampleVideo& plug, SamplerBank& bank, lv::WindowHandle owner, kit::SourceName& sourceName,
                          uint32_t& options);

}  // namespace builtin
