#include "folder_browser/folder_browser.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace ui {
namespace {

constexpr int kMaxTypedPath = 259;

QString Clean(const QString& folder) { return QDir::cleanPath(QDir(folder).absolutePath()); }

}  // namespace

FolderBrowser::FolderBrowser(const std::string& start, const std::string& root, QWidget* parent)
    : QDialog(parent), start_(start) {
  setWindowTitle("Choose Path");
  setObjectName("150");
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  pathLine_ = new QLabel(this);
  pathLine_->setObjectName("1100");
  back_ = new QPushButton(this);
  back_->setObjectName("1102");
  back_->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
  back_->setToolTip("Back");
  back_->setAutoDefault(false);
  back_->setFocusPolicy(Qt::NoFocus);  // the focus stays where it was
  top->addWidget(pathLine_, 1);
  top->addWidget(back_);
  layout->addLayout(top);
  list_ = new QListWidget(this);
  list_->setObjectName("1098");
  layout->addWidget(list_, 1);
  edit_ = new QLineEdit(this);
  edit_->setObjectName("1104");
  edit_->setMaxLength(kMaxTypedPath);
  layout->addWidget(edit_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  // Enter belongs to the list (open) and the edit (go to the typed path),
  // never to OK.
  for (QAbstractButton* button : buttons->buttons()) {
    if (auto* push = qobject_cast<QPushButton*>(button)) {
      push->setAutoDefault(false);
      push->setDefault(false);
    }
  }
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(back_, &QPushButton::clicked, this, [this] { Back(); });
  connect(list_, &QListWidget::itemActivated, this, [this] { OpenSelected(); });
  connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
    const QString selected = SelectedFolder();
    ShowOnPathLine(selected.isEmpty() ? current_ : selected);
  });
  connect(edit_, &QLineEdit::returnPressed, this, [this] { GoToTypedPath(); });
  connect(edit_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (!text.contains('*') && !text.contains('?')) return;
    int cursor = edit_->cursorPosition();
    QString kept;
    for (int i = 0; i < text.size(); ++i) {
      if (text[i] == '*' || text[i] == '?') {
        if (i < cursor) --cursor;
      } else {
        kept += text[i];
      }
    }
    edit_->setText(kept);
    edit_->setCursorPosition(cursor);
  });

  root_ = root.empty() ? QString("/") : Clean(QString::fromStdString(root));
  if (!QFileInfo(root_).isDir()) root_ = "/";
  QString first = start.empty() ? QDir::currentPath() : Clean(QString::fromStdString(start));
  if (!QFileInfo(first).isDir() || !InsideRoot(first)) first = root_;
  current_ = first;
  path_ = first;
  Refill();
  ShowOnPathLine(current_);
}

bool FolderBrowser::InsideRoot(const QString& folder) const {
  // Whole components: the sibling "/a/bc" is not below the root "/a/b".
  if (root_ == "/") return true;
  return folder == root_ || folder.startsWith(root_ + '/');
}

bool FolderBrowser::Navigate(const QString& folder) {
  const QString target = Clean(folder);
  if (!InsideRoot(target) || !QFileInfo(target).isDir()) return false;
  current_ = target;
  Refill();
  ShowOnPathLine(current_);
  return true;
}

void FolderBrowser::Refill() {
  list_->clear();
  static const QFileIconProvider icons;
  const QIcon folderIcon = icons.icon(QFileIconProvider::Folder);
  // Unreadable folders simply list nothing.
  const QStringList names = QDir(current_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  for (const QString& name : names) new QListWidgetItem(folderIcon, name, list_);
  if (list_->count() > 0) list_->setCurrentRow(0, QItemSelectionModel::NoUpdate);
}

void FolderBrowser::ShowOnPathLine(const QString& folder) {
  path_ = folder;
  pathLine_->setText(folder);
}

QString FolderBrowser::SelectedFolder() const {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  if (selected.isEmpty()) return {};
  return QDir(current_).filePath(selected.front()->text());
}

void FolderBrowser::Back() {
  edit_->clear();
  if (current_ != root_) Navigate(QFileInfo(current_).path());
}

void FolderBrowser::GoToTypedPath() {
  const QString text = edit_->text();
  edit_->clear();
  if (text.isEmpty()) return;
  Navigate(QDir(current_).absoluteFilePath(text));
}

void FolderBrowser::OpenSelected() {
  edit_->clear();
  QListWidgetItem* item = list_->currentItem();
  if (item != nullptr) Navigate(QDir(current_).filePath(item->text()));
}

std::string FolderBrowser::Path() const {
  if (cancelled_) return start_;
  return path_.toStdString();
}

void FolderBrowser::done(int result) {
  cancelled_ = result != QDialog::Accepted;
  QDialog::done(result);
}

std::optional<std::string> BrowseForFolder(QWidget* parent, const std::string& start, const std::string& root) {
  FolderBrowser browser(start, root, parent);
  if (browser.exec() != QDialog::Accepted) return std::nullopt;
  return browser.Path();
}

}  // namespace ui
