#include "project_files.h"

#include "files/project_bundle.h"
#include "folder_browser/bundle_dialogs.h"
#include "platform/window/qt_window_handle.h"

namespace app {

void ProjectFiles::SetMainDialog(QWidget* dialog) {
  mainDialog_ = dialog;
  dialogs_ = std::make_unique<lv::CommonProjectFileDialogs>(window::HandleOf(dialog));
}

lv::ProjectFileContext ProjectFiles::Context() {
  lv::ProjectFileContext context;
  context.registry = &registry_;
  context.lfoLock = &performer_.FrameLock();
  context.makeWaitingKnobWrites = [this] { performer_.MakeKnobWrites(); };
  context.adapterCount = adapterCount_ ? adapterCount_() : 1;
  context.dialogs = dialogs_.get();
  context.show = show_;
  context.progress = mainDialog_ != nullptr ? &progress_ : nullptr;
  return context;
}

bool ProjectFiles::Save(lv::Performance& performance, bool saveAs) {
  // A save the performer asked for is never cut off by the program's end.
  const lv::ExitWatch::Hold saving(exits_);
  return lv::SavePerformance(performance, saveAs, Context());
}

bool ProjectFiles::Load(lv::Performance& performance, const char* fileName) {
  loadFailure_.clear();
  lv::ProjectFileContext context = Context();
  context.failure = &loadFailure_;
  return lv::LoadPerformance(performance, fileName, context);
}

bool ProjectFiles::Bundle(lv::Performance& performance) {
  const lv::ExitWatch::Hold saving(exits_);
  ui::WindowBundleDialogs dialogs(mainDialog_);
  const lv::ProjectFileContext context = Context();
  return lv::BundleProject(performance, dialogs, context, context.progress);
}

}  // namespace app
