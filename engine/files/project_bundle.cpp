#include "files/project_bundle.h"

#include <strings.h>

#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "files/file_progress.h"
#include "registry/plug_registry.h"

namespace lv {
namespace {

namespace fs = std::filesystem;

// One distinct media file the patches read, and where its copy goes.
struct Media {
  std::string name;         // as the first input that names it spells it
  fs::path source;          // where the file is found
  std::string destination;  // empty until a destination is chosen
  bool copied = false;
};

// The part after the last separator; projects made elsewhere may hold
// backslash paths.
std::string FilePart(const std::string& name) {
  const size_t slash = name.find_last_of("/\\");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code error;
  return fs::equivalent(a, b, error) && !error;
}

bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::exists(path, error);
}

// Capture devices, work buffers and the like have a name but no file.
bool NamesAFile(const char* name, const PlugRegistry* registry) {
  if (registry == nullptr) return true;
  SourceDesc* kind = registry->FindSourceKind(name);
  return kind == nullptr || kind->IsFileBased();
}

// The file a name opens, as the source would find it: as given, else the
// file of that name beside the project.
fs::path SourceFile(const std::string& name, const fs::path& projectFolder) {
  const fs::path given(name);
  if (Exists(given) || projectFolder.empty()) return given;
  const fs::path beside = projectFolder / FilePart(name);
  return Exists(beside) ? beside : given;
}

// Names that differ only in letter case are one file when they open the
// same file (as they always do on a case-blind file system).
bool SameMedia(const Media& media, const std::string& name, const fs::path& source) {
  if (media.name == name) return true;
  return strcasecmp(media.name.c_str(), name.c_str()) == 0 && SameFile(media.source, source);
}

template <typename Visit>
void ForEachInput(const Performance& performance, Visit visit) {
  for (ListNode* node = performance.banks.Head(); node != nullptr; node = node->Next()) {
    auto* bank = static_cast<Bank*>(node);
    for (NoteSlot& slot : bank->slots) {
      Plug* patch = slot.patch.get();
      if (patch == nullptr) continue;
      const int32_t inputs = patch->GetNumInputs();
      for (int32_t i = 0; i < inputs; ++i) {
        const char* name = patch->GetInputName(i);
        if (name != nullptr && name[0] != '\0') visit(*patch, i, std::string(name));
      }
    }
  }
}

Media* FindMedia(std::vector<Media>& media, const std::string& name, const fs::path& projectFolder) {
  const fs::path source = SourceFile(name, projectFolder);
  for (Media& m : media) {
    if (SameMedia(m, name, source)) return &m;
  }
  return nullptr;
}

bool DestinationTaken(const std::vector<Media>& media, const std::string& candidate) {
  for (const Media& m : media) {
    if (strcasecmp(FilePart(m.destination).c_str(), FilePart(candidate).c_str()) == 0) return true;
  }
  return false;
}

// The folder's file for `media`: its own name unless another file of this
// bundle or one already in the folder has it; then "<stem>_2<ext>", ...
std::string ChooseDestination(const std::vector<Media>& media, const Media& file, const fs::path& folder) {
  const fs::path part(FilePart(file.name));
  for (int n = 1;; ++n) {
    const std::string name =
        n == 1 ? part.string() : part.stem().string() + "_" + std::to_string(n) + part.extension().string();
    const fs::path candidate = folder / name;
    if (DestinationTaken(media, candidate.string())) continue;
    if (Exists(candidate) && !SameFile(candidate, file.source)) continue;
    return candidate.string();
  }
}

// Copies without ever replacing a file; a half-made copy is removed.
bool CopyMedia(const Media& media) {
  const fs::path destination(media.destination);
  if (SameFile(media.source, destination)) return true;  // already in the folder
  std::error_code error;
  if (fs::copy_file(media.source, destination, fs::copy_options::none, error) && !error) return true;
  if (error != std::errc::file_exists) fs::remove(destination, error);
  return false;
}

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

std::string BundledProjectPath(const std::string& parentFolder, const std::string& name) {
  const std::string parent = WithoutTrailingSeparators(parentFolder);
  const std::string base = parent == "/" ? "" : parent;
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || dot == 0) return base + "/" + name + "/" + name + ".LVP";
  return base + "/" + name.substr(0, dot) + "/" + name;
}

bool BundleProjectTo(Performance& performance, const std::string& parentFolder, const std::string& name,
                     const ProjectFileContext& context, FileProgress* progress) {
  if (name.empty() || name.find('/') != std::string::npos) return false;
  const std::string projectPath = BundledProjectPath(parentFolder, name);
  const fs::path folder = fs::path(projectPath).parent_path();
  std::error_code error;
  fs::create_directory(folder, error);
  if (error || !fs::is_directory(folder, error)) return false;

  // Files named relative to the old project are found beside it.
  const fs::path oldFolder = fs::path(performance.name.CStr()).parent_path();
  std::vector<Media> media;
  ForEachInput(performance, [&](Plug&, int32_t, const std::string& input) {
    if (!NamesAFile(input.c_str(), context.registry) || FindMedia(media, input, oldFolder) != nullptr) return;
    media.push_back({input, SourceFile(input, oldFolder), {}, false});
  });

  bool allCopied = true;
  if (progress != nullptr) {
    progress->Open("Copying Files...");
    progress->SetPosition(0);
  }
  const size_t count = media.size();
  for (size_t k = 0; k < count; ++k) {
    Media& file = media[k];
    file.destination = ChooseDestination(media, file, folder);
    if (progress != nullptr) progress->SetText(FilePart(file.destination).c_str());
    file.copied = CopyMedia(file);
    allCopied = allCopied && file.copied;
    if (progress != nullptr) progress->SetPosition(int(100 * k / count));
  }

  ForEachInput(performance, [&](Plug& patch, int32_t i, const std::string& input) {
    Media* file = FindMedia(media, input, oldFolder);
    if (file != nullptr && file->copied && file->destination != input) patch.SetInputName(i, file->destination.c_str());
  });
  if (progress != nullptr) progress->Close();

  const std::string oldName = performance.name.CStr();
  performance.name.Assign(projectPath.c_str());
  if (!SavePerformance(performance, false, context)) {
    // Later saves go where the user last saved, not to a project never written.
    performance.name.Assign(oldName.empty() ? nullptr : oldName.c_str());
    return false;
  }
  return allCopied;
}

bool BundleProject(Performance& performance, BundleDialogs& dialogs, const ProjectFileContext& context,
                   FileProgress* progress) {
  const std::string current = performance.name.CStr();
  if (current.find('/') == std::string::npos) return false;
  const fs::path currentPath(current);
  const std::optional<std::string> parent = dialogs.AskParentFolder(currentPath.parent_path().string());
  if (!parent) return false;
  const std::optional<std::string> name = dialogs.AskProjectName(currentPath.stem().string());
  if (!name) return false;
  return BundleProjectTo(performance, *parent, *name, context, progress);
}

}  // namespace lv
