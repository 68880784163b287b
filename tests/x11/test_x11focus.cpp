// The keyboard focus of the frame's window: some hosts pass no keys to an editor, so a click may
// take the window system's focus when the frame asks for it, and closing gives it back.
#include <X11/keysym.h>

#include "x11TestEnv.h"

using namespace VSTGUI;
using namespace x11test;

namespace {

struct KeyLog : IKeyboardHook {
  int32_t onKeyDown(const VstKeyCode& key, CFrame*) override {
    downs.push_back(key.character ? key.character : key.virt);
    return key.virt == 12 ? 1 : -1;  // uses Up only
  }
  int32_t onKeyUp(const VstKeyCode& key, CFrame*) override { return key.virt == 12 ? 1 : -1; }
  std::vector<int> downs;
};

class X11Focus : public X11Fixture {
 protected:
  Window focus() {
    Window w = None;
    int revert = 0;
    XGetInputFocus(user, &w, &revert);
    return w;
  }
  // Like a GTK host, the host keeps the focus on a window of its own beside the editor's (on
  // the editor's parent, keys would reach the editor under the pointer anyway).
  void giveHostTheFocus() {
    if (hostFocus == None) {
      hostFocus = XCreateSimpleWindow(user, parent, 0, 0, 1, 1, 0, 0, 0);
      XSelectInput(user, hostFocus, KeyPressMask);
      XMapWindow(user, hostFocus);
    }
    XSetInputFocus(user, hostFocus, RevertToParent, CurrentTime);
    XSync(user, False);
  }
  // A click (or wheel step) at (60, 60), pumped until the view saw it.
  void clickAndSettle(unsigned int button) {
    view->log.clear();
    pointAt(frame, 60, 60);
    fakeClick(user, button);
    ASSERT_TRUE(pumpUntil(frame, [&] { return !view->log.empty(); }));
  }
  // Taps Up and Q and pumps the frame for a while (long enough for a key to arrive); the key
  // presses the host's focus window got, 'f' for each forwarded by the editor, 'x' for each
  // from the server.
  std::string tapUpAndQ() {
    fakeTap(user, XK_Up);
    fakeTap(user, XK_q);
    for (int i = 0; i < 20; ++i) {
      XSync(user, False);
      frame->idle();
      sleepMs(5);
    }
    std::string got;
    XEvent e;
    while (XCheckTypedWindowEvent(user, hostFocus, KeyPress, &e)) got += e.xkey.send_event ? 'f' : 'x';
    return got;
  }
  KeyLog keys;
  Window hostFocus = None;
};

TEST_F(X11Focus, AClickTakesTheFocusOnlyWhenAskedKeysThenArriveAndCloseGivesItBack) {
  const struct {
    bool asked;
    unsigned int button;
    bool taken;
  } cases[] = {{true, 1, true}, {true, 3, true}, {false, 1, false}, {true, 4, false}, {false, 5, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "asked " << c.asked << ", button " << c.button);
    ASSERT_TRUE(openMain());
    frame->registerKeyboardHook(&keys);
    frame->setKeyboardFocusOnClick(c.asked);
    keys.downs.clear();
    giveHostTheFocus();
    clickAndSettle(c.button);
    const Window ours = x11(frame)->getWindow();
    EXPECT_EQ(focus(), c.taken ? ours : hostFocus);
    EXPECT_EQ(x11(frame)->holdsKeyboardFocus(), c.taken);
    // Taken: the editor sees both and hands Q on to where it would have gone.
    EXPECT_EQ(tapUpAndQ(), c.taken ? "f" : "xx");
    EXPECT_EQ(keys.downs, c.taken ? std::vector<int>({12, 'q'}) : std::vector<int>());
    frame->unregisterKeyboardHook(&keys);
    frame->close();
    frame = nullptr;
    XSync(user, False);
    EXPECT_EQ(focus(), hostFocus) << "the host has its focus again";
  }
}

TEST_F(X11Focus, TheFocusGoesBackWhenTheSettingWentOffAndStaysWhereTheHostMovedIt) {
  ASSERT_TRUE(openMain());
  frame->setKeyboardFocusOnClick(true);
  giveHostTheFocus();
  clickAndSettle(1);
  ASSERT_TRUE(x11(frame)->holdsKeyboardFocus());
  frame->setKeyboardFocusOnClick(false);
  clickAndSettle(1);
  EXPECT_EQ(focus(), hostFocus) << "the next click returns it";

  // The host moves the focus on by itself: closing leaves it there.
  frame->setKeyboardFocusOnClick(true);
  clickAndSettle(1);
  ASSERT_TRUE(x11(frame)->holdsKeyboardFocus());
  const Window other = makeParent(600, 400, 50, 50);
  XSetInputFocus(user, other, RevertToPointerRoot, CurrentTime);
  XSync(user, False);
  frame->close();
  frame = nullptr;
  XSync(user, False);
  EXPECT_EQ(focus(), other);
  XDestroyWindow(user, other);
}

}  // namespace
