#pragma once

#include <memory>
#include <string>
#include <vector>

struct _XDisplay;

namespace brevanto {

// Keeps the X server from repeating the keys this program holds down: the
// server's key repeat is turned off for the program's own keyboards only, the
// XTest keyboard its X output goes through and the uinput keyboard once the
// server has taken it in. A held key is then one press until its release,
// as games expect; the assignments' own repeat is the way to repeat. The
// user's keyboards keep their repeat.
//
// The server repeats through the master keyboard, which takes on the
// controls of whichever keyboard typed last. After a change the master is
// brought in line, so a master that last took over the XTest keyboard's
// controls stops repeating too, while every other keyboard keeps its own.
//
// Own X connection, used on one thread: devices that arrive later and
// changes others make to the own keyboards come as events on Fd(); the owner
// calls HandleEvents() when it is readable.
class OwnKeyRepeat {
 public:
  // nullptr without an X display (DISPLAY unset: silently), XKB or XInput 2;
  // the reason is logged.
  // uinputName is the name of the uinput keyboard (empty: none).
  static std::unique_ptr<OwnKeyRepeat> Open(const char* displayName, std::string uinputName);

  // The XTest keyboard, and its master with it, get back the repeat they had.
  ~OwnKeyRepeat();
  OwnKeyRepeat(const OwnKeyRepeat&) = delete;
  OwnKeyRepeat& operator=(const OwnKeyRepeat&) = delete;

  int Fd() const;
  // Handles every event that has come in; applies again when a keyboard
  // arrived or an own keyboard's repeat was turned back on.
  void HandleEvents();
  // Turns the repeat off where it is on for an own keyboard.
  void Apply();

 private:
  struct Keyboard {
    int id = 0;
    bool xtest = false;
    std::string name;
  };

  OwnKeyRepeat(_XDisplay* display, std::string uinputName, int xiOpcode, int xkbEventBase);
  // The keyboards of the program, and the master keyboard its XTest output
  // goes through (0: unknown).
  std::vector<Keyboard> OwnKeyboards(int& xtestMaster);
  bool RepeatOn(int device);
  void SetRepeat(int device, bool on);
  void WatchControls(int device);
  // Makes the XTest keyboard the master's last typist without a key event
  // reaching any window.
  void TakeOverMaster();
  // The master, which now has the XTest keyboard as its last typist, repeats
  // as that keyboard does; its other keyboards keep what they have.
  void AlignMaster(int master, bool repeat);

  _XDisplay* display_;
  std::string uinputName_;
  int xiOpcode_;
  int xkbEventBase_;
  std::vector<int> restoreOnExit_;
  int xtestMaster_ = 0;
  std::vector<int> watched_;
};

}  // namespace brevanto
