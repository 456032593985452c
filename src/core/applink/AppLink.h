#pragma once

#include <string>

namespace brevanto {

// One application link: the profile to use while a matching window is in
// front.
struct AppLink {
  std::string AppName;  // display name, free text
  std::string Profile;  // name of the profile to switch to
  std::string Path;     // must occur in the executable path; case ignored; may be empty
  std::string Title;    // must occur in the window title; case respected; may be empty

  bool operator==(const AppLink&) const = default;
};

}  // namespace brevanto
