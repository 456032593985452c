#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/device/DeviceConfigManager.h"
#include "core/device/DeviceTemplateManager.h"
#include "core/ports/SingleInstance.h"
#include "core/settings/CommandLine.h"
#include "core/settings/GlobalSettings.h"
#include "core/settings/StartupContext.h"

namespace brevanto {

class Shell;

// The program cannot start (the data directory cannot be created); what()
// is the text to show the user.
class AppInfoError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The first object of the program and the last to go: where the data lives,
// what the command line asked for, and the global settings every part reads.
class AppInfo {
 public:
  static constexpr char kProductName[] = "Brevanto";
  // The product's web site; help pages are paths below it.
  static constexpr char kWebSite[] = "https://brevanto.example";

  // When the log file is created (it replaces the previous run's).
  enum class LogOpening {
    AtConstruction,
    // Only once LoadSettings knows that no other instance runs, so that a
    // second start never empties the running instance's log nor rewrites its
    // template file. Templates() and Devices() exist from then on.
    AfterInstanceCheck,
  };

  // Resolves the data directory, parses the command line, opens the log
  // (unless told not to) and writes the start-up lines. Throws AppInfoError
  // when the data directory cannot be created.
  explicit AppInfo(const StartupContext& context,
                   LogOpening logOpening = LogOpening::AtConstruction);
  ~AppInfo();
  AppInfo(const AppInfo&) = delete;
  AppInfo& operator=(const AppInfo&) = delete;

  // Folder of the executable and the data directory, each ending in "/".
  const std::string& ExeDir() const { return exeDir_; }
  const std::string& DataDir() const { return dataDir_; }
  const std::string& IniFilePath() const { return iniFilePath_; }
  std::string TemplatesFilePath() const { return dataDir_ + "templates.json"; }
  bool NoLog() const { return commandLine_.noLog; }
  bool RefreshDevicesRequest() const { return commandLine_.refreshDevicesRequest; }

  // Where another instance is detected and handed this start's request;
  // without one, any number of instances run.
  void SetSingleInstance(std::unique_ptr<SingleInstance> singleInstance);
  // Label templates ("templates.json") and the record of every controller
  // seen (the device sections of the settings file).
  DeviceTemplateManager& Templates() const { return *templates_; }
  DeviceConfigManager& Devices() const { return *devices_; }

  // Reads the settings file. Returns true when another instance runs and has
  // taken over this start's request, or did not answer it (HandOverFailed):
  // the program must then exit.
  bool LoadSettings();
  // The running instance did not take this start's request.
  bool HandOverFailed() const { return instanceRole_ == InstanceRole::HandOverFailed; }
  // Writes every setting and the device sections into the settings file,
  // keeping whatever else it holds. False (logged) when it cannot be written.
  bool SaveSettings();

  // The product site's address of a page ("/ja/faq").
  static std::string WebPageAddress(const std::string& path);
  void OpenWebPage(const std::string& path) const;
  // Opens a document, folder or web address with the desktop's application,
  // or starts a program with the given parameters in the folder startFrom.
  bool OpenDocument(const std::string& target, const std::string& parameters = {},
                    const std::string& startFrom = {}) const;

  GlobalSettings settings;

 private:
  void ResolveDataDirectory(const StartupContext& context);
  void ClearReadOnly() const;
  // Opens the log, writes the start-up lines and creates the managers.
  void Begin();
  // True when another instance runs, whether or not it took this start's
  // request.
  bool HandedOver(bool allowMultipleRunning);

  CommandLine commandLine_;
  std::string exeDir_;
  std::string dataDir_;
  std::string iniFilePath_;
  std::string executablePath_;
  std::vector<std::string> arguments_;
  bool begun_ = false;
  Shell* shell_ = nullptr;
  std::unique_ptr<SingleInstance> singleInstance_;
  InstanceRole instanceRole_ = InstanceRole::First;
  std::unique_ptr<DeviceTemplateManager> templates_;
  std::unique_ptr<DeviceConfigManager> devices_;
};

}  // namespace brevanto
