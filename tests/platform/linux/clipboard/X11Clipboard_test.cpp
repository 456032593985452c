#include "platform/linux/clipboard/X11Clipboard.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "support/LogCapture.h"

// Last: Xlib's macros (None, Bool) clash with GoogleTest's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace brevanto {
namespace {

// Test processes run side by side on one display; each uses a selection of
// its own so that they do not take the clipboard from one another.
const std::string& Selection() {
  static const std::string name = "BREVANTO_TEST_CLIPBOARD_" + std::to_string(getpid());
  return name;
}

// Another application on its own connection that pastes from the clipboard.
class Paster {
 public:
  Paster() : display_(XOpenDisplay(nullptr)) {
    if (!display_) return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    clipboard_ = Intern(Selection().c_str());
    property_ = Intern("PASTED");
  }
  ~Paster() {
    if (display_) XCloseDisplay(display_);
  }
  Paster(const Paster&) = delete;
  Paster& operator=(const Paster&) = delete;

  bool ok() const { return display_ != nullptr; }
  Atom Intern(const char* name) { return XInternAtom(display_, name, False); }

  struct Answer {
    Atom type = None;
    int format = 0;
    std::string bytes;
  };

  // Asks the clipboard's owner for the target; empty when it refuses.
  std::optional<Answer> Request(const char* target) {
    XConvertSelection(display_, clipboard_, Intern(target), property_, window_, CurrentTime);
    XFlush(display_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
      XEvent event;
      if (XCheckTypedWindowEvent(display_, window_, SelectionNotify, &event)) {
        if (event.xselection.property == None) return std::nullopt;
        return Read();
      }
      if (std::chrono::steady_clock::now() > deadline) {
        ADD_FAILURE() << "no answer to a request for " << target;
        return std::nullopt;
      }
      pollfd fd{ConnectionNumber(display_), POLLIN, 0};
      poll(&fd, 1, 50);
    }
  }

  std::vector<Atom> Targets() {
    std::vector<Atom> atoms;
    if (auto answer = Request("TARGETS"); answer && answer->format == 32) {
      const auto* values = reinterpret_cast<const long*>(answer->bytes.data());
      atoms.assign(values, values + answer->bytes.size() / sizeof(long));
    }
    return atoms;
  }

  void TakeClipboard() {
    XSetSelectionOwner(display_, clipboard_, window_, CurrentTime);
    XSync(display_, False);
  }
  Window Owner() { return XGetSelectionOwner(display_, clipboard_); }
  Window window() const { return window_; }

 private:
  Answer Read() {
    Answer answer;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, window_, property_, 0, 1 << 24, True, AnyPropertyType,
                       &answer.type, &answer.format, &items, &after, &data);
    if (data) {
      // Xlib hands 32-bit items over as longs.
      const std::size_t unit = answer.format == 32 ? sizeof(long) : answer.format / 8;
      answer.bytes.assign(reinterpret_cast<const char*>(data), items * unit);
      XFree(data);
    }
    return answer;
  }

  Display* display_ = nullptr;
  Window window_ = 0;
  Atom clipboard_ = None;
  Atom property_ = None;
};

class X11ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY") || !paster_.ok()) GTEST_SKIP() << "no X display to test with";
    ASSERT_TRUE(clipboard_.IsOpen());
  }

  Paster paster_;
  X11Clipboard clipboard_{nullptr, Selection().c_str()};
};

TEST_F(X11ClipboardTest, ServesTheTextInEachTextTarget) {
  ASSERT_TRUE(clipboard_.SetClipboardText("Café 日本\r\nnext"));
  EXPECT_NE(paster_.Owner(), static_cast<Window>(None));

  struct Case {
    const char* target;
    const char* type;
    std::string bytes;
  };
  const Case cases[] = {
      {"UTF8_STRING", "UTF8_STRING", "Café 日本\nnext"},
      {"text/plain;charset=utf-8", "text/plain;charset=utf-8", "Café 日本\nnext"},
      {"TEXT", "UTF8_STRING", "Café 日本\nnext"},
      {"STRING", "STRING", "Caf\xE9 ??\nnext"},
  };
  for (const Case& c : cases) {
    const auto answer = paster_.Request(c.target);
    ASSERT_TRUE(answer.has_value()) << c.target;
    EXPECT_EQ(answer->type, paster_.Intern(c.type)) << c.target;
    EXPECT_EQ(answer->format, 8) << c.target;
    EXPECT_EQ(answer->bytes, c.bytes) << c.target;
  }
}

TEST_F(X11ClipboardTest, ListsItsTargetsAndRefusesOthers) {
  ASSERT_TRUE(clipboard_.SetClipboardText("x"));
  const std::vector<Atom> targets = paster_.Targets();
  for (const char* name : {"TARGETS", "UTF8_STRING", "TIMESTAMP"}) {
    EXPECT_NE(std::find(targets.begin(), targets.end(), paster_.Intern(name)), targets.end())
        << name;
  }
  EXPECT_FALSE(paster_.Request("image/png").has_value());
}

TEST_F(X11ClipboardTest, EachTextReplacesTheLastAndAnEmptyTextIsServedEmpty) {
  for (const char* text : {"first", "second", ""}) {
    ASSERT_TRUE(clipboard_.SetClipboardText(text));
    const auto answer = paster_.Request("UTF8_STRING");
    ASSERT_TRUE(answer.has_value()) << text;
    EXPECT_EQ(answer->bytes, text);
  }
}

TEST_F(X11ClipboardTest, GivesUpWhenAnotherApplicationTakesTheClipboardAndTakesItBack) {
  ASSERT_TRUE(clipboard_.SetClipboardText("mine"));
  const Window ours = paster_.Owner();
  paster_.TakeClipboard();
  ASSERT_EQ(paster_.Owner(), paster_.window());

  Paster third;
  ASSERT_TRUE(third.ok());
  ASSERT_TRUE(clipboard_.SetClipboardText("again"));
  EXPECT_EQ(third.Owner(), ours);
  const auto answer = third.Request("UTF8_STRING");
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(answer->bytes, "again");
}

TEST_F(X11ClipboardTest, SurvivesARequestorWindowThatIsGoneBeforeTheAnswer) {
  ASSERT_TRUE(clipboard_.SetClipboardText("still here"));
  // Xlib's default reaction to the BadWindow error of the answer is to exit.
  Display* gone = XOpenDisplay(nullptr);
  ASSERT_NE(gone, nullptr);
  const Window window = XCreateSimpleWindow(gone, DefaultRootWindow(gone), 0, 0, 1, 1, 0, 0, 0);
  XConvertSelection(gone, XInternAtom(gone, Selection().c_str(), False),
                    XInternAtom(gone, "UTF8_STRING", False), XInternAtom(gone, "P", False), window,
                    CurrentTime);
  XDestroyWindow(gone, window);
  XCloseDisplay(gone);

  const auto answer = paster_.Request("UTF8_STRING");
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(answer->bytes, "still here");
}

TEST(X11ClipboardNoDisplay, FailsWithALogLineAndNeverBlocks) {
  const testing::LogCapture log;
  X11Clipboard clipboard(":4711");
  EXPECT_FALSE(clipboard.IsOpen());
  EXPECT_FALSE(clipboard.SetClipboardText("text"));
  EXPECT_NE(log.Text().find("cannot connect to the X display"), std::string::npos) << log.Text();
}

}  // namespace
}  // namespace brevanto
