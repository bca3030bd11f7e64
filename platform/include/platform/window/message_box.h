#pragma once
#include <functional>
#include <string>

#include "platform/window/messages.h"
#include "platform/window/window_handle.h"

namespace window {

enum class MessageBoxButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };
enum class MessageBoxIcon { kNone, kError, kWarning, kInformation, kQuestion };

// The answer, as the button id it stands for (kIdOk, kIdCancel, kIdYes, kIdNo).
using MessageBoxResult = int;

struct MessageBoxRequest {
  WindowHandle owner = nullptr;
  std::string text;
  std::string caption;
  MessageBoxButtons buttons = MessageBoxButtons::kOk;
  MessageBoxIcon icon = MessageBoxIcon::kNone;
  int defaultButton = 0;  // 0: the first button, 1: the second, 2: the third
};

// Shows the box and waits for the answer. From another thread the box is
// shown on the user-interface thread while the caller waits, so a caller
// that holds a lock the user interface may be waiting for must use
// PostMessageBox instead.
MessageBoxResult ShowMessageBox(const MessageBoxRequest& request);

// Queues the box for the user-interface thread and returns at once. When
// given, `answered` runs on the user-interface thread with the answer.
void PostMessageBox(MessageBoxRequest request,
                    std::function<void(MessageBoxResult)> answered = {});

// The answer a box gets when nobody can be asked (no display): Cancel where
// the box has it, else No, else OK.
MessageBoxResult UnansweredResult(MessageBoxButtons buttons);

}  // namespace window
