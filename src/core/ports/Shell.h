#pragma once

#include <string>

namespace brevanto {

// Port: the desktop shell, which opens things the way the user's desktop would.
class Shell {
 public:
  virtual ~Shell() = default;

  // Opens a document, a folder or a web address with the user's preferred
  // application. False when it could not be handed over.
  virtual bool Open(const std::string& target) = 0;

  // Starts a program with its parameters (split into words, never given to a
  // command interpreter) in the folder startFrom (the current one when empty).
  // False when the program could not be started.
  virtual bool Launch(const std::string& program, const std::string& parameters,
                      const std::string& startFrom) = 0;
};

}  // namespace brevanto
