#include "app/brevantoctl/Resave.h"

#include <cstdio>
#include <string>

#include "core/profile/ConfigFile.h"
#include "core/settings/AtomicFile.h"
#include "core/settings/IniDocument.h"

namespace brevanto::ctl {

int RunResave(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: brevantoctl resave IN.cfg OUT.cfg\n");
    return 2;
  }
  const std::string in = argv[0];
  const std::string out = argv[1];

  std::string bytes;
  if (ReadWholeFile(in, bytes) != FileReadStatus::Ok) {
    std::fprintf(stderr, "brevantoctl resave: cannot read %s\n", in.c_str());
    return 1;
  }
  // Written over the input's own text, so what the input holds beyond the
  // profile carries over to OUT; OUT's previous content is replaced.
  IniDocument document = IniDocument::FromBytes(bytes);
  ConfigFile profile;
  profile.Read(document);
  profile.Write(document);
  if (!document.Save(out, TextEncoding::Utf8Bom)) {
    std::fprintf(stderr, "brevantoctl resave: cannot write %s\n", out.c_str());
    return 1;
  }
  return 0;
}

}  // namespace brevanto::ctl
