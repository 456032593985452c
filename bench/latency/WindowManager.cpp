#include "WindowManager.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <stdlib.h>

#include <chrono>
#include <sstream>
#include <thread>
#include <vector>

#include "ChildProgram.h"

namespace brevanto::bench {
namespace {

// A compliant window manager sets this on the root window once it runs.
bool Announced(Display* display) {
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                        XA_WINDOW, &type, &format, &count, &after, &data);
  if (data) XFree(data);
  return status == Success && type == XA_WINDOW && count == 1;
}

}  // namespace

std::unique_ptr<WindowManager> WindowManager::Start(const std::string& command,
                                                    const std::string& display,
                                                    const std::string& logPath,
                                                    std::string& error) {
  Display* connection = XOpenDisplay(display.c_str());
  if (!connection) {
    error = "cannot open " + display;
    return nullptr;
  }
  ::setenv("DISPLAY", display.c_str(), 1);
  std::vector<std::string> words;
  std::istringstream split(command);
  for (std::string word; split >> word;) words.push_back(word);
  const pid_t pid = StartChild(words, logPath);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  bool announced = false;
  while (pid > 0 && !(announced = Announced(connection)) &&
         std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  XCloseDisplay(connection);
  if (!announced) {
    EndChild(pid);
    error = command + " did not start (see " + logPath + ")";
    return nullptr;
  }
  return std::unique_ptr<WindowManager>(new WindowManager(pid));
}

WindowManager::~WindowManager() {
  EndChild(pid_);
}

}  // namespace brevanto::bench
