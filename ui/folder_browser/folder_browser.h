#pragma once
// "Choose Path": a modal folder chooser. A list of the current folder's
// subfolders, a line with the path of the current or selected folder, Back
// to the parent and an edit box for a typed path. Browsing can be kept below
// a root folder. The browser keeps its folder to itself: the process's
// current directory (which the render thread's relative opens use) is never
// changed.
#include <QDialog>
#include <QString>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace ui {

class FolderBrowser final : public QDialog {
 public:
  // An empty `start` starts in the current directory; an empty `root`
  // allows the whole file system. A start outside the root starts at the
  // root.
  FolderBrowser(const std::string& start, const std::string& root, QWidget* parent = nullptr);

  // The folder OK answers: the selected subfolder, else the current folder.
  // After Cancel: the start folder exactly as it was passed.
  std::string Path() const;
  QString CurrentFolder() const { return current_; }

  // Shows `folder`; false (and nothing changes) outside the root or when it
  // is no folder.
  bool Navigate(const QString& folder);
  void Back();
  // Enter in the edit: the typed path, relative to the current folder or
  // absolute; a path that does not resolve changes nothing.
  void GoToTypedPath();
  // Enter or a double click in the list: opens the selected folder.
  void OpenSelected();

  QListWidget& List() const { return *list_; }
  QLineEdit& Edit() const { return *edit_; }
  QLabel& PathLine() const { return *pathLine_; }
  QPushButton& BackButton() const { return *back_; }

  void done(int result) override;

 private:
  bool InsideRoot(const QString& folder) const;
  void Refill();
  void ShowOnPathLine(const QString& folder);
  QString SelectedFolder() const;

  std::string start_;
  QString root_;
  QString current_;
  QString path_;
  bool cancelled_ = false;
  QListWidget* list_ = nullptr;
  QLabel* pathLine_ = nullptr;
  QLineEdit* edit_ = nullptr;
  QPushButton* back_ = nullptr;
};

// Runs the browser over `parent`: the chosen folder, nothing on Cancel.
std::optional<std::string> BrowseForFolder(QWidget* parent, const std::string& start, const std::string& root = {});

}  // namespace ui
