#pragma once

#include <string>

namespace brevanto {

// Port: starting programs and opening documents, folders and web addresses
// the way the desktop does. Both return at once; what the started program
// does later is not waited for. A failure is logged by the implementation and
// reported as false.
class Shell {
 public:
  virtual ~Shell() = default;

  // Opens a document, folder or web address with the user's preferred
  // application.
  virtual bool Open(const std::string& target) = 0;

  // Starts program with the command-line parameters, in the folder startFrom
  // when that is not empty. A program that is not an executable file is
  // opened as a document instead.
  virtual bool Launch(const std::string& program, const std::string& parameters,
                      const std::string& startFrom) = 0;
};

}  // namespace brevanto
