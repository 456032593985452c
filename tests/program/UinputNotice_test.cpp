// When the program tells the user to install its uinput rule: only when the
// node is there and this user may not write it.

#include "app/program/UinputNotice.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace brevanto::testing {
namespace {

TEST(UinputNotice, NotForAMissingOrAWritableNode) {
  TempDir dir;
  dir.Write("uinput", "");
  EXPECT_FALSE(UinputNodeNotWritable(dir.File("missing")));
  EXPECT_FALSE(UinputNodeNotWritable(dir.File("uinput")));
}

TEST(UinputNotice, AMissingNodeMattersOnlyInAWaylandSession) {
  TempDir dir;
  dir.Write("uinput", "");
  const struct {
    const char* node;
    bool wayland;
    bool wanted;
  } cases[] = {
      {"missing", false, false},  // XTest reaches every X11 window
      {"missing", true, true},    // XTest reaches no Wayland window
      {"uinput", false, false},
      {"uinput", true, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UinputNoticeWanted(dir.File(c.node), c.wayland), c.wanted)
        << c.node << (c.wayland ? " wayland" : " x11");
  }
}

TEST(UinputNotice, ForANodeThisUserMayNotWrite) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any node";
  TempDir dir;
  dir.Write("uinput", "");
  ASSERT_EQ(::chmod(dir.File("uinput").c_str(), 0444), 0);
  EXPECT_TRUE(UinputNodeNotWritable(dir.File("uinput")));
}

}  // namespace
}  // namespace brevanto::testing
