#include "source_chooser/source_chooser.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>
#include <future>
#include <memory>

#include "platform/window/file_filter.h"
#include "platform/window/qt_window_handle.h"
#include "platform/window/ui_thread.h"

namespace ui {
namespace {

QFileDialog::ViewMode rememberedViewMode = QFileDialog::Detail;

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QFileDialog::ViewMode SourceChooserDialog::RememberedViewMode() { return rememberedViewMode; }

SourceChooserDialog::SourceChooserDialog(const lv::SourceDialogRequest& request, const lv::PlugRegistry* kinds,
                                         QWidget* parent)
    : QDialog(parent), list_(ListOtherSources(kinds, request.currentSource)) {
  setWindowTitle(Text(request.files.title));
  setSizeGripEnabled(true);

  // The file dialog is embedded as a plain widget; it ends this dialog with
  // its own Open and Cancel.
  files_ = new QFileDialog(this);
  files_->setWindowFlags(Qt::Widget);
  files_->setOption(QFileDialog::DontUseNativeDialog);
  files_->setFileMode(request.files.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  files_->setAcceptMode(QFileDialog::AcceptOpen);
  files_->setViewMode(rememberedViewMode);
  QStringList filters;
  for (const std::string& filter : window::ConvertFileFilter(request.files.filter)) filters << Text(filter);
  if (!filters.isEmpty()) {
    files_->setNameFilters(filters);
    const int index = request.files.filterIndex - 1;
    if (index >= 0 && index < filters.size()) files_->selectNameFilter(filters[index]);
  }
  if (!request.files.initialPath.empty()) {
    const QFileInfo initial(Text(request.files.initialPath));
    if (initial.isDir()) {
      files_->setDirectory(initial.absoluteFilePath());
    } else {
      files_->setDirectory(initial.absolutePath());
      files_->selectFile(initial.fileName());
    }
  }
  connect(files_, &QFileDialog::accepted, this, [this] {
    const QStringList chosen = files_->selectedFiles();
    if (!chosen.isEmpty()) answer_.file = chosen.front().toStdString();
    accept();
  });
  connect(files_, &QFileDialog::rejected, this, &QDialog::reject);

  others_ = new QComboBox(this);
  others_->setObjectName(QString::number(kOtherSourcesCombo));
  useThisSource_ = new QPushButton(QStringLiteral("Use This Source"), this);
  useThisSource_->setObjectName(QString::number(kUseThisSourceButton));
  useThisSource_->setAutoDefault(false);
  for (const OtherSource& entry : list_.entries) others_->addItem(Text(entry.name));
  if (list_.entries.empty()) {
    others_->addItem(QStringLiteral("No custom sources available"));
    others_->setCurrentIndex(0);
    useThisSource_->setEnabled(false);
  } else {
    others_->setCurrentIndex(list_.selected);
  }
  connect(useThisSource_, &QPushButton::clicked, this, [this] { UseThisSource(); });

  auto* othersRow = new QHBoxLayout;
  othersRow->addWidget(new QLabel(QStringLiteral("Other Sources"), this));
  othersRow->addWidget(others_, 1);
  othersRow->addWidget(useThisSource_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(files_, 1);
  layout->addLayout(othersRow);
}

SourceChooserDialog::~SourceChooserDialog() = default;

void SourceChooserDialog::UseThisSource() {
  const int index = others_->currentIndex();
  if (index < 0 || index >= static_cast<int>(list_.entries.size())) return;
  answer_.file.reset();
  answer_.source = list_.entries[static_cast<size_t>(index)].prefix;
  reject();  // ends without a file, as Cancel does
}

void SourceChooserDialog::done(int result) {
  rememberedViewMode = files_->viewMode();
  QDialog::done(result);
}

lv::SourceDialogAnswer RunSourceChooser(const lv::SourceDialogRequest& request, const lv::PlugRegistry* kinds) {
  auto run = [request, kinds] {
    SourceChooserDialog dialog(request, kinds, window::WidgetOf(request.files.owner));
    dialog.exec();
    return dialog.Answer();
  };
  if (window::IsUiThread()) return run();
  // Widgets live on the user-interface thread only; a caller elsewhere waits.
  // The promise lives in the queued work alone, so work dropped unrun
  // breaks it and the caller gets "nothing chosen" instead of waiting forever.
  auto promise = std::make_shared<std::promise<lv::SourceDialogAnswer>>();
  std::future<lv::SourceDialogAnswer> answer = promise->get_future();
  window::RunOnUiThread([promise = std::move(promise), run]() mutable { promise->set_value(run()); });
  try {
    return answer.get();
  } catch (const std::future_error&) {
    return {};
  }
}

}  // namespace ui
