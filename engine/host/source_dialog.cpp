#include "host/source_dialog.h"

namespace lv {

SourceDialogAnswer RunPlainSourceDialog(const SourceDialogRequest& request) {
  SourceDialogAnswer answer;
  answer.file = window::GetOpenFileName(request.files);
  return answer;
}

}  // namespace lv
