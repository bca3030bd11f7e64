#include "platform/window/message_box.h"

#include <atomic>

#include "platform/window/messages.h"
#include "prompts_routing.h"

namespace window {
namespace {

std::atomic<UserPrompts*> installedPrompts{nullptr};

}  // namespace

void SetUserPrompts(UserPrompts* prompts) { installedPrompts.store(prompts); }

UserPrompts& CurrentPrompts() {
  UserPrompts* installed = installedPrompts.load();
  return installed != nullptr ? *installed : QtUserPrompts();
}

MessageBoxResult UnansweredResult(MessageBoxButtons buttons) {
  switch (buttons) {
    case MessageBoxButtons::kOk: return kIdOk;
    case MessageBoxButtons::kYesNo: return kIdNo;
    case MessageBoxButtons::kOkCancel:
    case MessageBoxButtons::kYesNoCancel: return kIdCancel;
  }
  return kIdCancel;
}

MessageBoxResult ShowMessageBox(const MessageBoxRequest& request) {
  return AskOnUiThread<MessageBoxResult>(
      [request] { return CurrentPrompts().AskMessageBox(request); },
      UnansweredResult(request.buttons));
}

void PostMessageBox(MessageBoxRequest request, std::function<void(MessageBoxResult)> answered) {
  RunOnUiThread([request = std::move(request), answered = std::move(answered)] {
    const MessageBoxResult result = CurrentPrompts().AskMessageBox(request);
    if (answered) answered(result);
  });
}

}  // namespace window
