#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("Brevanto v%s\n", BREVANTO_VERSION);
      return 0;
    }
  }
  std::printf("Brevanto v%s\n", BREVANTO_VERSION);
  return 0;
}
