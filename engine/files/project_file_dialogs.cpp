#include "files/project_file_dialogs.h"

#include "platform/window/common_dialogs.h"

namespace lv {
namespace {

window::FileDialogRequest ProjectRequest(window::WindowHandle owner, const char* title) {
  window::FileDialogRequest request;
  request.owner = owner;
  request.title = title;
  request.filter = std::string("Lorvan Performance\0*.LVP\0\0", 26);
  request.filterIndex = 1;
  request.defaultExtension = "LVP";
  return request;
}

}  // namespace

std::optional<std::string> CommonProjectFileDialogs::AskSaveName(const std::string& current) {
  window::FileDialogRequest request = ProjectRequest(owner_, "Save Lorvan file");
  request.initialPath = current;
  request.overwritePrompt = true;
  return window::GetSaveFileName(request);
}

std::optional<std::string> CommonProjectFileDialogs::AskLoadName() {
  window::FileDialogRequest request = ProjectRequest(owner_, "Load Lorvan file");
  request.fileMustExist = true;
  return window::GetOpenFileName(request);
}

}  // namespace lv
