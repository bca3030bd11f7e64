#include "options/sampler_page.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "options/options_prompts.h"
#include "options/render_halt.h"
#include "options/sample_request.h"
#include "sampler/sampler.h"

namespace ui {

using namespace sampler_page;

SamplerPage::SamplerPage(OptionsSheetContext& context, QWidget* parent) : OptionsPage(context, parent) {
  auto* group = new QGroupBox(tr("Active Samples"));
  list_ = WithId(new QTreeWidget, kSamplerList);
  list_->setRootIsDecorated(false);
  (new QVBoxLayout(group))->addWidget(list_);
  auto* create = WithId(new QPushButton(tr("Create New Sample")), kCreateButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group, 1);
  layout->addWidget(create, 0, Qt::AlignLeft);

  list_->setColumnCount(2);
  list_->setHeaderLabels({tr("Name"), tr("Format")});
  list_->header()->resizeSection(0, 100);
  list_->header()->resizeSection(1, 300);
  if (builtin::SamplerBank* bank = context_.services.samplers)
    for (lv::ListNode* node = bank->samplers.Head(); node != nullptr; node = node->Next())
      AddRow(*static_cast<builtin::Sampler*>(node));
  connect(create, &QPushButton::clicked, this, [this] { CreateSample(); });
}

void SamplerPage::AddRow(builtin::Sampler& sampler) {
  auto* item = new QTreeWidgetItem(list_);
  item->setText(0, QString::fromUtf8(sampler.Name() != nullptr ? sampler.Name() : ""));
  item->setText(1, QString::fromStdString(SamplerDescription(sampler.Width(), sampler.Height(), sampler.Format(),
                                                             sampler.Capacity(), sampler.Interval())));
}

void SamplerPage::CreateSample() {
  builtin::SamplerBank* bank = context_.services.samplers;
  if (bank == nullptr) return;
  const lv::Performance& performance = context_.performance;
  SampleRequest request = FirstSampleRequest(performance.width, performance.height, performance.bitsPerPixel);
  if (!Prompts().EditSampleRequest(this, request)) return;
  builtin::Sampler* sampler = nullptr;
  {
    // The render thread walks the sampler list while it draws.
    RenderHalt halt(context_.services.performer);
    if (halt.Refused()) return;
    sampler = builtin::Sampler::Create(bank->samplers, bank->env, request.name.c_str(), request.width, request.height,
                                       SampleFormat(request.bits), request.frames, request.interval);
  }
  if (sampler != nullptr) AddRow(*sampler);
}

}  // namespace ui
