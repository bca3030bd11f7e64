#include "options/sample_parameters_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "options/options_page.h"

namespace ui {

using namespace sample_dialog;

namespace {
// The title bar's icon and buttons, in line heights of its font.
constexpr int kTitleBarButtonRoom = 8;
}  // namespace

SampleParametersDialog::SampleParametersDialog(const SampleRequest& request, QWidget* parent)
    : QDialog(parent), request_(request), sizes_(OfferedSampleSizes(request.outputWidth, request.outputHeight)) {
  setWindowTitle(kCaption);
  name_ = WithId(new QLineEdit, kNameEdit);
  name_->setMaxLength(static_cast<int>(SampleRequest::kMaxNameLength));
  size_ = WithId(new QComboBox, kSizeCombo);
  rate_ = WithId(new QComboBox, kRateCombo);
  format_ = WithId(new QComboBox, kFormatCombo);
  frames_ = WithId(new QLineEdit, kFramesEdit);
  auto* upDown = WithId(new QWidget, kFramesUpDown);
  auto* up = new QToolButton(upDown);
  auto* down = new QToolButton(upDown);
  up->setArrowType(Qt::UpArrow);
  down->setArrowType(Qt::DownArrow);
  auto* upDownLayout = new QVBoxLayout(upDown);
  upDownLayout->setContentsMargins(0, 0, 0, 0);
  upDownLayout->setSpacing(0);
  upDownLayout->addWidget(up);
  upDownLayout->addWidget(down);
  sizeText_ = WithId(new QLabel(tr("Current Sample Size : 12 Mb")), kSizeText);
  auto* framesRow = new QHBoxLayout;
  framesRow->addWidget(frames_, 1);
  framesRow->addWidget(upDown);
  auto* form = new QFormLayout;
  form->addRow(tr("Sampler Name"), name_);
  form->addRow(tr("Sample Size"), size_);
  form->addRow(tr("Sample Rate"), rate_);
  form->addRow(tr("Sample Format"), format_);
  form->addRow(tr("Sample Frames"), framesRow);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(sizeText_);
  layout->addWidget(buttons);

  name_->setText(QString::fromStdString(request_.name));
  const uint32_t wanted = (request_.width & 0xFFFF) << 16 | (request_.height & 0xFFFF);
  for (uint32_t size : sizes_) size_->addItem(QStringLiteral("%1 x %2").arg(size >> 16).arg(size & 0xFFFF), size);
  // No size like the request's (an output of an unusual shape): the first.
  const auto match = std::find(sizes_.begin(), sizes_.end(), wanted);
  if (!sizes_.empty()) size_->setCurrentIndex(match != sizes_.end() ? static_cast<int>(match - sizes_.begin()) : 0);
  for (uint32_t k = 1; k <= SampleRequest::kSlowestInterval; ++k) rate_->addItem(QStringLiteral("%1 fps").arg(60 / k));
  rate_->setCurrentIndex(static_cast<int>(std::clamp<uint32_t>(request_.interval, 1, SampleRequest::kSlowestInterval) - 1));
  format_->addItem(QStringLiteral("RGB16"));
  format_->addItem(QStringLiteral("RGB32"));
  format_->setCurrentIndex(request_.bits == 16 ? 0 : 1);
  frames_->setText(QString::number(std::clamp(request_.frames, SampleRequest::kMinFrames, SampleRequest::kMaxFrames)));
  // Nothing to make without a size.
  ok_->setEnabled(!sizes_.empty());

  for (QComboBox* combo : {size_, rate_, format_})
    connect(combo, &QComboBox::currentIndexChanged, this, [this] { Recalculate(); });
  connect(frames_, &QLineEdit::textChanged, this, [this] {
    if (!initialising_) Recalculate();
  });
  connect(up, &QToolButton::clicked, this, [this] { StepFrames(1); });
  connect(down, &QToolButton::clicked, this, [this] { StepFrames(-1); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  initialising_ = false;
  Recalculate();

  // The title bar shows the whole caption: window managers set it in about
  // the bold application font, beside an icon and three buttons.
  QFont title = font();
  title.setBold(true);
  const QFontMetrics metrics(title);
  const int caption = metrics.horizontalAdvance(QString::fromUtf8(kCaption));
  setMinimumWidth(std::max(minimumSizeHint().width(), caption + kTitleBarButtonRoom * metrics.height()));
}

void SampleParametersDialog::Recalculate() {
  if (initialising_) return;
  if (size_->currentIndex() >= 0) {
    const uint32_t size = size_->currentData().toUInt();
    request_.width = size >> 16;
    request_.height = size & 0xFFFF;
  }
  request_.interval = static_cast<uint32_t>(rate_->currentIndex() + 1);
  request_.bits = 16u << format_->currentIndex();
  request_.frames = FrameCountFromText(frames_->text().toStdString());
  sizeText_->setText(QString::fromStdString(SampleSizeText(request_)));
  request_.name = name_->text().left(static_cast<int>(SampleRequest::kMaxNameLength)).toStdString();
}

void SampleParametersDialog::StepFrames(int delta) {
  const int frames = static_cast<int>(FrameCountFromText(frames_->text().toStdString())) + delta;
  frames_->setText(QString::number(std::clamp<int>(frames, SampleRequest::kMinFrames, SampleRequest::kMaxFrames)));
}

void SampleParametersDialog::accept() {
  if (sizes_.empty()) return;
  Recalculate();
  QDialog::accept();
}

bool RunSampleParametersDialog(QWidget* parent, SampleRequest& request) {
  SampleParametersDialog dialog(request, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  request = dialog.Request();
  return true;
}

}  // namespace ui
