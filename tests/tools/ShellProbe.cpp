// A program for the shell tests to start: writes its working folder and its
// arguments, each followed by a NUL byte, to "probe.out" in its working
// folder. The file appears complete or not at all.
#include <unistd.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return 2;
  std::string out(cwd);
  out += '\0';
  for (int i = 0; i < argc; ++i) {
    out += argv[i];
    out += '\0';
  }
  std::FILE* file = std::fopen("probe.tmp", "wb");
  if (!file) return 3;
  const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  if (std::fclose(file) != 0 || !written) return 4;
  return std::rename("probe.tmp", "probe.out") == 0 ? 0 : 5;
}
