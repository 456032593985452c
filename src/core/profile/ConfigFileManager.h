#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/processing/ProfileSource.h"
#include "core/profile/ConfigFile.h"
#include "core/profile/ProfileCycleHooks.h"
#include "core/profile/ProfileNames.h"
#include "core/text/NameCollation.h"

namespace brevanto {

class AppLinkManager;
class DeviceTemplateManager;
class MessageSink;
class ProfilePrompt;
struct GlobalSettings;

// The list of profiles, the current profile and every profile loaded during
// the run. A profile is read from its file the first time it becomes current
// and kept in memory from then on, so switching back to it reuses the object
// (with any unsaved changes) and does not read the file again.
//
// Threads: the processing thread calls SwitchTo, OnTargetChanged and
// Current, always inside a cycle (holding the processing lock). Everything
// else belongs to the user-interface thread, which pauses the cycle around
// every change, so the two never change the profiles at the same time; the
// manager's own lock keeps the user-interface thread's reads consistent.
// The settings' FileName is rewritten by every load, on either thread: read
// it with the cycle paused.
class ConfigFileManager final : public ProfileSource {
 public:
  // The single profile of an empty data directory; its file is written at
  // its first save.
  static constexpr char kFirstProfileName[] = "最初の設定";

  // dataDir ends in "/". The manager keeps references to everything else.
  ConfigFileManager(std::string dataDir, GlobalSettings& settings, MessageSink& messages,
                    ProfileCycleHooks& cycle,
                    const NameCollation& collation = NameCollation::User());
  ~ConfigFileManager() override;
  ConfigFileManager(const ConfigFileManager&) = delete;
  ConfigFileManager& operator=(const ConfigFileManager&) = delete;

  // The application links that OnTargetChanged follows; created after the
  // manager, so set later. Without them OnTargetChanged does nothing.
  void SetAppLinks(const AppLinkManager* appLinks);

  // The label templates that the slots' DefaultTemplateId name. Set before
  // LoadList: every profile read or created afterwards resolves its ids in
  // them, which must outlive the manager. Without them no id resolves.
  void SetTemplates(const DeviceTemplateManager* templates);

  // Never writes a profile (for tools that only play profiles): leaving a
  // modified profile, Save and Shutdown keep the file as it is.
  void SetReadOnly(bool readOnly);

  // User-interface thread.

  // Lists the data directory and makes the profile the settings name (else
  // the first) current. After it there is always a current profile.
  void LoadList();
  // 0 when the profile at index is current (also when it already was), -1
  // when index is out of range. temporary: chosen by an application link,
  // so the user's last choice stays what it was.
  int LoadByIndex(int index, bool temporary);
  // 0 when the profile is current, 1 when the list has no such name.
  int LoadByName(const std::string& name);
  // The profile whose name starts with the letter or digit (any case); a
  // name that is that character alone or followed by something other than a
  // letter or digit wins over the first one in list order. -1 when none.
  int LoadByInitial(char32_t letter);
  // Saves the current profile; index is the list entry shown as current.
  // False when the file could not be written.
  bool Save(int index);
  // Lets go of every key and mouse button the current profile's records
  // hold and forgets injected presses: processing is about to end (exit,
  // suspend, a signal) and nothing may stay down in the system.
  void ReleaseCurrent();
  // Remembers the current profile for the next start, saves it when
  // modified and frees every profile.
  void Shutdown();

  // The user's list commands. Each asks through prompt and returns whether
  // it created, renamed or deleted a profile (Rename also when cancelled).
  bool New(ProfilePrompt& prompt);
  bool Copy(int index, ProfilePrompt& prompt);
  bool Rename(int index, ProfilePrompt& prompt);
  bool Delete(int index, ProfilePrompt& prompt);

  // Processing thread, inside a cycle.

  // A profile-switch assignment: makes the named profile current as the
  // user's choice. 0, or 1 for an unknown name.
  int SwitchTo(const std::string& name) override;
  // The target window changed: follows the application links.
  void OnTargetChanged(const std::string& path, const std::string& title,
                       bool isDesktopOrDock = false);

  // Any thread.

  // The current profile; nullptr before LoadList and after Shutdown. It stays
  // valid until Shutdown, also after another profile became current.
  ConfigFile* Current() const override { return current_.load(std::memory_order_acquire); }
  std::vector<std::string> Names() const;
  int CurrentIndex() const;
  int LastSelected() const;
  std::string CurrentName() const;
  // The file of a profile.
  std::string FilePath(const std::string& name) const;

 private:
  // Pauses the cycle for its life; user-interface thread only.
  class PausedCycle {
   public:
    explicit PausedCycle(ProfileCycleHooks& cycle) : cycle_(cycle) { cycle_.PauseCycle(); }
    ~PausedCycle() { cycle_.ResumeCycle(); }
    PausedCycle(const PausedCycle&) = delete;
    PausedCycle& operator=(const PausedCycle&) = delete;

   private:
    ProfileCycleHooks& cycle_;
  };
  using Cache = std::map<std::string, std::unique_ptr<ConfigFile>, NameCollation::Ordering>;

  // The *Locked functions run with mutex_ held (and, on the user-interface
  // thread, the cycle paused).
  int LoadByIndexLocked(int index, bool temporary);
  int LoadByNameLocked(const std::string& name);
  void OnTargetChangedLocked(const std::string& path, const std::string& title,
                             bool isDesktopOrDock);
  // Saves the current profile when it has unsaved changes.
  void SaveIfModifiedLocked();
  // Saves the current profile to its file; a failure is logged.
  bool SaveLocked(ConfigFile& current);
  // Ends every effect the current profile's records hold.
  void ReleaseCurrentLocked();
  // The cached profile of a listed name, read from its file when not cached.
  ConfigFile& CachedOrLoadedLocked(const std::string& name);
  // Makes the cached profile of names_[index] current and tells the cycle.
  void MakeCurrentLocked(int index);
  // Takes a profile out of the cache. It is kept alive, not freed, until
  // Shutdown: the cycle may still hold references to its records, and a new
  // profile at its address would look unchanged to the cycle.
  void RetireLocked(const std::string& name);

  // Shared by New and Copy: asks for the name, creates the file and makes
  // the new profile current. source: the profile to copy, or none.
  bool CreateNamed(const std::string& caption, const std::string* sourceName,
                   ProfilePrompt& prompt);

  const std::string dataDir_;
  GlobalSettings& settings_;
  MessageSink& messages_;
  ProfileCycleHooks& cycle_;
  const AppLinkManager* appLinks_ = nullptr;
  const DeviceTemplateManager* templates_ = nullptr;
  bool readOnly_ = false;

  mutable std::mutex mutex_;
  ProfileNames names_;
  Cache cache_;
  std::vector<std::unique_ptr<ConfigFile>> retired_;
  std::atomic<ConfigFile*> current_{nullptr};
  int currentIndex_ = -1;
  int lastSelected_ = -1;
};

}  // namespace brevanto
