#include "core/settings/AppInfo.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "core/log/Logger.h"
#include "core/ports/Shell.h"
#include "core/settings/DataDirectory.h"
#include "core/settings/IniDocument.h"

namespace brevanto {
namespace {

constexpr char kIniFileName[] = "Brevanto.ini";
constexpr char kLogFileName[] = "Brevanto.log";

std::string WithTrailingSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string WithoutTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

std::string Absolute(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.string();
}

std::string Variable(const StartupContext& context, const char* name) {
  if (!context.environment) return {};
  return context.environment(name).value_or(std::string());
}

void LogStartLine(const std::string& text) {
  Logger::Instance().Write(LogLevel::Info, text);
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

AppInfo::AppInfo(const StartupContext& context, LogOpening logOpening)
    : executablePath_(context.executablePath),
      arguments_(context.arguments),
      shell_(context.shell) {
  const std::size_t slash = context.executablePath.rfind('/');
  exeDir_ = slash == std::string::npos ? Absolute(".") + "/"
                                       : context.executablePath.substr(0, slash + 1);

  ResolveDataDirectory(context);
  if (logOpening == LogOpening::AtConstruction) Begin();
}

void AppInfo::Begin() {
  begun_ = true;
  if (!commandLine_.noLog) Logger::Instance().Open(dataDir_ + kLogFileName);

  LogStartLine(std::string("Starting ") + kProductName + " v" + BREVANTO_VERSION);
  LogStartLine("ExeFile = " + executablePath_);
  for (const std::string& argument : arguments_) LogStartLine("Args = " + argument);
  LogStartLine("DataDirectory = " + dataDir_);
  LogStartLine("Profile = " + settings.FileName);
  LogStartLine("IniFile = " + iniFilePath_);

  templates_ = std::make_unique<DeviceTemplateManager>(TemplatesFilePath());
  devices_ = std::make_unique<DeviceConfigManager>(templates_.get());
}

AppInfo::~AppInfo() {
  // The instance lock goes first so that a new start is possible as soon as
  // this one is on its way out.
  singleInstance_.reset();
  // Records refer to templates; the template manager writes its file as it goes.
  devices_.reset();
  templates_.reset();
}

void AppInfo::ResolveDataDirectory(const StartupContext& context) {
  const std::string dataDirVariable = Variable(context, "BREVANTO_DATA_DIR");
  if (!dataDirVariable.empty()) dataDir_ = WithTrailingSlash(Absolute(dataDirVariable));
  iniFilePath_ = Variable(context, "BREVANTO_INI_FILE");

  commandLine_ = ParseCommandLine(context.arguments);
  if (!commandLine_.profileDirectory.empty()) dataDir_ = commandLine_.profileDirectory;
  settings.FileName = commandLine_.profileName;

  if (dataDir_.empty() && !IsSystemInstallFolder(exeDir_) && HoldsPortableData(exeDir_)) {
    dataDir_ = exeDir_;
  }
  if (dataDir_.empty()) {
    const std::string documents = DocumentsDirectory(context.environment);
    const std::string folder =
        (documents.empty() ? std::string("Documents") : documents) + "/" + kProductName;
    std::error_code error;
    // Without a home folder there is no documents folder to create one in.
    if (!documents.empty()) std::filesystem::create_directories(folder, error);
    if (documents.empty() || !std::filesystem::is_directory(folder, error)) {
      throw AppInfoError("Cannot create the data directory: \"" + folder + "\"");
    }
    dataDir_ = folder + "/";
  }

  if (iniFilePath_.empty()) iniFilePath_ = dataDir_ + kIniFileName;
}

void AppInfo::SetSingleInstance(std::unique_ptr<SingleInstance> singleInstance) {
  singleInstance_ = std::move(singleInstance);
}

void AppInfo::ClearReadOnly() const {
  // Read-only means the owner's write bit is clear; giving it back is all
  // that is tried, and a failure shows later when saving.
  struct stat st {};
  const std::string folder = WithoutTrailingSlash(dataDir_);
  if (::stat(folder.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0) {
    LOG_ERROR("ConfigDir is read-only. Trying to make it writable...");
    ::chmod(folder.c_str(), (st.st_mode & 07777) | S_IWUSR);
  }
  if (::stat(iniFilePath_.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0) {
    LOG_ERROR("INI file is read-only. Trying to make it writable...");
    ::chmod(iniFilePath_.c_str(), (st.st_mode & 07777) | S_IWUSR);
  }
}

bool AppInfo::HandedOver(bool allowMultipleRunning) {
  if (allowMultipleRunning || !singleInstance_) return false;
  instanceRole_ = singleInstance_->AcquireOrHandOver(
      HandOverRequest{commandLine_.profileName, commandLine_.refreshDevicesRequest});
  return instanceRole_ != InstanceRole::First;
}

bool AppInfo::LoadSettings() {
  const bool checkedBeforeLog = !begun_;
  if (checkedBeforeLog) {
    // Nothing is written before the check: the file is only peeked at.
    IniDocument peek;
    peek.Load(iniFilePath_);
    if (HandedOver(peek.GetBool("LastStatus", "AllowMultipleRunning", false))) return true;
    Begin();
  }

  ClearReadOnly();
  LOG_INFO("Loading ini file: %s", iniFilePath_.c_str());
  IniDocument ini;
  ini.Load(iniFilePath_);

  settings.AllowMultipleRunning = ini.GetBool("LastStatus", "AllowMultipleRunning", false);
  if (!checkedBeforeLog && HandedOver(settings.AllowMultipleRunning)) return true;

  ReadGlobalSettings(ini, settings, !commandLine_.profileName.empty());
  Logger::Instance().SetDebugEnabled(settings.ShowDebugLog);
  // New device records start from the global dead zone and axis mapping.
  devices_->SetDefaults(DeviceDefaults{settings.AnalogDeadZone, settings.DefaultAxisMapping});
  devices_->Load(ini);
  return false;
}

bool AppInfo::SaveSettings() {
  LOG_INFO("Saving .ini file...");
  IniDocument ini;
  // Saving over a file that exists but could not be read would lose every
  // section this program does not write.
  if (!ini.Load(iniFilePath_)) {
    LOG_ERROR("Settings not saved: \"%s\" could not be read", iniFilePath_.c_str());
    return false;
  }
  WriteGlobalSettings(ini, settings);
  devices_->Save(ini);
  return ini.Save(iniFilePath_, TextEncoding::Utf8Bom);
}

std::string AppInfo::WebPageAddress(const std::string& path) {
  return kWebSite + path;
}

void AppInfo::OpenWebPage(const std::string& path) const {
  OpenDocument(WebPageAddress(path));
}

bool AppInfo::OpenDocument(const std::string& target, const std::string& parameters,
                           const std::string& startFrom) const {
  bool opened = false;
  if (shell_ != nullptr) {
    // A program is started; anything else goes to the desktop's application.
    opened = parameters.empty() && !IsExecutableFile(target)
                 ? shell_->Open(target)
                 : shell_->Launch(target, parameters, startFrom);
  }
  if (!opened) LOG_ERROR("OpenDocument: cannot open \"%s\"", target.c_str());
  return opened;
}

}  // namespace brevanto
