// The user's list commands of the profile manager: New, Copy, Rename and
// Delete. Dialogs are shown with neither the cycle paused nor the manager's
// lock held, so input keeps working while the user types; each change is
// then made in one paused step. Meanwhile the processing thread may have made
// another profile current (an application link reacting to the dialog
// itself), so the commands work on names, never on an index taken before a
// dialog.

#include <algorithm>

#include "core/log/Logger.h"
#include "core/ports/ProfilePrompt.h"
#include "core/profile/ConfigFileManager.h"
#include "core/profile/ProfileFiles.h"
#include "core/settings/GlobalSettings.h"

namespace brevanto {
namespace {

constexpr char kNamePrompt[] = "設定ファイルの名前を入力してください";
constexpr char kErrorTitle[] = "Error!";
constexpr char kWarningTitle[] = "Warning";
constexpr char kInvalidName[] = " は不正な名前です。";
constexpr char kAlreadyExists[] = " はすでに存在します。";
constexpr char kOverwriteQuestion[] = " はすでに存在します。上書きしますか？";
constexpr char kLastProfile[] = "最低一つの設定ファイルが必要です。";

std::string Quoted(const std::string& name) {
  return "\"" + name + "\"";
}

}  // namespace

bool ConfigFileManager::New(ProfilePrompt& prompt) {
  {
    PausedCycle paused(cycle_);
    std::lock_guard lock(mutex_);
    SaveIfModifiedLocked();
  }
  return CreateNamed("設定ファイルの新規作成", nullptr, prompt);
}

bool ConfigFileManager::Copy(int index, ProfilePrompt& prompt) {
  std::string sourceName;
  {
    PausedCycle paused(cycle_);
    std::lock_guard lock(mutex_);
    if (!names_.Contains(index) || !names_.Contains(currentIndex_)) {
      LOG_ERROR("Cannot copy config file: specified index %d is out of range", index);
      return false;
    }
    sourceName = names_[index];
    SaveIfModifiedLocked();
  }
  return CreateNamed("設定ファイル " + Quoted(sourceName) + " のコピー先", &sourceName, prompt);
}

bool ConfigFileManager::CreateNamed(const std::string& caption, const std::string* sourceName,
                                    ProfilePrompt& prompt) {
  for (;;) {
    const std::string name = prompt.AskName(caption, kNamePrompt, "");
    if (name.empty()) return false;
    if (!IsValidProfileName(name)) {
      prompt.ShowError(kErrorTitle, name + kInvalidName);
      continue;
    }

    // The list's own spelling of the profile the name would overwrite.
    std::string listed;
    {
      std::lock_guard lock(mutex_);
      const int existing = names_.Find(name);
      if (existing >= 0) listed = names_[existing];
    }
    if (!listed.empty()) {
      const ProfilePrompt::Answer answer =
          prompt.Ask(kWarningTitle, name + kOverwriteQuestion, true);
      if (answer == ProfilePrompt::Answer::Cancel) return false;
      if (answer == ProfilePrompt::Answer::No) continue;
    }

    auto profile = std::make_unique<ConfigFile>(templates_);
    if (sourceName != nullptr) {
      // Copied before the file is emptied: the source may be the profile
      // being overwritten, not yet read.
      PausedCycle paused(cycle_);
      std::lock_guard lock(mutex_);
      if (names_.Find(*sourceName) < 0) return false;
      profile->Assign(CachedOrLoadedLocked(*sourceName));
    }

    // An overwritten profile keeps its file: on a file system that tells case
    // apart, the entered spelling would make a second one.
    if (!CreateEmptyFile(FilePath(listed.empty() ? name : listed))) {
      prompt.ShowError(kErrorTitle, name + kInvalidName);
      continue;
    }

    PausedCycle paused(cycle_);
    std::lock_guard lock(mutex_);
    ReleaseCurrentLocked();
    int index = -1;
    if (listed.empty()) {
      index = names_.Insert(name);
    } else {
      RetireLocked(listed);
      index = names_.Find(listed);
    }
    profile->modified = true;
    cache_.emplace(names_[index], std::move(profile));
    MakeCurrentLocked(index);
    lastSelected_ = currentIndex_;
    return true;
  }
}

bool ConfigFileManager::Rename(int index, ProfilePrompt& prompt) {
  std::string oldName;
  {
    PausedCycle paused(cycle_);
    std::lock_guard lock(mutex_);
    if (!names_.Contains(index) || !names_.Contains(currentIndex_)) {
      LOG_ERROR("Cannot rename config file: specified index %d is out of range", index);
      return false;
    }
    oldName = names_[index];
    // The file must hold the profile before it moves.
    if (ConfigFile* current = Current(); current != nullptr && names_.Contains(currentIndex_)) {
      current->Save(FilePath(names_[currentIndex_]));
    }
  }

  const std::string caption = "設定ファイル " + Quoted(oldName) + " の名称変更";
  for (;;) {
    const std::string name = prompt.AskName(caption, kNamePrompt, oldName);
    if (name.empty()) {
      PausedCycle paused(cycle_);
      std::lock_guard lock(mutex_);
      lastSelected_ = currentIndex_;
      return true;
    }
    if (!IsValidProfileName(name)) {
      prompt.ShowError(kErrorTitle, name + kInvalidName);
      continue;
    }
    bool exists = false;
    {
      std::lock_guard lock(mutex_);
      exists = names_.Find(name) >= 0;
    }
    if (exists) {
      prompt.ShowError(kErrorTitle, name + kAlreadyExists);
      continue;
    }

    bool renamed = false;
    {
      PausedCycle paused(cycle_);
      std::lock_guard lock(mutex_);
      renamed = RenameFileWithoutReplacing(FilePath(oldName), FilePath(name));
      if (renamed) {
        const NameCollation& collation = names_.Collation();
        const bool renamedCurrent = collation.Equal(names_[currentIndex_], oldName);
        const std::string currentName = renamedCurrent ? name : names_[currentIndex_];
        names_.Erase(names_.Find(oldName));
        names_.Insert(name);
        if (auto node = cache_.extract(oldName); !node.empty()) {
          node.key() = name;
          cache_.insert(std::move(node));
        }
        currentIndex_ = names_.Find(currentName);
        lastSelected_ = currentIndex_;
        // The next start must not look for a name that is gone.
        if (collation.Equal(settings_.FileName, oldName)) settings_.FileName = name;
      }
    }
    if (renamed) return true;
    prompt.ShowError(kErrorTitle, name + kInvalidName);
  }
}

bool ConfigFileManager::Delete(int index, ProfilePrompt& prompt) {
  std::string name;
  int count = 0;
  {
    std::lock_guard lock(mutex_);
    if (!names_.Contains(index) || !names_.Contains(currentIndex_)) {
      LOG_ERROR("Cannot delete config file: specified index %d is out of range", index);
      return false;
    }
    name = names_[index];
    count = names_.Size();
  }
  if (count <= 1) {
    prompt.ShowError(kErrorTitle, kLastProfile);
    return false;
  }
  if (prompt.Ask(kWarningTitle,
                 Quoted(name) + " を削除してもよろしいですか？（設定ファイルも削除されます）",
                 false) != ProfilePrompt::Answer::Yes) {
    return false;
  }

  bool deleted = false;
  {
    PausedCycle paused(cycle_);
    std::lock_guard lock(mutex_);
    // A file that cannot be deleted would bring the profile back at the next
    // start, so the profile stays listed; one already gone is no obstacle.
    deleted = RemoveFile(FilePath(name)) != RemoveResult::Failed;
    if (deleted) {
      const int at = names_.Find(name);
      const bool deletedCurrent = at == currentIndex_;
      const std::string currentName = deletedCurrent ? std::string() : names_[currentIndex_];
      if (deletedCurrent) ReleaseCurrentLocked();
      names_.Erase(at);
      RetireLocked(name);
      // The following profile takes the deleted one's place; after the last
      // one, the one before it.
      const int next = deletedCurrent ? std::min(at, names_.Size() - 1) : names_.Find(currentName);
      MakeCurrentLocked(next);
      lastSelected_ = currentIndex_;
    }
  }
  if (!deleted) prompt.ShowError(kErrorTitle, Quoted(name) + " を削除できませんでした。");
  return deleted;
}

}  // namespace brevanto
