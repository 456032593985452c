#include <cstdio>
#include <cstring>
#include <string>

#include "app/brevantoctl/Commands.h"

namespace {

void PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage: brevantoctl COMMAND [ARGS]\n\ncommands:\n");
  for (const brevanto::ctl::Command& command : brevanto::ctl::Commands()) {
    std::fprintf(out, "  %-8s %s\n", command.name, command.summary);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintUsage(argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("brevantoctl v%s\n", BREVANTO_VERSION);
    return 0;
  }
  for (const brevanto::ctl::Command& command : brevanto::ctl::Commands()) {
    if (argv[1] == std::string(command.name)) return command.run(argc - 2, argv + 2);
  }
  std::fprintf(stderr, "brevantoctl: unknown command '%s'\n", argv[1]);
  PrintUsage(stderr);
  return 2;
}
