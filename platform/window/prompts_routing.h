#pragma once
#include <exception>
#include <future>
#include <memory>
#include <utility>

#include "platform/window/ui_thread.h"
#include "platform/window/user_prompts.h"

namespace window {

// The prompts in use: the installed ones, else the Qt ones.
UserPrompts& CurrentPrompts();

// Runs `ask` on the user-interface thread and waits for its answer; when the
// user interface goes away before asking, gives `unanswered`.
template <typename Answer, typename Ask>
Answer AskOnUiThread(Ask ask, Answer unanswered) {
  if (IsUiThread()) return ask();
  auto promise = std::make_shared<std::promise<Answer>>();
  std::future<Answer> answer = promise->get_future();
  // The promise lives only in the queued work: if the work is dropped
  // unrun, the future reports a broken promise instead of waiting forever.
  RunOnUiThread([promise = std::move(promise), ask = std::move(ask)]() mutable {
    promise->set_value(ask());
  });
  try {
    return answer.get();
  } catch (const std::future_error&) {
    return unanswered;
  }
}

}  // namespace window
