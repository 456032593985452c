// Leaks LeakSanitizer must not report because they are not the program's.
// glibc's newlocale leaks its copy of LOCPATH on every call (the tests load
// the locales the build generates through LOCPATH).
extern "C" const char* __lsan_default_suppressions() {
  return "leak:__argz_add_sep\n";
}
