// Leaks LeakSanitizer must not report because they are not the program's.
// libdbus keeps a buffer of the session-bus connection that Qt's tray and
// desktop integration open, until the process ends.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n";
}
