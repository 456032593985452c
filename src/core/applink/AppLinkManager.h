#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/applink/AppLink.h"

namespace brevanto {

// The table that picks a profile for the application in front, kept in
// "AppLink.dat" in the data directory.
class AppLinkManager {
 public:
  // What to do when the window in front matches no link.
  enum Policy : int { kDoNothing = 0, kLastSelected = 1, kDefaultProfile = 2 };

  static constexpr char kFileName[] = "AppLink.dat";
  // The path that stands for the desktop and the panels.
  static constexpr char kDesktop[] = "_DESKTOP_";

  // dataDir ends in "/".
  explicit AppLinkManager(std::string dataDir);

  // Reads the file, replacing the table. A missing file leaves it empty.
  void Load();
  // Writes the table (UTF-16 with a byte-order mark), replacing the file
  // atomically. False when it could not be written (logged).
  bool Save() const;

  // The index of the link that matches a window, or -1. A link naming both a
  // path and a title beats one naming only a path, which beats one naming
  // only a title; within each kind the first in the list wins. The desktop
  // (isDesktopOrDock, or a window without a title whose program is unknown or
  // is the Windows shell) has the path "_DESKTOP_".
  int Match(std::string_view path, std::string_view title, bool isDesktopOrDock = false) const;

  int GetPolicy() const { return policy_; }
  const std::string& DefaultProfile() const { return defaultProfile_; }
  const std::vector<AppLink>& Links() const { return links_; }
  // The application-link dialog replaces the table as a whole.
  void Replace(std::vector<AppLink> links, int policy, std::string defaultProfile);

  std::string FilePath() const { return dataDir_ + kFileName; }

 private:
  void SetLinks(std::vector<AppLink> links);

  std::string dataDir_;
  int policy_ = kLastSelected;
  std::string defaultProfile_;
  std::vector<AppLink> links_;
  // Each link's Path in upper case, computed once instead of at every match.
  std::vector<std::string> upperPaths_;
};

}  // namespace brevanto
