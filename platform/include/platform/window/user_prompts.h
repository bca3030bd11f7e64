#pragma once
#include "platform/window/common_dialogs.h"
#include "platform/window/message_box.h"

namespace window {

// Everything that asks the user a question and waits for the answer. The
// real implementation shows Qt dialogs; tests install their own to see the
// questions and script the answers. Always called on the user-interface
// thread (or the caller's, while no application object exists).
class UserPrompts {
 public:
  virtual ~UserPrompts() = default;
  virtual MessageBoxResult AskMessageBox(const MessageBoxRequest& request) = 0;
  virtual std::optional<std::string> AskOpenFileName(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> AskSaveFileName(const FileDialogRequest& request) = 0;
  virtual std::optional<ColourRef> AskColour(const ColourRequest& request) = 0;
};

// Installs `prompts` in place of the real dialogs; null puts them back. The
// object stays the caller's and must outlive its installation.
void SetUserPrompts(UserPrompts* prompts);

// The real Qt implementation.
UserPrompts& QtUserPrompts();

}  // namespace window
