#pragma once

namespace brevanto {

// SDL's joystick and game-controller subsystems for the whole process, without
// video: controllers are read headless and while other windows have the
// focus.
//
// Threads: the processing thread pumps SDL's events and reads the controllers
// inside its cycle; detection runs on either thread with the processing lock
// held; the user-interface thread may start a vibration. Every SDL call of the
// classes in this folder is made inside an SdlLock, so those calls never
// overlap and no thread uses a controller another has just closed.
//
// The context outlives every object that uses it: quitting SDL closes the
// controllers they hold.
class SdlContext {
 public:
  SdlContext() = default;
  SdlContext(const SdlContext&) = delete;
  SdlContext& operator=(const SdlContext&) = delete;
  ~SdlContext();

  // Starts the subsystems once; later calls report the first result. Logs
  // SDL's reason on failure.
  bool Init();
  bool Initialized() const { return initialized_; }

 private:
  bool tried_ = false;
  bool initialized_ = false;
};

// SDL's own joystick lock, held for a scope. Re-entrant.
class SdlLock {
 public:
  SdlLock();
  ~SdlLock();
  SdlLock(const SdlLock&) = delete;
  SdlLock& operator=(const SdlLock&) = delete;
};

}  // namespace brevanto
