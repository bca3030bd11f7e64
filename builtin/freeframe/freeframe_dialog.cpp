#include "freeframe/freeframe_dialog.h"

#include "platform/window/dialog.h"
#include "platform/window/kit/dialog_layout.h"
#include "platform/window/messages.h"

namespace ff {
namespace {

constexpr int kTemplateId = 183;
constexpr int kSourceButton = 1014;
constexpr int kSourceName = 1012;
constexpr int kTextList = 1170;

constexpr const char* kLayout = R"(DIALOG 220 152 "Edit 'FreeFrame' Parameters"
STATIC -1 7 9 30 10 "Source:"
STATIC 1012 38 9 120 10 ""
BUTTON 1014 163 7 50 14 "S&ource"
STATIC -1 7 28 120 10 "Text Parameters"
LISTVIEW 1170 7 40 206 60
STATIC -1 7 105 150 10 "Value of selected parameter"
EDIT 1171 7 116 206 12 ""
BUTTON 1 108 134 50 14 "OK" default
BUTTON 2 163 134 50 14 "Cancel"
)";

const window::DialogTemplateSet& Layouts() {
  static const window::DialogTemplateSet layouts = [] {
    window::DialogTemplateSet set;
    if (auto layout = kit::ParseDialogLayout(kTemplateId, kLayout)) set.Add(std::move(*layout));
    return set;
  }();
  return layouts;
}

}  // namespace

bool RunFreeFrameDialog(lv::LorvaneInterface* host, lv::WindowHandle owner, kit::SourceName& inputName,
                        const std::vector<TextParamRow>& rows) {
  auto proc = [&](window::Dialog& dialog, window::MessageId message, window::WParam w,
                  window::LParam) -> std::intptr_t {
    if (message == window::msg::kInitDialog) {
      dialog.SetItemText(kSourceName, inputName.Get() != nullptr ? inputName.Get() : "");
      if (inputName.Get() == nullptr) dialog.Post(window::msg::kCommand, window::MakeCommand(kSourceButton), 0);
      dialog.AddColumn(kTextList, "Name", 100);
      for (const TextParamRow& row : rows) {
        const int at = dialog.AddString(kTextList, row.value);
        dialog.SetItemData(kTextList, at, std::intptr_t(row.index));
      }
      return 1;
    }
    if (message == window::msg::kClose) {
      dialog.End(0);
      return 1;
    }
    if (message != window::msg::kCommand) return 0;
    switch (int(w & 0xFFFF)) {
      case kSourceButton: {
        const char* chosen = host != nullptr ? host->SelectSource(dialog.Handle(), inputName.Get()) : nullptr;
        if (chosen != nullptr) {
          inputName.Set(chosen);
          dialog.SetItemText(kSourceName, chosen);
        }
        return 1;
      }
      case window::kIdOk:
        dialog.End(1);
        return 1;
      case window::kIdCancel:
        dialog.End(0);
        return 1;
      default:
        return 0;
    }
  };
  return window::RunModalDialog(Layouts(), kTemplateId, static_cast<window::WindowHandle>(owner), proc) == 1;
}

}  // namespace ff
